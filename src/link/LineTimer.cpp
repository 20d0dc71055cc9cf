#include "link/LineTimer.h"

#include <QSocketNotifier>

#ifdef Q_OS_LINUX
#include <sys/timerfd.h>
#include <unistd.h>
#endif

LineTimer::LineTimer(QObject *parent) : QObject(parent)
{
    m_fallback.setSingleShot(true);
    m_fallback.setTimerType(Qt::PreciseTimer);
    connect(&m_fallback, &QTimer::timeout, this, &LineTimer::fired);
#ifdef Q_OS_LINUX
    m_fd = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd >= 0) {
        m_notifier = new QSocketNotifier(qintptr(m_fd), QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] {
            quint64 expirations = 0;
            if (::read(m_fd, &expirations, sizeof expirations) == sizeof expirations)
                fired();
        });
    }
#endif
}

LineTimer::~LineTimer()
{
#ifdef Q_OS_LINUX
    delete m_notifier;
    if (m_fd >= 0)
        ::close(m_fd);
#endif
}

void LineTimer::start(qint64 us)
{
    us = qMax<qint64>(us, 1);
    m_active = true;
#ifdef Q_OS_LINUX
    if (m_fd >= 0) {
        const itimerspec once{{0, 0}, {time_t(us / 1'000'000), long(us % 1'000'000) * 1000}};
        if (::timerfd_settime(m_fd, 0, &once, nullptr) == 0)
            return;
    }
#endif
    m_fallback.start(int((us + 999) / 1000));
}

void LineTimer::stop()
{
    if (!m_active)
        return;
    m_active = false;
    m_fallback.stop();
#ifdef Q_OS_LINUX
    if (m_fd >= 0) {
        const itimerspec never{};
        ::timerfd_settime(m_fd, 0, &never, nullptr);
    }
#endif
}

void LineTimer::fired()
{
    if (!m_active)
        return;  // stopped after it had fired, before the event loop told us
    m_active = false;
    emit timeout();
}
