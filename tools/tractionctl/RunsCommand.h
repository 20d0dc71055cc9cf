#pragma once

#include "runs/RunRecord.h"

#include <QByteArray>
#include <QStringList>

class TractionLink;

// "tractionctl runs ...": the runs library the program keeps, and keeping a run from the tool.
namespace RunsCommand {

inline constexpr char Usage[] = "runs list\n"
                                "runs show N\n"
                                "runs export N OUT.dat|OUT.csv\n"
                                "runs pin N\n"
                                "runs unpin N\n"
                                "runs note N TEXT\n"
                                "runs delete N\n"
                                "runs compare A B [--json]";
// Exit status as the other commands: 0 done, 1 failed, 2 usage.
int run(const QStringList &args);

// Keeps a run that just ended in the library, with the settings and version read from the unit
// through 'link' (none: "settings unknown"). Says on standard error what became of it; a run that
// cannot be kept never fails the command that made it.
void keep(RunRecord::Kind kind, const QByteArray &dosBytes, TractionLink *link, double measuredSecondsPerSample = 0);

}  // namespace RunsCommand
