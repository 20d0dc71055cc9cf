#include "link/OutputTest.h"

#include "link/CommandSequences.h"
#include "link/LinkHost.h"
#include "link/LinkState.h"
#include "link/LinkWaits.h"
#include "link/MenuSteps.h"
#include "link/SerialDevice.h"
#include "link/StatusMessages.h"

#include <optional>

namespace {

constexpr OutputTest::TypeItem Types[] = {
    {"Sequence 1 Misfire", '1'}, {"Sequence 2 Misfire", '2'}, {"Sequence 3 Misfire", '3'},
    {"Integral Settings", 'I'},  {"Soft Cut", 'S'},           {"Hard Cut", 'H'},
};
constexpr OutputTest::TimeItem Times[] = {{"0.5", 500}, {"1.0", 1000}, {"5.0", 5000}, {"10.0", 10000}};

constexpr char EndTest = '0';

template <typename Item> QStringList textsOf(std::span<const Item> items)
{
    QStringList texts;
    for (const Item &item : items)
        texts << QString::fromLatin1(item.text);
    return texts;
}

}  // namespace

std::span<const OutputTest::TypeItem> OutputTest::types() { return Types; }
std::span<const OutputTest::TimeItem> OutputTest::times() { return Times; }
QStringList OutputTest::typeTexts() { return textsOf(types()); }
QStringList OutputTest::timeTexts() { return textsOf(times()); }
int OutputTest::typeIndex(const QString &text) { return int(typeTexts().indexOf(text)); }
int OutputTest::timeIndex(const QString &text) { return int(timeTexts().indexOf(text)); }

OutputTest::OutputTest(LinkState &state, SerialDevice &device, LinkWaits &waits, LinkHost &host,
                       CommandSequences &sequences)
    : m_state(state), m_device(device), m_waits(waits), m_host(host), m_sequences(sequences)
{
}

bool OutputTest::run(int typeIndex, int timeIndex)
{
    LinkState &s = m_state;
    MenuSteps steps(s, m_device, m_waits, m_host);
    s.RxActivity = true;
    // A stop between the menu steps sends no further key: the test has not started.
    if (!steps.step(ModeSetupMenu, s.SetupMenuSeen, 'E') || s.StopRequested ||
        !steps.step(ModeDiagnostic, s.DiagnosticSeen, 'D') || s.StopRequested)
        return false;
    std::optional<quint8> command;
    if (typeIndex >= 0 && typeIndex < int(types().size()))
        command = quint8(types()[typeIndex].command);
    if (!steps.step(ModeDiagnostic, s.DiagnosticSeen, command)) {
        // The test command went out: the unit may be cutting sparks though its screen was missed.
        // '0' is harmless to a unit that never started it (its diagnostic menu shows again).
        if (command)
            endTest();
        return false;
    }

    // The whole time is waited, whatever the unit sends, unless a stop is asked for (the window
    // closing); its diagnostic screen may show at any moment from here until 250 ms after the end.
    steps.expect(ModeDiagnostic, s.DiagnosticSeen);
    const bool timeChosen = timeIndex >= 0 && timeIndex < int(times().size());
    m_waits.waitUntil([&s] { return s.StopRequested; }, timeChosen ? times()[timeIndex].ms : NoTimeSelectedMs);
    m_host.stepProgress(1);
    endTest();
    return s.DiagnosticSeen && !s.StopRequested;
}

void OutputTest::endTest()
{
    m_device.SendChar(EndTest);
    m_waits.Delay_ms(MenuSteps::ScreenWaitMs);
}

bool OutputTest::Test_CMiss_Send(int typeIndex, int timeIndex)
{
    try {
        m_host.stopMessageTimer();
        m_host.lockMenus();
        m_host.showActivity(QLatin1String(StatusMessages::TestStarting));
        m_host.setProgressMaximum(ProgressMaximum);
        m_host.setProgressPosition(0);
        const bool ok = run(typeIndex, timeIndex);
        MenuSteps(m_state, m_device, m_waits, m_host)
            .close(m_sequences, ok, QLatin1String(StatusMessages::TestEnded),
                   QLatin1String(StatusMessages::TestFailed));
        return ok;
    } catch (const LinkAborted &) {
        return false;  // shut down while waiting; the host may be gone
    }
}
