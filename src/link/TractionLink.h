#pragma once

#include "link/CommandSequences.h"
#include "link/LinkState.h"
#include "link/LinkWaits.h"
#include "link/LoggerSequences.h"
#include "link/OutputTest.h"
#include "link/ReceiveParser.h"
#include "link/SerialDevice.h"

#include <QObject>

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

    bool ReadFromTraction() { return m_sequences.ReadFromTraction(); }
    bool WriteToTraction() { return m_sequences.WriteToTraction(); }
    bool TractionFirmwareVersion() { return m_sequences.TractionFirmwareVersion(); }
    bool ReadUnitImage(SettingsImage &image) { return m_sequences.ReadUnitImage(image); }
    // The misfire test by the indexes of the "Test" page's lists (-1: none selected).
    bool Test_CMiss_Send(int typeIndex, int timeIndex) { return m_outputTest.Test_CMiss_Send(typeIndex, timeIndex); }
    bool UploadLog() { return m_logger.UploadLog(); }
    bool ClearLog() { return m_logger.ClearLog(); }

    // Stops the traffic and closes the port for good: the program is closing. Any exchange still
    // waiting unwinds without touching its host.
    void shutdown();

signals:
    void closedForGood();

private:
    SerialDevice m_comm1;
    LinkState m_state;
    LinkWaits m_waits;
    ReceiveParser m_parser;
    CommandSequences m_sequences;
    OutputTest m_outputTest;
    LoggerSequences m_logger;
};
