#include "Wire.h"

#include "Faults.h"
#include "PtyDevice.h"
#include "Trace.h"

#include <algorithm>
#include <cerrno>
#include <limits>

Wire::Wire(PtyDevice &device, Trace &trace, Faults &faults, bool pace)
    : m_device(device), m_trace(trace), m_faults(faults), m_pace(pace)
{
}

void Wire::send(std::string_view text) { m_out.insert(m_out.end(), text.begin(), text.end()); }

void Wire::send(const uint8_t *data, size_t size) { m_out.insert(m_out.end(), data, data + size); }

bool Wire::receive(double now)
{
    uint8_t buf[4096];
    for (;;) {
        const ssize_t n = m_device.read(buf, sizeof buf);
        if (n > 0) {
            for (ssize_t i = 0; i < n; ++i) {
                m_trace.byte(now, true, buf[i]);
                double due = now;
                if (m_pace) {
                    due = std::max(now, m_nextIn);
                    m_nextIn = due + ByteTime;
                }
                m_in.push_back({due, buf[i]});
            }
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            return true;
        // EIO only means no one but us holds the slave side; we do, so it is real.
        return n < 0 && errno == EIO;
    }
}

bool Wire::writeOne(uint8_t b, double now)
{
    const ssize_t n = m_device.write(&b, 1);
    if (n != 1) {
        m_blocked = true;
        return false;
    }
    m_trace.byte(now, false, b);
    return true;
}

bool Wire::nextByte(uint8_t &b)
{
    if (m_garbagePending < 0 && m_faults.injectGarbage())
        m_garbagePending = m_faults.garbageByte();
    b = m_garbagePending >= 0 ? uint8_t(m_garbagePending) : m_out.front();
    return m_garbagePending >= 0;
}

void Wire::transmit(double now)
{
    m_blocked = false;
    if (m_out.empty())
        return;
    if (m_idle) {
        // The line was idle: this byte's start bit goes out now, not in the past.
        m_lineFreeAt = std::max(m_lineFreeAt, now);
        m_idle = false;
    }
    // A byte is handed over when its stop bit is done, as a real receiver gets it.
    while (!m_out.empty() && (!m_pace || m_lineFreeAt + ByteTime <= now)) {
        uint8_t b;
        const bool garbage = nextByte(b);
        if (!writeOne(b, m_pace ? m_lineFreeAt + ByteTime : now))
            return;
        if (garbage)
            m_garbagePending = -1;
        else
            m_out.pop_front();
        m_lineFreeAt += ByteTime;
    }
    if (m_out.empty())
        m_idle = true;
}

double Wire::nextDue() const
{
    double due = std::numeric_limits<double>::max();
    if (!m_in.empty())
        due = m_in.front().due;
    if (!m_out.empty() && !m_blocked)
        due = std::min(due, m_pace && !m_idle ? m_lineFreeAt + ByteTime : 0.0);
    return due;
}
