#pragma once

#include <cstdint>
#include <deque>
#include <string_view>

class Faults;
class PtyDevice;
class Trace;

// The serial line as the unit's UART sees it: bytes go out one after another at
// 19200 baud 8N1 (or as fast as the pseudo-terminal takes them), and received
// bytes are handed on at the rate they would have taken on the wire.
class Wire {
public:
    static constexpr double ByteTime = 10.0 / 19200.0;  // start, 8 data, stop bit

    Wire(PtyDevice &device, Trace &trace, Faults &faults, bool pace);

    void send(std::string_view text);
    void send(const uint8_t *data, size_t size);
    bool sending() const { return !m_out.empty(); }
    size_t pending() const { return m_out.size(); }

    // Reads what the pseudo-terminal holds. False when the line is gone.
    bool receive(double now);
    // Hands on each received byte whose time has come.
    template <class F> void deliver(double now, F &&onByte)
    {
        while (!m_in.empty() && m_in.front().due <= now) {
            const uint8_t b = m_in.front().value;
            m_in.pop_front();
            onByte(b);
        }
    }
    // Writes each byte whose time has come, as far as the pseudo-terminal takes them.
    void transmit(double now);

    // The earliest moment something is due here, or a huge value.
    double nextDue() const;
    // True while the pseudo-terminal's buffer is full: wait until it is writable.
    bool blocked() const { return m_blocked; }

private:
    struct Incoming {
        double due;
        uint8_t value;
    };
    bool writeOne(uint8_t b, double now);
    bool nextByte(uint8_t &b);  // true when it is an injected one

    PtyDevice &m_device;
    Trace &m_trace;
    Faults &m_faults;
    const bool m_pace;
    std::deque<uint8_t> m_out;
    std::deque<Incoming> m_in;
    double m_lineFreeAt = 0;  // when the next byte out may start
    bool m_idle = true;
    double m_nextIn = 0;
    bool m_blocked = false;
    int m_garbagePending = -1;  // a garbage byte chosen but not yet written
};
