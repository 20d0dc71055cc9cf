#pragma once

#include "link/CommandSequences.h"
#include "link/ExchangeGuard.h"
#include "link/LinkState.h"
#include "link/LinkWaits.h"
#include "link/LoggerSequences.h"
#include "link/OutputTest.h"
#include "link/ReceiveParser.h"
#include "link/SerialDevice.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

class LinkHost;

// The link to the unit as one object: the port (Comm1), the exchange state, the receive handler
// and the command sequences, all talking to one host.
class TractionLink : public QObject {
    Q_OBJECT
public:
    explicit TractionLink(LinkHost &host, QObject *parent = nullptr);
    ~TractionLink() override;

    SerialDevice &Comm1() { return m_comm1; }
    LinkState &state() { return m_state; }
    LinkWaits &waits() { return m_waits; }
    CommandSequences &sequences() { return m_sequences; }
    LoggerSequences &logger() { return m_logger; }

    // One exchange at a time: each of these starts through the guard and, while another exchange
    // runs, sends nothing and returns false (guard().refused() says so).
    ExchangeGuard &guard() { return m_guard; }
    bool ReadFromTraction()
    {
        return guarded(Exchange::Read, [this] { return m_sequences.ReadFromTraction(); });
    }
    bool WriteToTraction()
    {
        return guarded(Exchange::Write, [this] { return m_sequences.WriteToTraction(); });
    }
    bool TractionFirmwareVersion()
    {
        return guarded(Exchange::Version, [this] { return m_sequences.TractionFirmwareVersion(); });
    }
    bool ReadUnitImage(SettingsImage &image)
    {
        return guarded(Exchange::Compare, [this, &image] { return m_sequences.ReadUnitImage(image); });
    }
    // The misfire test by the indexes of the "Test" page's lists (-1: none selected).
    bool Test_CMiss_Send(int typeIndex, int timeIndex)
    {
        return guarded(Exchange::OutputTest,
                       [this, typeIndex, timeIndex] { return m_outputTest.Test_CMiss_Send(typeIndex, timeIndex); });
    }
    bool UploadLog()
    {
        return guarded(Exchange::Upload, [this] { return m_logger.UploadLog(); });
    }
    bool ClearLog()
    {
        return guarded(Exchange::Clear, [this] { return m_logger.ClearLog(); });
    }
    // The live run holds the line from its start to its stop; it runs in the graph window's timers,
    // not in one call. Ending is safe to call when no run holds it.
    bool beginLiveRun();
    void endLiveRun();
    // The live poll's request, its answer awaited without a wake-up for each of its bytes: false
    // when no port took it.
    bool sendLiveRequest(quint8 request);

    // A door may be knocked while the receive handler runs (it pumps events): an exchange started
    // there would never see a reply, as the device holds its notifications until the handler
    // returns. The door's work runs now, or once the handler has returned; meanwhile the guard
    // counts it as running, so a second knock is refused. False when refused.
    bool whenFree(Exchange exchange, std::function<void()> work);

    // Ends the running exchange the way the unit expects: long waits end early, the output test
    // sends its '0', and the unit is taken back to its menu root. After hardBoundMs (when not
    // negative) every wait is cut off for good: the program is closing.
    void requestStop(int hardBoundMs = -1);
    bool stopRequested() const { return m_state.StopRequested; }

    // Stops the traffic and closes the port for good: the program is closing. Any exchange still
    // waiting unwinds without touching its host.
    void shutdown();

signals:
    void closedForGood();
    // A stop was asked for while the live run holds the line: its window stops it.
    void liveRunStopRequested();

private:
    bool guarded(Exchange exchange, const std::function<bool()> &body);
    void exchangeEnded();

    SerialDevice m_comm1;
    LinkState m_state;
    LinkWaits m_waits;
    ReceiveParser m_parser;
    CommandSequences m_sequences;
    OutputTest m_outputTest;
    LoggerSequences m_logger;
    ExchangeGuard m_guard;
    QTimer m_stopBound;
    bool m_deferred = false;  // a door's work waits for the receive handler to return
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
