#pragma once

#include "graph/Channels.h"

#include <QByteArray>
#include <QString>

#include <optional>

// The two graph file formats. Files are read and written whole, in one buffer.
namespace GraphFiles {

inline constexpr int DosHeaderSize = 252;
inline constexpr int WindowsHeaderSize = 16;
inline constexpr int WindowsRecordSize = 14;
inline constexpr char WindowsMagic[] = "[GRAPH DATA]";

enum class Kind { Dos, Windows, Unknown };
// By extension only, in any case: ".dat" is a DOS graph file, ".tld" a Windows one.
Kind kindOf(const QString &path);

struct LoadResult {
    enum Status {
        Loaded,    // the six channels were replaced
        Ignored,   // a Windows file that is empty or lacks its header text: nothing changed
        TooShort,  // a DOS file shorter than its header: nothing changed
        Failed     // could not be read: 'error' says why; nothing changed
    } status = Failed;
    QString error;
    qsizetype samples = 0;
    // Windows files: the header's axis maxima (absent when the file ends before them)
    std::optional<quint16> wheelMax;
    std::optional<quint16> rpmMax;
};

LoadResult loadDos(const QString &path, Channels &channels);
LoadResult loadWindows(const QString &path, Channels &channels);
LoadResult load(const QString &path, Channels &channels);  // by kindOf(); Unknown fails

// 252 zero bytes and one record per sample held (every channel's point i makes record i);
// values truncated towards zero, RPM divided by 35 first, low 8 bits kept.
QByteArray dosBytes(const Channels &channels);
bool saveDos(const QString &path, const Channels &channels, QString *error);

// Before a file is overwritten it becomes <name>.BAK beside it (an older .BAK goes first).
// False, with nothing renamed, when that fails; true when there was nothing to back up.
bool backupExisting(const QString &path);
inline constexpr char BackupError[] = "Unable to create backup file.";

// The name a save writes: ".dat" appended when there is no extension and the first filter
// of the save dialog is the one selected.
QString savedName(const QString &chosen, int filterIndex);

}  // namespace GraphFiles
