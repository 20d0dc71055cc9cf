#pragma once

#include <QDeadlineTimer>

#include <functional>
#include <memory>

class SerialDevice;

// Thrown out of a wait when the link was shut down or destroyed while it waited, so that the code
// around the wait unwinds without touching what is gone. Caught where the wait was entered from
// our own code (the sequence's top, the receive handler's top).
struct LinkAborted {};

// The waits of the link. Each blocks in the event loop (never spins), lasts its stated time at
// least, and ends once what arrived within that time has been handled; the receive handler runs
// nested inside them.
//
// The two primitives every wait is made of are virtual only so that the fuzz targets can run the
// receive handler on a clock of their own, many thousand times a second; the program never
// replaces them.
class LinkWaits {
public:
    explicit LinkWaits(SerialDevice &device);
    virtual ~LinkWaits();

    static constexpr int ReplyTimeoutMs = 1250;

    void Delay_ms(int ms);
    // True when n bytes are waiting within 1250 ms; bytes already waiting give true at once.
    bool WaitForBytes(int n);
    void DrainInput();
    // One pass of pending events, without waiting for any.
    virtual void processPending();
    // Pumps events until done() or the time runs out; true when done() became true.
    virtual bool waitUntil(const std::function<bool()> &done, int ms);
    bool waitUntil(const std::function<bool()> &done, const QDeadlineTimer &deadline);

    // Ends every running wait by throwing LinkAborted in it; later waits throw at once.
    void abort();
    bool aborted() const { return *m_aborted; }

private:
    void pumpUntil(const QDeadlineTimer &deadline);

    SerialDevice &m_device;
    std::shared_ptr<bool> m_aborted = std::make_shared<bool>(false);
};
