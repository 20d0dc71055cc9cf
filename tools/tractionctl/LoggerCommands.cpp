#include "LoggerCommands.h"
#include "ToolKit.h"

#include "GraphCommands.h"
#include "RunsCommand.h"
#include "graph/GraphFiles.h"
#include "graph/LogImage.h"
#include "link/ConsoleLinkHost.h"
#include "link/LoggerSequences.h"
#include "link/TractionLink.h"

#include <QFileInfo>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

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

// Ctrl+C during the upload cancels it as the window's Cancel does, so that the unit is left at its
// menu root, not in the middle of sending. The handler only writes a byte; the event loop that
// the upload's wait runs reads it.
class CancelOnInterrupt {
public:
    explicit CancelOnInterrupt(LoggerSequences &logger)
    {
        if (pipe2(s_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
            return;
        m_notifier = std::make_unique<QSocketNotifier>(s_pipe[0], QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [&logger] {
            char byte;
            while (read(s_pipe[0], &byte, 1) == 1) {
            }
            if (logger.cancelUpload())
                std::fprintf(stderr, "\nCancelling: the unit first sends the rest of its memory\n");
        });
        struct sigaction action = {};
        action.sa_handler = [](int) {
            const char byte = 1;
            [[maybe_unused]] const ssize_t written = write(s_pipe[1], &byte, 1);
        };
        sigaction(SIGINT, &action, &m_previous);
    }
    ~CancelOnInterrupt()
    {
        if (!m_notifier)
            return;
        sigaction(SIGINT, &m_previous, nullptr);
        m_notifier.reset();
        close(s_pipe[0]);
        close(s_pipe[1]);
    }

private:
    static inline int s_pipe[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> m_notifier;
    struct sigaction m_previous = {};
};

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
        if (!LinkCommands::openPort(link, port, ports()))
            return Failed;
        const CancelOnInterrupt interrupt(link.logger());
        if (!link.UploadLog())
            return Failed;
        logImage = link.state().LogImage;
        if (keep)
            RunsCommand::keep(RunRecord::Kind::Upload, fileBytes(logImage, Format::Dat),
                              readSettings ? &link : nullptr);
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
    if (!LinkCommands::openPort(link, port, ports()))
        return Failed;
    const bool ok = link.ClearLog();
    // The walk's message comes after its unlock, where the console host prints one.
    host.printStatus();
    return ok ? Done : Failed;
}

}  // namespace LoggerCommands
