#include "link/ExchangeGuard.h"

namespace {

constexpr ExchangeDoor Doors[] = {
    {"ReadFromTraction1", Exchange::Read, "Options menu and tool bar: Read Settings"},
    {"WriteToTraction1", Exchange::Write, "Options menu and tool bar: Write Settings (and its verify)"},
    {"CompareWithTraction1", Exchange::Compare, "Options menu: Compare with Unit"},
    {"TerminalClose1", Exchange::Read, "View menu and tool bar: leaving the terminal reads the settings"},
    {"DL_UploadBtn", Exchange::Upload, "\"Data logging \" page: Read"},
    {"DL_Clear_Ram", Exchange::Clear, "\"Data logging \" page: Clear ram"},
    {"Test_CMiss_Send", Exchange::OutputTest, "\"Test\" page: Send"},
    {"RealTimeStart3", Exchange::LiveRun, "graph window: Real Time Start"},
    {"RecievedData", Exchange::None, "terminal: a key typed is sent to the unit"},
    {"PortMenu", Exchange::None, "Options menu, COM Ports: another port closes this one"},
    {"PortWatch", Exchange::None, "the watch that reopens a lost port"},
    {"Form1", Exchange::None, "closing the main window ends the exchange first"},
    {"tractionctl", Exchange::None, "each command of the tool, one exchange per run"},
};

}  // namespace

const char *exchangeName(Exchange exchange)
{
    switch (exchange) {
    case Exchange::None: return "none";
    case Exchange::Version: return "version query";
    case Exchange::Read: return "Read Settings";
    case Exchange::Write: return "Write Settings";
    case Exchange::Compare: return "Compare with Unit";
    case Exchange::Upload: return "logger upload";
    case Exchange::Clear: return "Clear ram";
    case Exchange::OutputTest: return "output test";
    case Exchange::LiveRun: return "live run";
    }
    return "?";
}

std::span<const ExchangeDoor> ExchangeGuard::doors() { return Doors; }

bool ExchangeGuard::begin(Exchange exchange)
{
    if (!free(exchange))
        return false;
    m_running = exchange;
    emit runningChanged(true);
    return true;
}

void ExchangeGuard::end()
{
    if (m_running == Exchange::None)
        return;
    m_running = Exchange::None;
    emit runningChanged(false);
}

bool ExchangeGuard::free(Exchange knocking)
{
    if (m_running == Exchange::None)
        return true;
    ++m_refusals;
    emit refused(knocking, m_running);
    return false;
}
