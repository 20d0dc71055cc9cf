#pragma once

#include <QStringList>

// "tractionctl log-upload" and "log-clear": the unit's data logger through the window's own
// sequences. Exit status as the other commands: 0 done, 1 failed, 2 usage.
namespace LoggerCommands {

inline constexpr char UploadUsage[] =
    "log-upload --port DEV|COMn OUT.dat|OUT.csv|OUT.bin [--progress] [--no-keep] [--no-settings]";
inline constexpr char ClearUsage[] = "log-clear --port DEV|COMn [--progress]";

int upload(const QStringList &args);
int clear(const QStringList &args);

}  // namespace LoggerCommands
