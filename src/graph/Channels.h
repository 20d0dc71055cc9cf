#pragma once

#include "graph/AxisRange.h"
#include "graph/Channel.h"

#include <QtGlobal>
#include <QString>

#include <array>

// The graph window's seven traces: the six channels the unit measures and the spare Blank.
// Slip is derived from the wheels and drawn by the window only: Channels holds no Slip.
enum class Trace { RPM, WheelSpeedFL, WheelSpeedFR, WheelSpeedRL, WheelSpeedRR, CutLevel, Blank, Slip };
inline constexpr int TraceCount = 7;
inline constexpr int WindowTraceCount = 8;  // the seven and Slip

enum class ValueAxis { Left, Right, CutLevel };

struct TraceInfo {
    Trace trace;
    const char *series;  // the trace's object name
    const char *title;   // the channel's name throughout the system
    ValueAxis axis;
    quint32 colour;  // initial colour, 0xRRGGBB
};
extern const std::array<TraceInfo, TraceCount> TraceTable;
inline const TraceInfo &traceInfo(Trace t) { return TraceTable[size_t(t)]; }

// The six channels in the order they are emptied (Blank is never emptied with them).
inline constexpr std::array<Trace, 6> SixChannels{Trace::RPM,          Trace::WheelSpeedFL, Trace::WheelSpeedFR,
                                                  Trace::WheelSpeedRL, Trace::WheelSpeedRR, Trace::CutLevel};

// A sample as the unit sends it (live frame, logger memory, DOS graph file record):
// byte 0-3 wheel speeds CH1-CH4, byte 4 engine speed / 35, byte 5 cut level.
struct RecordField {
    Trace trace;
    double scale;
};
inline constexpr int RecordSize = 6;
inline constexpr int RpmUnit = 35;
inline constexpr std::array<RecordField, RecordSize> RecordLayout{{{Trace::WheelSpeedFL, 1},
                                                                   {Trace::WheelSpeedFR, 1},
                                                                   {Trace::WheelSpeedRL, 1},
                                                                   {Trace::WheelSpeedRR, 1},
                                                                   {Trace::RPM, RpmUnit},
                                                                   {Trace::CutLevel, 1}}};

// A record's value as the readouts show it: the byte times its scale (RPM in rev/min).
inline int recordValue(const uchar *record, int b) { return record[b] * int(RecordLayout[size_t(b)].scale); }

class Channels {
public:
    Channel &operator[](Trace t)
    {
        Q_ASSERT(t != Trace::Slip);
        return m_traces[size_t(t)];
    }
    const Channel &operator[](Trace t) const
    {
        Q_ASSERT(t != Trace::Slip);
        return m_traces[size_t(t)];
    }

    // Empties the six channels; Blank keeps its points.
    void clearSix();
    // One sample on each of the six channels at time x (the live path).
    void appendRecord(double x, const uchar *record);
    // Replaces the six channels with n records (stride bytes apart) at X = firstX, firstX + 1, ...
    // The upload and the DOS graph file fill 21845 or millions of samples through here.
    void assignRecords(double firstX, const uchar *records, qsizetype n, qsizetype stride = RecordSize);
    // The live window: drops each of the six channels' oldest point.
    void removeFirstOfSix();
    // One live sample: a point on each channel just after its last (X = its count + the time
    // axis minimum); once the window is full the oldest points go and the axis moves on by one.
    // Both ends move together, so no width, however small, turns the axis inside out.
    void appendLive(const uchar *record, AxisRange &time);

    quint64 revision() const;
    qsizetype memoryBytes() const;

private:
    std::array<Channel, TraceCount> m_traces;
};
