#include "link/LinkWaits.h"

#include "link/SerialDevice.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <QTimer>

LinkWaits::LinkWaits(SerialDevice &device) : m_device(device)
{
    Shared &shared = *m_shared;
    shared.pulse.setInterval(PulseMs);
    shared.pulse.setTimerType(Qt::PreciseTimer);
    QObject::connect(&shared.pulse, &QTimer::timeout, [&shared] {
        const qint64 late = shared.sincePulse.restart() - PulseMs;
        if (late > PulseSlackMs)
            shared.stalledMs += late;
    });
}

LinkWaits::~LinkWaits() { m_shared->aborted = true; }

void LinkWaits::abort() { m_shared->aborted = true; }

qint64 LinkWaits::stalledMs() const
{
    // A pulse overdue now counts before it comes: after a long stop the wait's own timer may be
    // handled first.
    const Shared &shared = *m_shared;
    const qint64 late = shared.waiting ? shared.sincePulse.elapsed() - PulseMs : 0;
    return shared.stalledMs + (late > PulseSlackMs ? late : 0);
}

void LinkWaits::pumpUntil(const QDeadlineTimer &deadline)
{
    // Held by value: this object may be gone when processEvents returns.
    const std::shared_ptr<Shared> shared = m_shared;
    if (shared->aborted)
        throw LinkAborted{};
    // The timer only wakes the event loop at the deadline; any other event wakes it sooner.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(int(qMax<qint64>(0, deadline.remainingTime())));
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (shared->aborted)
        throw LinkAborted{};
}

bool LinkWaits::waitUntil(const std::function<bool()> &done, QDeadlineTimer deadline)
{
    const std::shared_ptr<Shared> shared = m_shared;
    if (shared->waiting++ == 0) {
        shared->sincePulse.start();
        shared->pulse.start();
    }
    const auto release = qScopeGuard([shared] {
        if (--shared->waiting == 0)
            shared->pulse.stop();
    });
    qint64 counted = stalledMs();
    for (;;) {
        if (done())
            return true;
        const qint64 stalled = stalledMs();
        deadline += stalled - counted;
        counted = stalled;
        if (deadline.hasExpired()) {
            // Bytes that came in time count even if the program was kept from running until the
            // time was up (a busy machine): one pass reads what the port holds, the next runs the
            // receive handler for it. Only then is the wait over.
            processPending();
            processPending();
            return done();
        }
        pumpUntil(deadline);
    }
}

bool LinkWaits::waitUntil(const std::function<bool()> &done, int ms)
{
    return waitUntil(done, QDeadlineTimer(ms, Qt::PreciseTimer));
}

void LinkWaits::Delay_ms(int ms)
{
    waitUntil([] { return false; }, ms);
}

bool LinkWaits::WaitForBytes(int n)
{
    SerialDevice &device = m_device;
    // The driver wakes the program once what is still missing is in (a logger block's 256 bytes
    // come singly at 19200 baud), and the threshold comes down as they arrive, so the last bytes
    // never stay behind in it. As it was once the wait is over.
    const int threshold = device.wakeThreshold();
    // Not after an abort: the link, and the device with it, may be gone by then.
    const auto restore = qScopeGuard([&device, threshold, shared = m_shared] {
        if (!shared->aborted)
            device.setWakeThreshold(threshold);
    });
    return waitUntil(
        [&device, n] {
            const int missing = n - device.InputCount();
            if (missing > 0) {
                device.setWakeThreshold(missing);
                device.listenNow();  // a live answer's reader may have left the port unheard
            }
            return missing <= 0;
        },
        ReplyTimeoutMs);
}

void LinkWaits::DrainInput()
{
    while (m_device.InputCount() != 0) {
        m_device.PurgeInput();
        processPending();
    }
}

void LinkWaits::processPending()
{
    const std::shared_ptr<Shared> shared = m_shared;
    if (shared->aborted)
        throw LinkAborted{};
    QCoreApplication::processEvents();
    if (shared->aborted)
        throw LinkAborted{};
}
