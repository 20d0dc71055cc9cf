#pragma once

#include "settings/SettingsImage.h"

#include <QCoreApplication>
#include <QStringList>

#include <functional>
#include <memory>

// "tractionctl print": the settings page the program prints, written as a PDF file.
namespace PrintCommand {

inline constexpr char Usage[] = "print IN.dat|IN.tra --pdf OUT.pdf [--version TEXT]";

// The application object for a command line: printing lays out text, which takes the GUI
// application (on the offscreen platform: no display is needed and no window is shown).
std::unique_ptr<QCoreApplication> application(int &argc, char **argv);

using Loader = std::function<bool(const QString &file, SettingsImage &image)>;
// Exit status as the other commands: 0 done, 1 failed, 2 usage.
int run(const QStringList &args, const Loader &load);

}  // namespace PrintCommand
