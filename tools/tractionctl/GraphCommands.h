#pragma once

#include "graph/Channels.h"

#include <QByteArray>
#include <QStringList>

// "tractionctl graph ...": graph files read through the graph window's own loaders.
namespace GraphCommands {

inline constexpr char Usage[] = "graph export IN.dat|IN.tld OUT.csv\ngraph info IN.dat|IN.tld";
// Exit status as the other commands: 0 done, 1 failed, 2 usage.
int run(const QStringList &args);
// The points as "graph export" writes them: the six channels, and Blank when asked.
QByteArray csv(const Channels &channels, bool withBlank);

}  // namespace GraphCommands
