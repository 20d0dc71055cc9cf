#include "graph/Channels.h"

namespace {
constexpr quint32 rgb(int r, int g, int b) { return quint32(r << 16 | g << 8 | b); }
}  // namespace

const std::array<TraceInfo, TraceCount> TraceTable{{
    {Trace::RPM, "Series1", "RPM", ValueAxis::Right, rgb(0, 0, 255)},
    {Trace::WheelSpeedFL, "Series2", "WheelSpeedFL", ValueAxis::Left, rgb(255, 128, 128)},
    {Trace::WheelSpeedFR, "Series3", "WheelSpeedFR", ValueAxis::Left, rgb(128, 255, 0)},
    {Trace::WheelSpeedRL, "Series4", "WheelSpeedRL", ValueAxis::Left, rgb(255, 0, 0)},
    {Trace::WheelSpeedRR, "Series5", "WheelSpeedRR", ValueAxis::Left, rgb(0, 128, 0)},
    {Trace::CutLevel, "Series6", "CutLevel", ValueAxis::CutLevel, rgb(255, 0, 128)},
    {Trace::Blank, "Series7", "Blank", ValueAxis::Left, rgb(255, 255, 0)},
}};

void Channels::clearSix()
{
    for (Trace t : SixChannels)
        (*this)[t].clear();
}

void Channels::appendRecord(double x, const uchar *record)
{
    for (int b = 0; b < RecordSize; ++b)
        (*this)[RecordLayout[size_t(b)].trace].append(x, record[b] * RecordLayout[size_t(b)].scale);
}

void Channels::assignRecords(double firstX, const uchar *records, qsizetype n, qsizetype stride)
{
    for (int b = 0; b < RecordSize; ++b)
        (*this)[RecordLayout[size_t(b)].trace].assignBytes(firstX, records + b, n, stride,
                                                           RecordLayout[size_t(b)].scale);
}

void Channels::removeFirstOfSix()
{
    for (Trace t : SixChannels)
        (*this)[t].removeFirst();
}

void Channels::appendLive(const uchar *record, AxisRange &time)
{
    for (int b = 0; b < RecordSize; ++b) {
        Channel &c = (*this)[RecordLayout[size_t(b)].trace];
        c.append(double(c.count()) + time.min, record[b] * RecordLayout[size_t(b)].scale);
    }
    const double n = double((*this)[Trace::RPM].count());
    if (n > time.width() || time.min > 0) {
        removeFirstOfSix();
        time = {time.min + 1, time.max + 1};
    }
}

quint64 Channels::revision() const
{
    quint64 sum = 0;
    for (const Channel &c : m_traces)
        sum += c.revision();
    return sum;
}

qsizetype Channels::memoryBytes() const
{
    qsizetype bytes = sizeof(*this);
    for (const Channel &c : m_traces)
        bytes += c.memoryBytes();
    return bytes;
}
