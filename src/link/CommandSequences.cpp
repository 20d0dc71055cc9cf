#include "link/CommandSequences.h"

#include "link/LinkHost.h"
#include "link/LinkState.h"
#include "link/LinkWaits.h"
#include "link/SerialDevice.h"
#include "link/StatusMessages.h"
#include "settings/SettingsImage.h"

#include <QDeadlineTimer>
#include <QScopeGuard>

namespace
{
constexpr char Esc = 0x1B;

// The image is binary. One that holds the root screen's or the setup menu's phrase is that screen,
// come too late for the return to the root (a slow unit, a busy machine), in front of the image.
bool holdsMenuScreen(const SettingsImage &image)
{
    const QByteArray bytes = image.toByteArray();
    return bytes.contains("Running") || bytes.contains("SETUP MENU");
}
} // namespace

CommandSequences::CommandSequences(LinkState &state, SerialDevice &device, LinkWaits &waits, LinkHost &host)
    : m_state(state), m_device(device), m_waits(waits), m_host(host)
{
    m_progressBarTimer.setObjectName(QStringLiteral("ProgressBarTimer"));
    m_progressBarTimer.setTimerType(Qt::PreciseTimer);
    m_progressBarTimer.setInterval(ReplyTimeoutMs / 70);
    QObject::connect(&m_progressBarTimer, &QTimer::timeout, [this] { m_host.stepProgress(1); });
}

void CommandSequences::Delay_ms(int ms)
{
    m_waits.Delay_ms(ms);
}

bool CommandSequences::send(char c)
{
    return m_device.SendChar(quint8(c));
}

void CommandSequences::clearReplyWindow()
{
    m_state.ReplyWindow.fill(0);
}

bool CommandSequences::rootMenuOverdue() const
{
    return m_rootMenuClock.elapsed() > RootMenuBoundMs;
}

bool CommandSequences::escapeLoop()
{
    LinkState &s = m_state;
    while (!s.RunningSeen && s.RxActivity) {
        if (rootMenuOverdue())
            return false;
        s.RxActivity = false;
        send(Esc);
        Delay_ms(100);
    }
    return true;
}

bool CommandSequences::RootMenu()
{
    LinkState &s = m_state;
    m_rootMenuClock.start();
    s.RxActivity = true;
    s.LinkMode = ModeRunning;

    // Quiet phase: wait for a 250 ms window without traffic, asking a talking screen to stop.
    while (s.RxActivity) {
        if (rootMenuOverdue()) {
            m_waits.DrainInput();
            return false;
        }
        m_device.PurgeInput();
        s.RxActivity = false;
        Delay_ms(250);
        if (s.RxActivity) {
            m_waits.DrainInput();
            send('D');
            Delay_ms(100);
        }
    }

    // Escape phase: ESC until the root screen shows or an ESC draws no reply.
    s.RunningSeen = false;
    s.RxActivity = true;
    clearReplyWindow();
    bool inTime = escapeLoop();
    if (inTime && !s.RunningSeen) {
        // Through the setup menu and out again.
        clearReplyWindow();
        send('E');
        Delay_ms(100);
        s.RunningSeen = false;
        s.RxActivity = true;
        inTime = escapeLoop();
    }
    m_waits.DrainInput();
    return inTime;
}

bool CommandSequences::waitForExchange()
{
    LinkState &s = m_state;
    return m_waits.waitUntil(
        [&s] { return s.ExchangeStatus == ExchangeFailed || s.ExchangeStatus == ExchangeComplete; },
        ReplyTimeoutMs);
}

bool CommandSequences::TractionFirmwareVersion()
{
    LinkState &s = m_state;
    bool answered = false;
    if (RootMenu()) {
        s.ExchangeStatus = ExchangeWaiting;
        m_progressBarTimer.start();
        s.LinkMode = ModeFirmwareVersion;
        m_waits.DrainInput();
        send('O');
        waitForExchange();
        m_progressBarTimer.stop();
        answered = s.ExchangeStatus == ExchangeComplete;
    }
    if (answered) {
        m_host.setSettingsLoaded(true);
        RootMenu();
    } else {
        s.FirmwareVersion.fill(0);
    }
    m_host.updateTitleBar(true);
    return answered;
}

void CommandSequences::settleInput()
{
    const QDeadlineTimer bound(SettleBoundMs, Qt::PreciseTimer);
    SerialDevice &device = m_device;
    for (;;) {
        m_waits.DrainInput();
        const quint64 seen = device.events();
        const int quiet = int(qMin<qint64>(QuietMs, bound.remainingTime()));
        if (!m_waits.waitUntil([&device, seen] { return device.events() != seen; }, quiet) || bound.hasExpired())
            return;
    }
}

// Into 'target', or TractionMemory when it is null; nothing is copied unless all 256 bytes came
// and they are no menu screen.
bool CommandSequences::readImage(SettingsImage *target)
{
    LinkState &s = m_state;
    if (!TractionFirmwareVersion() || !RootMenu())
        return false;
    settleInput();  // still in the root's mode, where a late screen is only text
    SettingsImage received;
    s.ExchangeStatus = ExchangeWaiting;
    s.LinkMode = ModeSettingsImage;
    s.ImageTarget = &received;
    // Also when the wait unwinds because the link is closing: the target is a local.
    const auto untarget = qScopeGuard([&s] { s.ImageTarget = nullptr; });
    m_waits.DrainInput();
    send('R');
    waitForExchange();
    if (s.ExchangeStatus != ExchangeComplete)
        return false;
    const bool image = !holdsMenuScreen(received);
    if (image) {
        (target ? *target : m_host.tractionMemory()) = received;
        s.UnitImage = received;
        m_host.setSettingsLoaded(true);
    }
    // The image is the first 256 bytes; whatever the unit prints after it (a prompt, say, or the
    // rest of an image that came behind a late screen) is menu text, which the return to the root
    // reads past. A unit that then fails to settle does not undo the read.
    RootMenu();
    return image;
}

void CommandSequences::finish(bool pagesAgreeWithUnit)
{
    if (pagesAgreeWithUnit)
        m_host.setModified(false);
    m_host.setProgressPosition(m_host.progressMaximum());
    m_host.unlockMenus();
    m_host.startMessageTimer();
}

void CommandSequences::startExchange(const char *activity, int progressMaximum)
{
    m_host.stopMessageTimer();
    m_host.lockMenus();
    m_host.showActivity(QLatin1String(activity));
    m_host.setProgressMaximum(progressMaximum);
    m_host.setProgressPosition(0);
}

bool CommandSequences::ReadFromTraction()
{
    try {
        startExchange(StatusMessages::ReadingMemory, ReadProgressMaximum);
        const bool ok = readImage(nullptr);
        if (ok) {
            m_host.fillPagesFromImage();
            m_host.showStatus(QLatin1String(StatusMessages::MemoryRead), false);
        } else {
            m_host.showStatus(QLatin1String(StatusMessages::MemoryReadFailed), true);
        }
        finish(ok);
        return ok;
    } catch (const LinkAborted &) {
        return false; // shut down while waiting; the host may be gone
    }
}

bool CommandSequences::waitForFlag(const bool &flag, int rounds)
{
    for (int i = 0; i < rounds; ++i) {
        if (flag)
            return true;
        Delay_ms(10);
        m_waits.processPending();
    }
    return flag;
}

bool CommandSequences::writeImage()
{
    LinkState &s = m_state;
    if (!m_host.copyPagesToImage())
        return false;
    if (!TractionFirmwareVersion() || !RootMenu())
        return false;
    send('W');
    Delay_ms(5);
    send('Y');
    Delay_ms(5);
    const SettingsImage &image = m_host.tractionMemory();
    for (int i = 0; i < SettingsImage::Size; ++i) {
        m_host.stepProgress(1);
        m_device.SendChar(image.byte(i));
    }

    s.LinkMode = ModeUploadedOk;
    s.UploadedOkSeen = false;
    clearReplyWindow();
    if (!waitForFlag(s.UploadedOkSeen, 100))
        return false;

    s.LinkMode = ModeSetupMenu;
    s.SetupMenuSeen = false;
    clearReplyWindow();
    m_host.stepProgress(10);
    Delay_ms(5);
    send('E');
    if (!waitForFlag(s.SetupMenuSeen, 500))
        return false;

    s.LinkMode = ModeWheelSpeed;
    s.WheelSpeedSeen = false;
    clearReplyWindow();
    m_host.stepProgress(10);
    Delay_ms(1000);
    send('W');
    if (!waitForFlag(s.WheelSpeedSeen, 500))
        return false;
    RootMenu();
    return true;
}

bool CommandSequences::WriteToTraction()
{
    try {
        startExchange(StatusMessages::WritingMemory, WriteProgressMaximum);
        const bool written = writeImage();
        if (written) {
            m_state.UnitImage = m_host.tractionMemory();
            m_host.showStatus(QLatin1String(StatusMessages::MemoryWritten), false);
        } else {
            m_host.showStatus(QLatin1String(StatusMessages::MemoryWriteFailed), true);
        }
        if (!written || !m_verify) {
            finish(written);
            return written;
        }

        m_host.showActivity(QLatin1String(StatusMessages::VerifyingMemory));
        m_host.setProgressMaximum(ReadProgressMaximum);
        m_host.setProgressPosition(0);
        SettingsImage back;
        const bool answered = readImage(&back);
        const SettingsImage &meant = m_host.tractionMemory();
        const bool same = answered && back == meant;
        if (!answered)
            m_state.UnitImage.reset(); // written, but what the unit holds now is not known
        m_host.showStatus(QLatin1String(same ? StatusMessages::MemoryVerified : StatusMessages::VerifyFailed),
                          !same);
        finish(same);
        if (!same) {
            // What the user meant to write is not in the unit: the pages still hold it, unsent.
            m_host.setModified(true);
            m_host.verifyFailed(answered ? compareImages(meant, back) : QList<SettingChange>{}, answered);
        }
        return same;
    } catch (const LinkAborted &) {
        return false;
    }
}

bool CommandSequences::ReadUnitImage(SettingsImage &image)
{
    try {
        startExchange(StatusMessages::ReadingMemory, ReadProgressMaximum);
        SettingsImage read;
        const bool ok = readImage(&read);
        if (ok)
            image = read;
        m_host.showStatus(QLatin1String(ok ? StatusMessages::MemoryRead : StatusMessages::MemoryReadFailed), !ok);
        m_host.setProgressPosition(m_host.progressMaximum());
        m_host.unlockMenus();
        m_host.startMessageTimer();
        return ok;
    } catch (const LinkAborted &) {
        return false;
    }
}
