#include "link/LivePoll.h"

#include <QCoreApplication>

LivePoll::LivePoll(LiveFrameSink &sink, QObject *parent) : QObject(parent), m_sink(sink)
{
    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timer1.setInterval(PollIntervalMs);
    // Not the event loop's timer: it rounds to whole ms and fires up to a ms late, and at 5 ms a
    // frame that is the frame rate lost.
    connect(&m_timer1, &LineTimer::timeout, this, &LivePoll::Timer1Timer);
    m_lostTimer.setSingleShot(true);
    m_lostTimer.setInterval(LostFrameMs);
    m_lostTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_lostTimer, &QTimer::timeout, this, &LivePoll::noFrame);
}

void LivePoll::drain()
{
    if (m_drain)
        m_drain();
}

void LivePoll::start()
{
    m_frames = m_lost = m_requests = 0;
    m_lastFrameNs = 0;
    m_clock.start();
    emit framesLostChanged(0);
    m_active = true;
    drain();
    m_timer1.start();
}

void LivePoll::stop()
{
    m_lostTimer.stop();
    while (m_timer1.isActive()) {
        m_timer1.stop();
        drain();
        QCoreApplication::processEvents();
    }
    m_lostTimer.stop();  // a tick inside the loop may have asked once more
    // Asked before the sink closes its log: a run that logged frames is kept by whoever listens.
    const QString logPath = m_active && m_frames > 0 ? m_sink.openLogPath() : QString();
    m_active = false;
    m_sink.runEnded();
    if (!logPath.isEmpty())
        emit runLogged(logPath, secondsPerFrame());
}

void LivePoll::pause()
{
    m_timer1.stop();
    m_lostTimer.stop();
}

void LivePoll::resume()
{
    drain();
    m_timer1.start();
}

void LivePoll::Timer1Timer()
{
    m_timer1.stop();
    if (!m_active || !m_send)
        return;
    // The last answer was complete, so whatever waits now answers nothing: the tail of a frame
    // that came with a stray byte. Left there, it would shift every frame after it.
    drain();
    if (!m_active || m_timer1.isActive() || !m_send(Request))
        return;  // a closed port takes nothing, and no answer can be missing
    ++m_requests;
    m_lostTimer.start();
    emit requestSent();
}

void LivePoll::noFrame()
{
    if (!m_active)
        return;
    ++m_lost;
    emit framesLostChanged(m_lost);
    // what did arrive is part of no frame we can place
    drain();
    if (m_active && !m_timer1.isActive() && !m_lostTimer.isActive())
        Timer1Timer();
}

bool LivePoll::frame(const std::array<quint8, 6> &frame, QString *error)
{
    const bool kept = m_sink.takeFrame(frame, error);
    ++m_frames;
    if (m_active)
        m_lastFrameNs = m_clock.nsecsElapsed();
    m_lostTimer.stop();
    if (m_active && !m_timer1.isActive())
        m_timer1.start();
    emit frameAdded();
    return kept;
}

void LivePoll::textSkipped()
{
    m_lostTimer.stop();
    if (m_active && !m_timer1.isActive())
        m_timer1.start();
}
