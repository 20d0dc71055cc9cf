#pragma once

#include "settings/SettingsImage.h"

#include <QStringList>

#include <functional>

// "tractionctl history": the tune history the program keeps in the configuration folder.
//   list              every copy, newest first, numbered from 1
//   show N            one copy: when, what happened, the unit's version, then its settings
//   restore N OUT.dat the copy as a settings file (an existing OUT.dat is kept as its backup)
// Exit status as the other commands: 0 done, 1 failed, 2 usage.
namespace HistoryCommand {

inline constexpr char Usage[] = "history list\nhistory show N\nhistory restore N OUT.dat";

using PrintSettings = std::function<void(const SettingsImage &)>;
int run(const QStringList &args, const PrintSettings &printSettings);

}  // namespace HistoryCommand
