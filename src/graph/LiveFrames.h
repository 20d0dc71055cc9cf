#pragma once

#include "graph/LiveLog.h"
#include "link/LiveFrameSink.h"

#include <QByteArray>

class Channels;
struct AxisRange;

// The live run's frames on the graph side: a record in the log, if one is open, then a point on
// each of the six channels and a slide of the time window. Every frame of the run is also kept
// (the last hour of them), so that the whole run can be shown and saved after it stopped.
class LiveFrames : public LiveFrameSink {
public:
    // An hour at the link's most (about 116 frames a second): 2.5 MB.
    static constexpr qsizetype KeptFrames = 3600 * 120;

    LiveFrames(Channels &channels, AxisRange &time) : m_channels(channels), m_time(time) {}

    LiveLog &log() { return m_log; }
    const LiveLog &log() const { return m_log; }

    bool takeFrame(const std::array<quint8, 6> &frame, QString *error) override;
    void runEnded() override { m_log.close(); }
    QString openLogPath() const override { return m_log.isOpen() ? m_log.path() : QString(); }

    // A new run: the frames kept of the last one go.
    void beginRun();
    // Frames kept of the run, and how many older ones made way for them.
    qsizetype keptFrames() const { return m_run.size() / qsizetype(sizeof(std::array<quint8, 6>)); }
    qsizetype droppedFrames() const { return m_dropped; }
    // The channels hold every kept frame, at the sample numbers they had in the run; the time
    // axis spans them all.
    void showWholeRun();

private:
    Channels &m_channels;
    AxisRange &m_time;
    LiveLog m_log;
    QByteArray m_run;
    qsizetype m_dropped = 0;
};
