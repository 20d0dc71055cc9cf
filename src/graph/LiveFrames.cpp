#include "graph/LiveFrames.h"

#include "graph/Channels.h"

bool LiveFrames::takeFrame(const std::array<quint8, 6> &frame, QString *error)
{
    bool logged = true;
    if (m_log.isOpen() && !m_log.append(frame.data(), error)) {
        m_log.close();  // one message, not one per frame
        logged = false;
    }
    m_channels.appendLive(frame.data(), m_time);
    return logged;
}
