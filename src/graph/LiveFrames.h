#pragma once

#include "graph/LiveLog.h"
#include "link/LiveFrameSink.h"

class Channels;
struct AxisRange;

// The live run's frames on the graph side: a record in the log, if one is open, then a point on
// each of the six channels and a slide of the time window.
class LiveFrames : public LiveFrameSink {
public:
    LiveFrames(Channels &channels, AxisRange &time) : m_channels(channels), m_time(time) {}

    LiveLog &log() { return m_log; }
    const LiveLog &log() const { return m_log; }

    bool takeFrame(const std::array<quint8, 6> &frame, QString *error) override;
    void runEnded() override { m_log.close(); }
    QString openLogPath() const override { return m_log.isOpen() ? m_log.path() : QString(); }

private:
    Channels &m_channels;
    AxisRange &m_time;
    LiveLog m_log;
};
