#pragma once

#include "graph/Channels.h"

#include <QByteArray>
#include <QStringList>

#include <functional>

class SettingsImage;

// "tractionctl graph ...": graph files read through the graph window's own loaders.
namespace GraphCommands {

inline constexpr char Usage[] =
    "graph export IN.dat|IN.tld OUT.csv\n"
    "graph export IN.dat|IN.tld OUT.csv --slip [--settings S.dat] [--driven front|rear] [--from X --to Y]\n"
    "graph info IN.dat|IN.tld\n"
    "graph stats IN.dat|IN.tld [--settings S.dat] [--driven front|rear] [--from X --to Y] [--json]\n"
    "graph response IN.dat|IN.tld [--settings S.dat] [--driven front|rear] [--from X --to Y] [--json]";
// Reads a settings file (.dat or .tra) into the image, or says why on stderr.
using SettingsLoader = std::function<bool(const QString &, SettingsImage &)>;
// Exit status as the other commands: 0 done, 1 failed, 2 usage.
int run(const QStringList &args, const SettingsLoader &loadSettings);
// The points as "graph export" writes them: the six channels, and Blank when asked.
QByteArray csv(const Channels &channels, bool withBlank);

}  // namespace GraphCommands
