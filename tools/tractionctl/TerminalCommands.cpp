#include "TerminalCommands.h"
#include "ToolKit.h"

#include "link/ConsoleLinkHost.h"
#include "link/OutputTest.h"
#include "link/TerminalKeys.h"
#include "link/TerminalText.h"
#include "link/TractionLink.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace TerminalCommands {

namespace {

using namespace Tool;

// "--name VALUE" taken out of args; 'found' says whether it was there at all.
QString takeOption(QStringList &args, const char *name, bool *found = nullptr)
{
    const qsizetype i = args.indexOf(QLatin1String(name));
    if (found)
        *found = i >= 0 && i + 1 < args.size();
    if (i < 0 || i + 1 >= args.size())
        return {};
    const QString value = args[i + 1];
    args.remove(i, 2);
    return value;
}

// A page list's index of 'text', or -1 after listing the valid texts on standard error.
int listIndex(const QString &text, const QStringList &valid, const char *what)
{
    const int index = int(valid.indexOf(text));
    if (index < 0)
        std::fprintf(stderr, "Unknown %s \"%s\"; one of: \"%s\"\n", what, qPrintable(text),
                     qPrintable(valid.join(QStringLiteral("\", \""))));
    return index;
}

}  // namespace

int test(const QStringList &args)
{
    QStringList rest = args;
    bool typeGiven = false, timeGiven = false;
    const QString port = takeOption(rest, "--port");
    const QString type = takeOption(rest, "--type", &typeGiven);
    const QString time = takeOption(rest, "--time", &timeGiven);
    if (port.isEmpty() || !rest.isEmpty())
        return UsageError;
    // The page's selection at start when not given.
    const int typeIndex = typeGiven ? listIndex(type, OutputTest::typeTexts(), "test type") : 0;
    const int timeIndex = timeGiven ? listIndex(time, OutputTest::timeTexts(), "test time") : 0;
    if (typeIndex < 0 || timeIndex < 0)
        return UsageError;

    ConsoleLinkHost host;
    TractionLink link(host);
    if (!LinkCommands::openPort(link, port, ports()))
        return Failed;
    const bool ok = link.Test_CMiss_Send(typeIndex, timeIndex);
    host.printStatus();
    return ok ? Done : Failed;
}

namespace {

termios savedTerminal;
bool rawTerminal = false;

void restoreTerminal()
{
    if (rawTerminal)
        tcsetattr(STDIN_FILENO, TCSANOW, &savedTerminal);
}

void restoreAndExit(int signal)
{
    restoreTerminal();
    std::_Exit(128 + signal);
}

// The terminal page on standard input and output.
class ConsoleTerminal : public ConsoleLinkHost {
public:
    explicit ConsoleTerminal(bool tty) : m_tty(tty) {}

    bool terminalVisible() const override { return true; }
    void terminalReceive(const QByteArray &shown) override
    {
        received = true;
        // A raw tty takes CR LF as it is; anything else gets plain lines. Other control bytes are
        // not passed on, so the unit cannot drive the user's terminal.
        QByteArray out;
        if (m_tty) {
            for (const char c : shown)
                if (uchar(c) >= 0x20 || c == '\r' || c == '\n' || c == '\t' || c == '\b')
                    out += c;
            out = QString::fromLatin1(out).toLocal8Bit();
        } else {
            out = m_lines.text(shown).toLocal8Bit();
        }
        std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
        std::fflush(stdout);
    }

    bool received = false;

private:
    bool m_tty;
    TerminalLines m_lines;
};

}  // namespace

int terminal(const QStringList &args)
{
    QStringList rest = args;
    const QString port = takeOption(rest, "--port");
    if (port.isEmpty() || !rest.isEmpty())
        return UsageError;

    const bool tty = isatty(STDIN_FILENO);
    ConsoleTerminal host(isatty(STDOUT_FILENO));
    TractionLink link(host);
    if (!LinkCommands::openPort(link, port, ports()))
        return Failed;

    if (tty && tcgetattr(STDIN_FILENO, &savedTerminal) == 0) {
        termios raw = savedTerminal;
        cfmakeraw(&raw);
        rawTerminal = tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0;
        for (const int s : {SIGTERM, SIGHUP, SIGQUIT})
            std::signal(s, restoreAndExit);
    }
    const char *eol = rawTerminal ? "\r\n" : "\n";
    std::fprintf(stderr, "Connected to %s; Ctrl+] ends.%s", qPrintable(link.Comm1().devicePath()), eol);

    int status = Done;
    QEventLoop loop;
    TerminalKeys::ConsoleKeys keys;
    const auto send = [&link](const QList<TerminalKeys::TypedKey> &typed) {
        for (const TerminalKeys::TypedKey &key : typed)
            if (const auto byte = TerminalKeys::keyByte(key.virtualKey, key.shift))
                link.Comm1().SendChar(*byte);
    };
    // An ESC with nothing after it within this time was the Esc key, not the start of a sequence.
    QTimer escTimer;
    escTimer.setSingleShot(true);
    escTimer.setInterval(50);
    QObject::connect(&escTimer, &QTimer::timeout, [&] { send(keys.flush()); });
    // At the end of piped input, what the unit still says is shown until it has been quiet a second.
    QTimer quiet;
    quiet.setInterval(1000);
    QObject::connect(&quiet, &QTimer::timeout, [&] {
        if (!std::exchange(host.received, false))
            loop.quit();
    });

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            input.setEnabled(false);
            send(keys.flush());
            host.received = false;
            quiet.start();
            return;
        }
        send(keys.feed(QByteArray(buffer, int(n))));
        if (keys.quit())
            loop.quit();
        else if (keys.waiting())
            escTimer.start();
    });
    QObject::connect(&link.Comm1(), &SerialDevice::lost, [&](const QString &message) {
        std::fprintf(stderr, "%s%s%s", eol, qPrintable(message), eol);
        status = Failed;
        loop.quit();
    });
    loop.exec();
    restoreTerminal();
    if (rawTerminal)
        std::fprintf(stderr, "\r\n");
    link.shutdown();
    return status;
}

}  // namespace TerminalCommands
