#pragma once

#include <QObject>
#include <QTimer>

class QSocketNotifier;

// A one-shot timer to the microsecond, for waits as long as a few bytes on the line: the event
// loop's own timers count whole milliseconds, and a byte at 19200 baud takes half of one. On
// Linux it is a timerfd the event loop listens to all along, so starting it switches nothing in
// the loop; elsewhere an ordinary timer rounded up to the millisecond.
class LineTimer : public QObject {
    Q_OBJECT
public:
    explicit LineTimer(QObject *parent = nullptr);
    ~LineTimer() override;

    void start(qint64 us);
    // With the interval set in whole ms, as an ordinary timer's
    void setInterval(int ms) { m_intervalMs = ms; }
    int interval() const { return m_intervalMs; }
    void start() { start(qint64(m_intervalMs) * 1000); }
    void stop();
    bool isActive() const { return m_active; }

signals:
    void timeout();

private:
    void fired();

    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    QTimer m_fallback;
    bool m_active = false;
    int m_intervalMs = 0;
};
