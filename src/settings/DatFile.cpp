#include "settings/SettingsFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

namespace {
bool fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}
}  // namespace

bool readDatFile(const QString &fileName, SettingsImage &image, QString *error)
{
    // Read-only, so a tune on a write-protected card or share still loads.
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, file.errorString());
    if (file.size() != SettingsImage::Size)
        return fail(
            error,
            QStringLiteral("the file holds %1 bytes, a settings file %2").arg(file.size()).arg(SettingsImage::Size));
    // Into a buffer first: a short read must not leave half a file in the image.
    const QByteArray bytes = file.read(SettingsImage::Size);
    if (bytes.size() != SettingsImage::Size)
        return fail(error, bytes.isEmpty() && file.error() != QFile::NoError
                               ? file.errorString()
                               : QStringLiteral("the file ended after %1 bytes").arg(bytes.size()));
    image = SettingsImage::fromBytes(bytes);
    return true;
}

// Opens the temporary file beside 'fileName' and puts the image in it, flushed, not yet committed.
static bool writeOut(QSaveFile &file, const QString &fileName, const SettingsImage &image, QString *error)
{
    if (QFileInfo(fileName).isDir())
        return fail(error, qt_error_string(EISDIR));
    if (!file.open(QIODevice::WriteOnly))
        return fail(error, file.errorString());
    const QByteArray bytes = image.toByteArray();
    // flush() makes a full disk show here, before anything is renamed.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return fail(error, reason);
    }
    return true;
}

static bool commit(QSaveFile &file, QString *error)
{
    if (!file.commit())
        return fail(error, file.errorString());
    return true;
}

bool writeDatFile(const QString &fileName, const SettingsImage &image, QString *error)
{
    QSaveFile file(fileName);
    return writeOut(file, fileName, image, error) && commit(file, error);
}

QString backupFileName(const QString &fileName)
{
    const QFileInfo info(fileName);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".BAK"));
}

bool makeBackup(const QString &fileName, QString *error)
{
    const QFileInfo info(fileName);
    if (!info.exists() && !info.isSymLink())
        return true;
    const QString backup = backupFileName(fileName);
    // A directory in the way is never removed, and a directory is never backed up as a file.
    if (info.isDir() || QFileInfo(backup).isDir())
        return fail(error, QLatin1String(BackupFailedMessage));
    if (QFileInfo::exists(backup) && !QFile::remove(backup))
        return fail(error, QLatin1String(BackupFailedMessage));
    if (!QFile::rename(fileName, backup))
        return fail(error, QLatin1String(BackupFailedMessage));
    return true;
}

bool saveDatFile(const QString &fileName, const SettingsImage &image, QString *error)
{
    if (QFileInfo(fileName).isDir())
        return fail(error, qt_error_string(EISDIR));
    // A link is backed up as the link itself, so the new file must not be written through it:
    // that would overwrite the very file its backup still points at.
    if (QFileInfo(fileName).isSymLink())
        return makeBackup(fileName, error) && writeDatFile(fileName, image, error);
    QSaveFile file(fileName);
    if (!writeOut(file, fileName, image, error))
        return false;
    if (!makeBackup(fileName, error)) {
        file.cancelWriting();
        return false;
    }
    return commit(file, error);
}
