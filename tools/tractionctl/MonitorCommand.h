#pragma once

#include <QStringList>

// "tractionctl monitor": the graph window's live poll on the console, one line per frame.
namespace MonitorCommand {

inline constexpr char Usage[] = "monitor --port DEV|COMn [--frames N] [--log FILE.dat [--no-keep] [--no-settings]]";
// 0 when at least one frame came, 1 when none did or the port or log failed, 2 usage.
int run(const QStringList &args);

}  // namespace MonitorCommand
