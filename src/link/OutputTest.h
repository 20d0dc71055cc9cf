#pragma once

#include <QString>
#include <QStringList>

#include <span>

class CommandSequences;
class LinkHost;
class LinkWaits;
class SerialDevice;
struct LinkState;

// The misfire test: the unit cuts sparks in the chosen pattern for the chosen time, so the wiring
// can be checked at the car. One implementation for the "Test" page, tractionctl and the tests.
class OutputTest {
public:
    struct TypeItem {
        const char *text;
        char command;
    };
    struct TimeItem {
        const char *text;
        int ms;
    };
    // The page's lists, in their order; an index of -1 is "none selected".
    static std::span<const TypeItem> types();
    static std::span<const TimeItem> times();
    static QStringList typeTexts();
    static QStringList timeTexts();
    static int typeIndex(const QString &text);  // -1 when it is not in the list
    static int timeIndex(const QString &text);

    static constexpr int NoTimeSelectedMs = 1000;
    static constexpr int ProgressMaximum = 10;

    OutputTest(LinkState &state, SerialDevice &device, LinkWaits &waits, LinkHost &host, CommandSequences &sequences);

    // The whole action, lock to unlock; true when the unit showed its diagnostic screen throughout.
    bool Test_CMiss_Send(int typeIndex, int timeIndex);

private:
    bool run(int typeIndex, int timeIndex);
    // '0' and the time the unit has to show its diagnostic menu again.
    void endTest();

    LinkState &m_state;
    SerialDevice &m_device;
    LinkWaits &m_waits;
    LinkHost &m_host;
    CommandSequences &m_sequences;
};
