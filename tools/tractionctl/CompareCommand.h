#pragma once

#include "PrintCommand.h"

#include <QStringList>

// "tractionctl compare": what writing a settings file would change in the unit.
namespace CompareCommand {

inline constexpr char Usage[] = "compare FILE.dat|FILE.tra --port DEV|COMn [--progress]";

// Prints "page / setting: unit's -> file's unit" for every setting that differs; exits 1 when
// any does (or the unit could not be read), 0 when the unit holds the file's settings, 2 on usage.
int run(const QStringList &args, const PrintCommand::Loader &load);

}  // namespace CompareCommand
