#pragma once

#include "settings/SettingsImage.h"

#include <QString>

// The two settings file formats and the backup made before a file is overwritten.
// Each call returns false with the reason in *error (the system's text where the system gave
// one) and then leaves the image and every file as they were, unless said otherwise.

inline constexpr char LoadFailedMessage[] = "File failed to load";
inline constexpr char BackupFailedMessage[] = "Unable to create backup file.";

// ".dat": the 256-byte image, byte for byte.
bool readDatFile(const QString &fileName, SettingsImage &image, QString *error);
// Writes the whole file or nothing: an existing file is only replaced once all 256 bytes are down.
bool writeDatFile(const QString &fileName, const SettingsImage &image, QString *error);

// ".tra": 480 bytes of little-endian words, converted into the image field by field. Bytes the
// format has no word for keep what the image held. Callers pass TraFileSize.
// *accessFault tells a file the system would not open or read (reported apart, as an I/O error)
// from one of the wrong size or one that ended early.
inline constexpr qint64 TraFileSize = 480;
bool ConvertTraFile(const QString &fileName, qint64 expectedSize, SettingsImage &image, QString *error,
                    bool *accessFault = nullptr);

// Renames an existing file to the same name with extension ".BAK" beside it, deleting an older
// backup of that name first. True when there was nothing to back up. On failure *error is
// BackupFailedMessage and the caller must write nothing.
QString backupFileName(const QString &fileName);
bool makeBackup(const QString &fileName, QString *error);
// The save of a ".dat" file. The new bytes are written out beside the old file first; only then
// is the old file renamed to its backup and the new one put in its place, so a full disk or a
// crash mid-write leaves the old file where it was. A failed backup leaves *error at
// BackupFailedMessage; any other failure is the file system's reason.
bool saveDatFile(const QString &fileName, const SettingsImage &image, QString *error);
