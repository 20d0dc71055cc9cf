#pragma once

#include "link/LineTimer.h"
#include "link/LiveFrameSink.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <array>
#include <functional>

// The real-time poll and the frame path behind it: one 'M' at a time, sent 5 ms after the last
// frame was handled; each frame goes to the sink (the graph side logs and draws it). The graph
// window, tractionctl monitor and the tests all run this one.
//
// A frame that does not come (the unit missed the 'M', or its answer was cut short) would leave
// the poll waiting for ever: when none has completed LostFrameMs after an 'M', the input is
// drained, the frame counted lost and the next 'M' sent. Stray bytes left after a frame are
// drained before the next 'M', so one damaged answer does not shift every frame after it.
class LivePoll : public QObject {
    Q_OBJECT
public:
    static constexpr int PollIntervalMs = 5;
    static constexpr int LostFrameMs = 250;
    static constexpr quint8 Request = 'M';

    explicit LivePoll(LiveFrameSink &sink, QObject *parent = nullptr);

    // The link: one byte out (false when no port is open) and the input discarded. Without them
    // nothing is sent and nothing drained.
    void setSendChar(std::function<bool(quint8)> send) { m_send = std::move(send); }
    void setDrainInput(std::function<void()> drain) { m_drain = std::move(drain); }
    const std::function<void()> &drainInput() const { return m_drain; }

    LineTimer *Timer1() { return &m_timer1; }

    // A run starts: counts from zero, the input drained, Timer1 started. The caller has readied
    // the sink (channels emptied, width set, log opened if one is wanted).
    void start();
    // A run ends: stops the poll (a frame handled meanwhile restarts Timer1, so until it stays
    // stopped), then tells the sink the run ended. A request still outstanding is answered later: that frame
    // is drawn but neither logged nor followed by another 'M'.
    void stop();
    bool active() const { return m_active; }

    // A setup dialog holds the poll while it is shown; its closing drains the input and asks again.
    void pause();
    void resume();

    // The frame path once a frame has been read. False when the sink could not keep all of it
    // (*error says why); the run goes on.
    bool frame(const std::array<quint8, 6> &frame, QString *error);
    // The unit answered with one of its text messages, read whole: ask again.
    void textSkipped();

    quint64 framesReceived() const { return m_frames; }
    quint64 framesLost() const { return m_lost; }
    quint64 requestsSent() const { return m_requests; }
    // The run's own pace: the time from its start to its last frame over the frames it took
    // (0 before the first frame). The unit sends no clock of its own.
    double secondsPerFrame() const { return m_frames ? double(m_lastFrameNs) / 1e9 / double(m_frames) : 0; }

signals:
    void frameAdded();
    void requestSent();
    void framesLostChanged(quint64 lost);
    // A run that was logged has ended and its file is closed: the runs library keeps it.
    void runLogged(const QString &path, double secondsPerFrame);

private:
    void Timer1Timer();
    void noFrame();
    void drain();

    LiveFrameSink &m_sink;
    LineTimer m_timer1;
    QTimer m_lostTimer;
    std::function<bool(quint8)> m_send;
    std::function<void()> m_drain;
    bool m_active = false;
    quint64 m_frames = 0;
    quint64 m_lost = 0;
    quint64 m_requests = 0;
    QElapsedTimer m_clock;
    qint64 m_lastFrameNs = 0;
};
