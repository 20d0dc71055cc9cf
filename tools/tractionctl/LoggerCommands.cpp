#include "LoggerCommands.h"

#include "GraphCommands.h"
#include "RunsCommand.h"
#include "graph/GraphFiles.h"
#include "graph/LogImage.h"
#include "link/ConsoleLinkHost.h"
#include "link/TractionLink.h"
#include "settings/SettingsFiles.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>

namespace LoggerCommands {

namespace {

enum Exit { Done = 0, Failed = 1, UsageError = 2 };

enum class Format { Dat, Csv, Bin, Unknown };

Format formatOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"dat")
        return Format::Dat;
    if (suffix == u"csv")
        return Format::Csv;
    if (suffix == u"bin")
        return Format::Bin;
    return Format::Unknown;
}

// The DOS graph file as the graph window saves it, the points as "graph export" writes them, or
// the memory as it came.
QByteArray fileBytes(const QByteArray &logImage, Format format)
{
    if (format == Format::Bin)
        return logImage;
    Channels channels;
    LogImage::plot(logImage, channels);
    return format == Format::Dat ? GraphFiles::dosBytes(channels) : GraphCommands::csv(channels, false);
}

// The new file is down in full before the old one becomes its backup and the new one takes its place.
bool save(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        *error = file.errorString();
        return false;
    }
    if (!makeBackup(path, error)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

}  // namespace

int upload(const QStringList &args)
{
    QStringList rest = args;
    const QString port = LinkCommands::takePort(rest);
    const bool keep = rest.removeAll(QStringLiteral("--no-keep")) == 0;
    const bool readSettings = rest.removeAll(QStringLiteral("--no-settings")) == 0;
    if (port.isEmpty() || rest.size() != 1 || formatOf(rest[0]) == Format::Unknown)
        return UsageError;
    const QString out = rest[0];
    ConsoleLinkHost host;
    QByteArray logImage;
    {
        TractionLink link(host);
        if (!LinkCommands::openPort(link, port))
            return Failed;
        if (!link.UploadLog())
            return Failed;
        logImage = link.state().LogImage;
        if (keep)
            RunsCommand::keep(RunRecord::Kind::Upload, fileBytes(logImage, Format::Dat), readSettings ? &link : nullptr);
    }
    QString error;
    if (!save(out, fileBytes(logImage, formatOf(out)), &error)) {
        if (error == QLatin1String(BackupFailedMessage))
            std::fprintf(stderr, "%s\n  %s: could not rename the file to it\n", BackupFailedMessage,
                         qPrintable(backupFileName(out)));
        else
            std::fprintf(stderr, "File failed to save\n  %s: %s\n", qPrintable(out), qPrintable(error));
        return Failed;
    }
    return Done;
}

int clear(const QStringList &args)
{
    QStringList rest = args;
    const QString port = LinkCommands::takePort(rest);
    if (port.isEmpty() || !rest.isEmpty())
        return UsageError;
    ConsoleLinkHost host;
    TractionLink link(host);
    if (!LinkCommands::openPort(link, port))
        return Failed;
    const bool ok = link.ClearLog();
    // The walk's message comes after its unlock, where the console host prints one.
    host.printStatus();
    return ok ? Done : Failed;
}

}  // namespace LoggerCommands
