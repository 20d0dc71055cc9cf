#pragma once

#include <QString>
#include <QtGlobal>

#include <array>

// Where the live poll puts each frame it takes. The graph side draws and logs it; the link knows
// no chart.
class LiveFrameSink {
public:
    virtual ~LiveFrameSink() = default;
    // One frame as the unit sent it. False (with *error) when the log could not take it: the log
    // is then closed and the frame is still drawn.
    virtual bool takeFrame(const std::array<quint8, 6> &frame, QString *error) = 0;
    // The run is over: what was kept open for it closes.
    virtual void runEnded() = 0;
    // The file the run is being logged to; empty when it is logged nowhere.
    virtual QString openLogPath() const { return {}; }
};
