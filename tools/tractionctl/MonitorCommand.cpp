#include "MonitorCommand.h"
#include "ToolKit.h"

#include "RunsCommand.h"
#include "graph/Channels.h"
#include "graph/LiveFrames.h"
#include "link/ConsoleLinkHost.h"
#include "link/LivePoll.h"
#include "link/TractionLink.h"

#include <QElapsedTimer>
#include <QFile>
#include <QEventLoop>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace MonitorCommand {

namespace {

using namespace Tool;

int g_interruptPipe[2] = {-1, -1};

void onInterrupt(int)
{
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(g_interruptPipe[1], &c, 1);
}

// Every frame goes through the same path as in the graph window, which for a console is always
// shown; what the readouts would show is printed.
class MonitorHost : public ConsoleLinkHost {
public:
    LivePoll *poll = nullptr;
    qint64 wanted = 0;  // 0: until interrupted
    std::function<void()> enough;
    bool live = true;  // false once the poll has stopped: what comes then answers a command

    void setProgressPosition(int) override {}  // a progress bar per frame says nothing here
    bool realTimeVisible() const override { return live; }
    void liveFrame(const std::array<quint8, 6> &frame) override
    {
        if (wanted > 0 && qint64(poll->framesReceived()) >= wanted)
            return;  // answers to a last request after the count was reached
        QString error;
        if (!poll->frame(frame, &error))
            std::fprintf(stderr, "Logging stopped: %s\n", qPrintable(error));
        for (int b = 0; b < RecordSize; ++b)
            std::printf(b ? " %d" : "%d", recordValue(frame.data(), b));
        std::printf("\n");
        std::fflush(stdout);
        if (wanted > 0 && qint64(poll->framesReceived()) >= wanted && enough)
            enough();
    }
    void liveTextSkipped() override { poll->textSkipped(); }
};

bool takeValue(QStringList &args, const char *name, QString *value)
{
    const int i = int(args.indexOf(QLatin1String(name)));
    if (i < 0)
        return true;
    if (i + 1 >= args.size())
        return false;
    *value = args[i + 1];
    args.remove(i, 2);
    return true;
}

}  // namespace

int run(const QStringList &args)
{
    QStringList rest = args;
    QString port, frames, logPath;
    const bool keep = rest.removeAll(QStringLiteral("--no-keep")) == 0;
    const bool readSettings = rest.removeAll(QStringLiteral("--no-settings")) == 0;
    if (!takeValue(rest, "--port", &port) || !takeValue(rest, "--frames", &frames) ||
        !takeValue(rest, "--log", &logPath) || !rest.isEmpty() || port.isEmpty())
        return UsageError;
    bool numeric = true;
    const qint64 wanted = frames.isEmpty() ? 0 : frames.toLongLong(&numeric);
    if (!numeric || wanted < 0)
        return UsageError;

    MonitorHost host;
    TractionLink link(host);
    QString error;
    const QString device = LinkCommands::resolvePort(port, ports(), &error);
    if (device.isEmpty() || !link.Comm1().open(device, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return Failed;
    }
    Channels channels;
    AxisRange time{0, 250};
    LiveFrames sink(channels, time);
    LivePoll poll(sink);
    poll.setSendChar([&link](quint8 b) { return link.sendLiveRequest(b); });
    poll.setDrainInput([&link] {
        try {
            link.waits().DrainInput();
        } catch (const LinkAborted &) {
        }
    });
    host.poll = &poll;
    host.wanted = wanted;
    if (!logPath.isEmpty()) {
        switch (sink.log().open(logPath, &error)) {
        case LiveLog::Opened::Yes: break;
        case LiveLog::Opened::BackupFailed:
            std::fprintf(stderr, "%s\n  %s: could not rename the file to its .BAK name\n", qPrintable(error),
                         qPrintable(logPath));
            return Failed;
        case LiveLog::Opened::Failed:
            std::fprintf(stderr, "File failed to save\n  %s: %s\n", qPrintable(logPath), qPrintable(error));
            return Failed;
        }
    }

    QEventLoop loop;
    host.enough = [&loop] { loop.quit(); };
    if (::pipe(g_interruptPipe) != 0)
        return Failed;
    QSocketNotifier interrupted(g_interruptPipe[0], QSocketNotifier::Read);
    QObject::connect(&interrupted, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
    struct sigaction sa {};
    sa.sa_handler = onInterrupt;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);

    std::printf("CH1 CH2 CH3 CH4 RPM Cut\n");
    std::fflush(stdout);
    QElapsedTimer clock;
    clock.start();
    link.beginLiveRun();  // the line as the window's live run has it
    poll.start();
    loop.exec();
    poll.stop();  // the log is closed here
    link.endLiveRun();
    const double seconds = double(clock.nsecsElapsed()) / 1e9;

    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    const quint64 received = poll.framesReceived();
    std::fprintf(stderr, "Frames received: %llu\nFrames lost: %llu\nFrames per second: %.1f\n",
                 static_cast<unsigned long long>(received), static_cast<unsigned long long>(poll.framesLost()),
                 seconds > 0 ? double(received) / seconds : 0.0);
    if (keep && !logPath.isEmpty() && received > 0) {
        QFile log(logPath);
        // The answer to a last request may still be on its way: it goes before the settings are read.
        host.live = false;
        try {
            link.waits().Delay_ms(LivePoll::LostFrameMs);
            link.waits().DrainInput();
        } catch (const LinkAborted &) {
        }
        if (log.open(QIODevice::ReadOnly))
            RunsCommand::keep(RunRecord::Kind::Live, log.readAll(), readSettings ? &link : nullptr,
                              seconds / double(received));
        else
            std::fprintf(stderr, "Run not kept: %s: %s\n", qPrintable(logPath), qPrintable(log.errorString()));
    }
    return received > 0 ? Done : Failed;
}

}  // namespace MonitorCommand
