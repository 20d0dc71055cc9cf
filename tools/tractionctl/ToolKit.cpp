#include "ToolKit.h"

#include "link/PortDirectory.h"
#include "platform/RegistryRoutinesUnit.h"
#include "settings/SettingsFiles.h"

#include <QSaveFile>
#include <QTextStream>

namespace Tool {

QTextStream &out()
{
    static QTextStream s(stdout);
    return s;
}

QTextStream &err()
{
    static QTextStream s(stderr);
    return s;
}

TRegistryRoutines &options()
{
    static TRegistryRoutines store(TRegistryRoutines::defaultFolder());
    return store;
}

const PortDirectory &ports()
{
    static const LinuxPortDirectory directory(options().configFolder(), options());
    return directory;
}

int fail(const QString &message, const QString &file, const QString &reason)
{
    out().flush();
    err() << message << '\n' << "  " << file << ": " << reason << Qt::endl;
    return Failed;
}

QString saveFailure(const QString &path, const QString &error)
{
    if (error == QLatin1String(BackupFailedMessage))
        return QStringLiteral("%1\n  %2: could not rename the file to it").arg(error, backupFileName(path));
    return QStringLiteral("File failed to save\n  %1: %2").arg(path, error);
}

int saveWhole(const QString &path, const QByteArray &bytes, Backup backup, const QString &message)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return fail(message, path, file.errorString());
    QString error;
    if (backup == Backup::Keep && !makeBackup(path, &error)) {
        file.cancelWriting();
        err() << saveFailure(path, error) << Qt::endl;
        return Failed;
    }
    if (!file.commit())
        return fail(message, path, file.errorString());
    return Done;
}

int saveSettings(const QString &path, const SettingsImage &image)
{
    QString error;
    if (saveDatFile(path, image, &error))
        return Done;
    err() << saveFailure(path, error) << Qt::endl;
    return Failed;
}

}  // namespace Tool
