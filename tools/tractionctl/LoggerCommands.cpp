#include "LoggerCommands.h"
#include "ToolKit.h"

#include "GraphCommands.h"
#include "graph/GraphFiles.h"
#include "graph/LogImage.h"
#include "link/ConsoleLinkHost.h"
#include "link/TractionLink.h"

#include <QFileInfo>

namespace LoggerCommands {

namespace {

using namespace Tool;

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

}  // namespace

int upload(const QStringList &args)
{
    QStringList rest = args;
    const QString port = LinkCommands::takePort(rest);
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
    }
    return saveWhole(out, fileBytes(logImage, formatOf(out)), Backup::Keep);
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
