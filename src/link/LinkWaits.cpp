#include "link/LinkWaits.h"

#include "link/SerialDevice.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <QTimer>

LinkWaits::LinkWaits(SerialDevice &device) : m_device(device) {}

LinkWaits::~LinkWaits() { *m_aborted = true; }

void LinkWaits::abort() { *m_aborted = true; }

void LinkWaits::pumpUntil(const QDeadlineTimer &deadline)
{
    // Held by value: this object may be gone when processEvents returns.
    const std::shared_ptr<bool> aborted = m_aborted;
    if (*aborted)
        throw LinkAborted{};
    // The timer only wakes the event loop at the deadline; any other event wakes it sooner.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(int(qMax<qint64>(0, deadline.remainingTime())));
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (*aborted)
        throw LinkAborted{};
}

bool LinkWaits::waitUntil(const std::function<bool()> &done, const QDeadlineTimer &deadline)
{
    for (;;) {
        if (done())
            return true;
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
    const auto restore = qScopeGuard([&device, threshold, aborted = m_aborted] {
        if (!*aborted)
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
    const std::shared_ptr<bool> aborted = m_aborted;
    if (*aborted)
        throw LinkAborted{};
    QCoreApplication::processEvents();
    if (*aborted)
        throw LinkAborted{};
}
