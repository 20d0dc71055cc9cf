#pragma once

#include "settings/SettingsImage.h"

#include <QByteArray>
#include <QString>

class PortDirectory;
class QTextStream;
class TRegistryRoutines;

// What every tractionctl command shares: its exit status, its console and the way it says what failed.
namespace Tool {

// Every command's exit status, as the help and the man page give it.
enum Exit { Done = 0, Failed = 1, UsageError = 2 };

QTextStream &out();
QTextStream &err();

// The tool's option store, in the program's configuration folder, and its port directory: made
// once, on first use, for the whole run.
TRegistryRoutines &options();
const PortDirectory &ports();

// "MESSAGE" and below it "  FILE: REASON" on standard error; gives Failed.
int fail(const QString &message, const QString &file, const QString &reason);

// Whether a file that is there already is kept as its ".BAK" first.
enum class Backup { Keep, None };

// Writes the file whole or not at all: the new bytes are down in full before the old file becomes
// its backup and the new one takes its place. On failure it says why, under 'message' (or names
// the backup that could not be made), and gives Failed.
int saveWhole(const QString &path, const QByteArray &bytes, Backup backup,
              const QString &message = QStringLiteral("File failed to save"));
// A settings file the same way, through the window's own ".dat" save.
int saveSettings(const QString &path, const SettingsImage &image);
// The text of such a failure, for a caller that prints it itself; 'error' as the save gave it.
QString saveFailure(const QString &path, const QString &error);

}  // namespace Tool
