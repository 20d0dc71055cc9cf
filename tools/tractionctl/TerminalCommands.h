#pragma once

#include <QStringList>

// "tractionctl test" and "tractionctl terminal": the misfire test and the unit's own text menu, through
// the same sequence, key rule and line-end repair as the window.
namespace TerminalCommands {

inline constexpr char TestUsage[] = "test --port DEV|COMn [--type \"Hard Cut\"] [--time 10.0] [--progress]";
inline constexpr char TerminalUsage[] = "terminal --port DEV|COMn";

// Exit status as the other commands: 0 done, 1 failed, 2 usage.
int test(const QStringList &args);
int terminal(const QStringList &args);

}  // namespace TerminalCommands
