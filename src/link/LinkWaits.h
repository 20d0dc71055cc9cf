#pragma once

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTimer>

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
// Time in which the program was not run does not count toward a wait: a real unit's answer waits
// in the port meanwhile, but a machine stopped by its host (or too busy to run anything) stops a
// simulated unit beside the program as well, and the unit is owed the time it lost. While a wait
// is on, a pulse that should come every PulseMs measures how late it comes.
//
// The two primitives every wait is made of are virtual only so that the fuzz targets can run the
// receive handler on a clock of their own, many thousand times a second; the program never
// replaces them.
class LinkWaits {
public:
    explicit LinkWaits(SerialDevice &device);
    virtual ~LinkWaits();

    static constexpr int ReplyTimeoutMs = 1250;
    static constexpr int PulseMs = 50;
    static constexpr int PulseSlackMs = 15;  // lateness a busy machine has anyway, not counted

    void Delay_ms(int ms);
    // True when n bytes are waiting within 1250 ms; bytes already waiting give true at once.
    bool WaitForBytes(int n);
    void DrainInput();
    // One pass of pending events, without waiting for any.
    virtual void processPending();
    // Pumps events until done() or the time runs out; true when done() became true.
    virtual bool waitUntil(const std::function<bool()> &done, int ms);
    bool waitUntil(const std::function<bool()> &done, QDeadlineTimer deadline);

    // Ends every running wait by throwing LinkAborted in it; later waits throw at once.
    void abort();
    bool aborted() const { return m_shared->aborted; }

private:
    // Milliseconds the program was not run while waits were on, since this object was made.
    qint64 stalledMs() const;
    // What a wait still touches after the link is gone: it may be destroyed inside a wait.
    struct Shared {
        bool aborted = false;
        int waiting = 0;  // waits on, nested ones included
        QTimer pulse;
        QElapsedTimer sincePulse;
        qint64 stalledMs = 0;
    };
    void pumpUntil(const QDeadlineTimer &deadline);

    SerialDevice &m_device;
    std::shared_ptr<Shared> m_shared = std::make_shared<Shared>();
};
