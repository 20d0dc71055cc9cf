#include "graph/LiveFrames.h"

#include "graph/Channels.h"

bool LiveFrames::takeFrame(const std::array<quint8, 6> &frame, QString *error)
{
    bool logged = true;
    if (m_log.isOpen() && !m_log.append(frame.data(), error)) {
        m_log.close();  // one message, not one per frame
        logged = false;
    }
    m_run.append(reinterpret_cast<const char *>(frame.data()), RecordSize);
    // The oldest minute goes at once, not a frame at a time: a shift of 2.5 MB per frame would cost
    // more than the frame itself.
    if (const qsizetype over = keptFrames() - KeptFrames; over >= KeptFrames / 60) {
        m_run.remove(0, over * RecordSize);
        m_dropped += over;
    }
    m_channels.appendLive(frame.data(), m_time);
    return logged;
}

void LiveFrames::beginRun()
{
    m_run.clear();
    m_run.squeeze();
    m_dropped = 0;
}

void LiveFrames::showWholeRun()
{
    const qsizetype n = keptFrames();
    m_channels.assignRecords(double(m_dropped), reinterpret_cast<const uchar *>(m_run.constData()), n);
    m_time = AxisRange::rule(double(m_dropped), double(m_dropped + std::max<qsizetype>(n - 1, 1)));
}
