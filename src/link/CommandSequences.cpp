#include "link/CommandSequences.h"

#include "link/LinkHost.h"
#include "link/LinkState.h"
#include "link/LinkWaits.h"
#include "link/SerialDevice.h"
#include "link/StatusMessages.h"
#include "settings/SettingsImage.h"

#include <QDeadlineTimer>
#include <QScopeGuard>

namespace {
constexpr char Esc = 0x1B;

// The image is binary. One that holds the root screen's or the setup menu's phrase is that screen,
// come too late for the return to the root (a slow unit, a busy machine), in front of the image.
bool holdsMenuScreen(const QByteArray &bytes) { return bytes.contains("Running") || bytes.contains("SETUP MENU"); }

// A version is one short line of text; the start of a screen (its lines begin LF CR) is none.
bool plausibleVersion(const QByteArray &text)
{
    return !text.isEmpty() && !text.contains('\n') && !text.contains('\r') && !holdsMenuScreen(text);
}
}  // namespace

CommandSequences::CommandSequences(LinkState &state, SerialDevice &device, LinkWaits &waits, LinkHost &host)
    : m_state(state), m_device(device), m_waits(waits), m_host(host)
{
    m_progressBarTimer.setObjectName(QStringLiteral("ProgressBarTimer"));
    m_progressBarTimer.setTimerType(Qt::PreciseTimer);
    m_progressBarTimer.setInterval(ReplyTimeoutMs / 70);
    QObject::connect(&m_progressBarTimer, &QTimer::timeout, [this] { m_host.stepProgress(1); });
}

void CommandSequences::Delay_ms(int ms) { m_waits.Delay_ms(ms); }

bool CommandSequences::send(char c) { return m_device.SendChar(quint8(c)); }

void CommandSequences::clearReplyWindow() { m_state.ReplyWindow.fill(0); }

bool CommandSequences::rootMenuOverdue() const { return m_rootMenuClock.elapsed() > RootMenuBoundMs; }

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
        [&s] { return s.ExchangeStatus == ExchangeFailed || s.ExchangeStatus == ExchangeComplete || s.StopRequested; },
        ReplyTimeoutMs);
}

bool CommandSequences::TractionFirmwareVersion()
{
    LinkState &s = m_state;
    bool answered = false;
    if (RootMenu()) {
        settleInput();  // a late root screen would be taken for the version
        s.ExchangeStatus = ExchangeWaiting;
        m_progressBarTimer.start();
        s.LinkMode = ModeFirmwareVersion;
        m_waits.DrainInput();
        send('O');
        waitForExchange();
        m_progressBarTimer.stop();
        answered = s.ExchangeStatus == ExchangeComplete && plausibleVersion(s.firmwareVersionText());
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

bool CommandSequences::readOnce(SettingsImage &received)
{
    LinkState &s = m_state;
    settleInput();  // still in the root's mode, where a late screen is only text
    s.ExchangeStatus = ExchangeWaiting;
    s.LinkMode = ModeSettingsImage;
    s.ImageTarget = &received;
    // Also when the wait unwinds because the link is closing: the target is the caller's.
    const auto untarget = qScopeGuard([&s] { s.ImageTarget = nullptr; });
    m_waits.DrainInput();
    send('R');
    waitForExchange();
    if (s.ExchangeStatus != ExchangeComplete) {
        m_failure = QStringLiteral("the unit sent no whole image");
        return false;
    }
    // The image is the first 256 bytes; whatever the unit prints after it (a prompt, say, or the
    // rest of an image that came behind a late screen) is menu text, which the return to the root
    // reads past. A unit that then fails to settle does not undo the read.
    RootMenu();
    if (holdsMenuScreen(received.toByteArray())) {
        m_failure = QStringLiteral("a menu screen came in place of the image");
        return false;
    }
    return true;
}

// The line has no checksum: a byte garbled on the way would go unnoticed. Two reads that agree
// are taken; when they differ a third decides by agreeing with either.
bool CommandSequences::checkedRead(SettingsImage &image)
{
    SettingsImage first;
    if (!readOnce(first))
        return false;
    if (!m_checkReads) {
        image = first;
        return true;
    }
    SettingsImage second;
    if (!readOnce(second))
        return false;
    if (first == second) {
        image = first;
        return true;
    }
    SettingsImage third;
    if (!readOnce(third))
        return false;
    if (third == first || third == second) {
        image = third;
        return true;
    }
    m_failure = QStringLiteral("three reads of the settings differ: the line is noisy");
    return false;
}

// Into 'target', or TractionMemory when it is null; nothing is copied unless the whole image came,
// it is no menu screen and (when reads are checked) a second read agreed.
bool CommandSequences::readImage(SettingsImage *target)
{
    LinkState &s = m_state;
    m_failure.clear();
    if (!TractionFirmwareVersion() || !RootMenu()) {
        m_failure = QStringLiteral("the unit did not answer the version query");
        return false;
    }
    SettingsImage received;
    if (!checkedRead(received))
        return false;
    (target ? *target : m_host.tractionMemory()) = received;
    s.UnitImage = received;
    m_host.setSettingsLoaded(true);
    return true;
}

void CommandSequences::finish(bool pagesAgreeWithUnit)
{
    if (pagesAgreeWithUnit)
        m_host.setModified(false);
    closeExchange();
}

void CommandSequences::closeExchange()
{
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

void CommandSequences::showFailure(const char *text)
{
    m_host.showStatusWithReason(QLatin1String(text), true, m_failure);
}

// A stop ends an exchange between its steps, where the unit may sit in any menu: it is taken back
// to its root, as after every exchange. Its message is shown first: a unit still sending (a logger
// memory) may not fall quiet before the window's bound cuts the return short.
void CommandSequences::rootReturnIfStopped()
{
    if (m_state.StopRequested)
        RootMenu();
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
            showFailure(StatusMessages::MemoryReadFailed);
            rootReturnIfStopped();
        }
        finish(ok);
        return ok;
    } catch (const LinkAborted &) {
        return false;  // shut down while waiting; the host may be gone
    }
}

bool CommandSequences::waitForFlag(const bool &flag, int rounds)
{
    for (int i = 0; i < rounds && !m_state.StopRequested; ++i) {
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
    m_imageSent = false;
    m_failure.clear();
    if (!m_host.copyPagesToImage())
        return false;
    if (!TractionFirmwareVersion() || !RootMenu() || s.StopRequested)
        return false;
    settleInput();  // the keys below must find the unit at its root, not behind a late screen
    send('W');
    Delay_ms(5);
    send('Y');
    Delay_ms(5);
    const SettingsImage &image = m_host.tractionMemory();
    m_imageSent = true;
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
            // Once the image went out the unit may hold it, or part of it: what it holds is unknown.
            if (m_imageSent)
                m_state.UnitImage.reset();
            showFailure(StatusMessages::MemoryWriteFailed);
            rootReturnIfStopped();
        }
        if (!written || !m_verify) {
            if (written)
                m_host.settingsWritten(m_host.tractionMemory());
            closeExchange();
            return written;
        }
        return verifyWrite();
    } catch (const LinkAborted &) {
        return false;
    }
}

bool CommandSequences::verifyWrite()
{
    m_host.showActivity(QLatin1String(StatusMessages::VerifyingMemory));
    m_host.setProgressMaximum(ReadProgressMaximum);
    m_host.setProgressPosition(0);
    SettingsImage back;
    const bool answered = readImage(&back);
    const SettingsImage &meant = m_host.tractionMemory();
    const bool same = answered && back == meant;
    if (!answered)
        m_state.UnitImage.reset();  // written, but what the unit holds now is not known
    m_host.showStatusWithReason(QLatin1String(same ? StatusMessages::MemoryVerified : StatusMessages::VerifyFailed),
                                !same, answered ? QString() : m_failure);
    if (!answered)
        rootReturnIfStopped();
    if (same)
        m_host.settingsWritten(meant);
    closeExchange();
    if (!same) {
        // What the user meant to write is not in the unit: the pages still hold it, unsent.
        m_host.setModified(true);
        if (!m_state.StopRequested)  // a box would hold up the window that is closing
            m_host.verifyFailed(answered ? compareImages(meant, back) : QList<SettingChange>{}, answered);
    }
    return same;
}

bool CommandSequences::ReadUnitImage(SettingsImage &image)
{
    try {
        startExchange(StatusMessages::ReadingMemory, ReadProgressMaximum);
        SettingsImage read;
        const bool ok = readImage(&read);
        if (ok) {
            image = read;
            m_host.showStatus(QLatin1String(StatusMessages::MemoryRead), false);
        } else {
            showFailure(StatusMessages::MemoryReadFailed);
            rootReturnIfStopped();
        }
        closeExchange();
        return ok;
    } catch (const LinkAborted &) {
        return false;
    }
}
