#include "link/LoggerSequences.h"

#include "link/CommandSequences.h"
#include "link/LinkHost.h"
#include "link/LinkState.h"
#include "link/LinkWaits.h"
#include "link/MenuSteps.h"
#include "link/SerialDevice.h"
#include "link/StatusMessages.h"

#include <cmath>

namespace
{
const QString Reading = QLatin1String(StatusMessages::ReadingMemory);
constexpr int EstimateEveryMs = 250;
// Below this much (about two seconds of the line) the measured pace says little yet.
constexpr int MeasuredFrom = 4096;
} // namespace

LoggerSequences::LoggerSequences(LinkState &state, SerialDevice &device, LinkWaits &waits, LinkHost &host,
                                 CommandSequences &sequences)
    : m_state(state), m_device(device), m_waits(waits), m_host(host), m_sequences(sequences)
{
    m_estimateTimer.setInterval(EstimateEveryMs);
    QObject::connect(&m_estimateTimer, &QTimer::timeout, [this] { showTimeLeft(); });
}

void LoggerSequences::showTimeLeft()
{
    const qint64 received = qMin<qint64>(LinkState::LogImageSize, qint64(m_state.LogBlockCount) * LinkState::LogBlockSize +
                                                                     m_device.InputCount());
    const double elapsed = m_transfer.elapsed() / 1000.0;
    const double rate = received >= MeasuredFrom && elapsed > 0 ? received / elapsed : LineBytesPerSecond;
    const int seconds = int(std::ceil((LinkState::LogImageSize - received) / rate));
    if (seconds == m_shownSeconds)
        return;
    m_shownSeconds = seconds;
    m_host.showTimeLeft(Reading, seconds);
}

bool LoggerSequences::upload()
{
    LinkState &s = m_state;
    if (!m_sequences.TractionFirmwareVersion() || !m_sequences.RootMenu() || s.StopRequested)
        return false;
    s.ExchangeStatus = ExchangeWaiting;
    s.LinkMode = ModeLogBlocks;
    // Not drained first: the root screen's last bytes were, and the memory follows 'I' at once.
    m_device.SendChar('I');
    m_transfer.start();
    m_shownSeconds = -1;
    showTimeLeft();
    m_estimateTimer.start();
    m_waits.waitUntil(
        [&s] { return s.ExchangeStatus == ExchangeFailed || s.ExchangeStatus == ExchangeComplete || s.StopRequested; },
        m_bounds.uploadMs);
    m_estimateTimer.stop();
    if (s.ExchangeStatus != ExchangeComplete)
        return false;
    m_host.logImageUploaded(s.LogImage);
    m_host.setSettingsLoaded(true);
    // The memory is whole; a unit that then fails to settle does not undo the upload.
    m_sequences.RootMenu();
    return true;
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
        const bool ok = upload();
        if (ok) {
            m_host.showStatus(QLatin1String(StatusMessages::MemoryRead), false);
        } else {
            m_host.showStatus(QLatin1String(StatusMessages::MemoryReadFailed), true);
            if (m_state.StopRequested)
                m_sequences.RootMenu();
        }
        m_sequences.finish(false);
        return ok;
    } catch (const LinkAborted &) {
        m_estimateTimer.stop();
        return false; // shut down while waiting; the host may be gone
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
