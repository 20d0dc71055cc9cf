#include "link/LoggerSequences.h"

#include "link/CommandSequences.h"
#include "link/LinkHost.h"
#include "link/LinkState.h"
#include "link/LinkWaits.h"
#include "link/MenuSteps.h"
#include "link/SerialDevice.h"
#include "link/StatusMessages.h"

#include <QDeadlineTimer>

#include <cmath>

namespace {
const QString Reading = QLatin1String(StatusMessages::ReadingMemory);
const QString Cancelling = QLatin1String(StatusMessages::CancellingRead);
constexpr int EstimateEveryMs = 250;
// Below this much (about two seconds of the line) the measured pace says little yet.
constexpr int MeasuredFrom = 4096;
constexpr int FirstSampleOffset = 2;
}  // namespace

bool LoggerSequences::nothingLogged(const QByteArray &logImage)
{
    const QByteArrayView samples = QByteArrayView(logImage).sliced(qMin(FirstSampleOffset, int(logImage.size())));
    if (samples.isEmpty())
        return true;
    const char first = samples.front();
    return (first == '\0' || first == '\xff') && samples.count(first) == samples.size();
}

LoggerSequences::LoggerSequences(LinkState &state, SerialDevice &device, LinkWaits &waits, LinkHost &host,
                                 CommandSequences &sequences)
    : m_state(state), m_device(device), m_waits(waits), m_host(host), m_sequences(sequences)
{
    m_estimateTimer.setInterval(EstimateEveryMs);
    QObject::connect(&m_estimateTimer, &QTimer::timeout, [this] { showTimeLeft(); });
}

void LoggerSequences::showTimeLeft()
{
    const qint64 received =
        qMin<qint64>(LinkState::LogImageSize,
                     qint64(m_state.LogBlockCount) * LinkState::LogBlockSize + m_letGo + m_device.arrivedCount());
    const double elapsed = m_transfer.elapsed() / 1000.0;
    const double rate = received >= MeasuredFrom && elapsed > 0 ? received / elapsed : LineBytesPerSecond;
    const int seconds = int(std::ceil((LinkState::LogImageSize - received) / rate));
    if (seconds == m_shownSeconds)
        return;
    m_shownSeconds = seconds;
    m_host.showTimeLeft(m_cancelled ? Cancelling : Reading, seconds);
}

bool LoggerSequences::cancelUpload()
{
    if (!m_uploading || m_cancelled)
        return false;
    m_cancelled = true;
    // From here the parser leaves the bytes queued, and the wait below throws them away.
    if (m_state.LinkMode == ModeLogBlocks)
        m_state.LinkMode = ModeIdle;
    return true;
}

// The unit sends its whole memory whatever it is told meanwhile: what it still sends is read past,
// until the line has been quiet for QuietMs. Bounded by the time the whole memory may take.
bool LoggerSequences::letRestGo()
{
    const QDeadlineTimer bound(qMax(0, m_bounds.uploadMs - int(m_transfer.elapsed())) + QuietMs, Qt::PreciseTimer);
    m_shownSeconds = -1;
    showTimeLeft();
    for (;;) {
        m_letGo += m_device.InputCount();
        m_device.PurgeInput();
        const quint64 seen = m_device.events();
        const int quiet = int(qMin<qint64>(QuietMs, bound.remainingTime()));
        SerialDevice &device = m_device;
        if (!m_waits.waitUntil([&device, seen] { return device.events() != seen; }, quiet))
            return true;
        if (bound.hasExpired())
            return false;
    }
}

LoggerSequences::Upload LoggerSequences::upload()
{
    LinkState &s = m_state;
    if (!m_sequences.TractionFirmwareVersion() || !m_sequences.RootMenu())
        return m_cancelled ? Upload::Cancelled : Upload::Failed;
    if (m_cancelled)
        return Upload::Cancelled;  // before 'I': nothing to let go
    if (s.StopRequested)
        return Upload::Failed;  // the window is closing
    s.ExchangeStatus = ExchangeWaiting;
    s.LinkMode = ModeLogBlocks;
    // Not drained first: the root screen's last bytes were, and the memory follows 'I' at once.
    m_device.SendChar('I');
    m_transfer.start();
    m_shownSeconds = -1;
    showTimeLeft();
    m_estimateTimer.start();
    m_waits.waitUntil(
        [this, &s] {
            return m_cancelled || s.StopRequested || s.ExchangeStatus == ExchangeFailed ||
                   s.ExchangeStatus == ExchangeComplete;
        },
        m_bounds.uploadMs);
    if (m_cancelled) {
        const bool quiet = letRestGo();
        m_estimateTimer.stop();
        const bool atRoot = m_sequences.RootMenu();
        if (!quiet)
            m_cancelReason = QStringLiteral("the unit went on sending");
        else if (!atRoot)
            m_cancelReason = QStringLiteral("the unit did not return to its menu");
        return Upload::Cancelled;
    }
    m_estimateTimer.stop();
    if (s.ExchangeStatus != ExchangeComplete)
        return Upload::Failed;
    if (!nothingLogged(s.LogImage))
        m_host.logImageUploaded(s.LogImage);
    m_host.setSettingsLoaded(true);
    // The memory is whole; a unit that then fails to settle does not undo the upload.
    m_sequences.RootMenu();
    return Upload::Done;
}

bool LoggerSequences::UploadLog()
{
    try {
        m_host.stopMessageTimer();
        m_host.lockMenus();
        m_host.showActivity(Reading);
        m_host.setProgressMaximum(UploadProgressMaximum);
        m_host.setProgressPosition(0);
        m_state.LogBlockCount = 0;
        m_letGo = 0;
        m_cancelled = false;
        m_cancelReason.clear();
        m_uploading = true;
        const Upload result = upload();
        m_uploading = false;
        switch (result) {
        case Upload::Done:
            if (nothingLogged(m_state.LogImage))
                m_host.showStatusWithReason(QLatin1String(StatusMessages::MemoryReadEmpty), false,
                                            QStringLiteral("nothing logged"));
            else
                m_host.showStatus(QLatin1String(StatusMessages::MemoryRead), false);
            break;
        case Upload::Failed:
            m_host.showStatus(QLatin1String(StatusMessages::MemoryReadFailed), true);
            // Closing: the message first, as the unit may still be sending when the bound ends.
            if (m_state.StopRequested)
                m_sequences.RootMenu();
            break;
        case Upload::Cancelled:
            m_host.showStatusWithReason(QLatin1String(StatusMessages::ReadCancelled), false, m_cancelReason);
            break;
        }
        m_sequences.finish(false);
        if (result == Upload::Cancelled)
            m_host.setProgressPosition(0);  // nothing was read
        return result == Upload::Done;
    } catch (const LinkAborted &) {
        m_uploading = false;
        m_estimateTimer.stop();
        return false;  // shut down while waiting; the host may be gone
    }
}

bool LoggerSequences::clear(MenuSteps &steps)
{
    LinkState &s = m_state;
    s.RxActivity = true;
    // A stop before 'C' erases nothing; once the erase runs, its end is still awaited.
    if (!steps.step(ModeSetupMenu, s.SetupMenuSeen, 'E') || s.StopRequested ||
        !steps.step(ModeDataLogging, s.DataLoggingSeen, 'L') || s.StopRequested ||
        !steps.step(ModeClearingRam, s.ClearingRamSeen, 'C'))
        return false;
    // The erase is done when the data logging screen shows again. A quick unit's may have come
    // during the wait for "Clearing RAM", behind it: nothing more would announce it.
    steps.expect(ModeDataLogging, s.DataLoggingSeen);
    m_device.announceWaiting();
    m_waits.waitUntil([&s] { return s.DataLoggingSeen; }, m_bounds.clearMs);
    m_host.stepProgress(1);
    return s.DataLoggingSeen;
}

bool LoggerSequences::ClearLog()
{
    try {
        m_host.stopMessageTimer();
        m_host.lockMenus();
        m_host.showActivity(QLatin1String(StatusMessages::ClearingMemory));
        m_host.setProgressMaximum(ClearProgressMaximum);
        m_host.setProgressPosition(0);
        MenuSteps steps(m_state, m_device, m_waits, m_host);
        const bool ok = clear(steps);
        steps.close(m_sequences, ok, QLatin1String(StatusMessages::MemoryCleared),
                    QLatin1String(StatusMessages::MemoryClearFailed));
        return ok;
    } catch (const LinkAborted &) {
        return false;
    }
}
