#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <span>

// One command of tractionctl and its help. The usage lines, "help COMMAND", the bash completion
// and the man page are all made from the one table of these.
struct HelpEntry {
    const char *name;
    const char *usage;                            // one form per line, each without the leading "tractionctl "
    const char *summary;                          // one sentence
    const char *details;                          // the options in words; "" when the summary says it all
    std::function<int(const QStringList &)> run;  // exit status: 0 done, 1 failed, 2 usage
};

namespace Help {

// "usage: tractionctl FORM" per form of each entry.
QString usage(std::span<const HelpEntry> entries);
// Every command with its summary, for --help.
QString overview(std::span<const HelpEntry> entries);
// One command whole, for "help COMMAND".
QString command(const HelpEntry &entry);
// A bash completion script: commands, each command's options and sub-commands, files elsewhere.
QString bashCompletion(std::span<const HelpEntry> entries);
// A man page in roff.
QString manPage(std::span<const HelpEntry> entries, const QString &version);

// The options a command's usage names ("--port", ...), and its sub-commands ("export", "info").
QStringList optionsOf(const HelpEntry &entry);
QStringList subcommandsOf(const HelpEntry &entry);

}  // namespace Help
