#include "link/MenuSteps.h"

#include "link/CommandSequences.h"
#include "link/LinkHost.h"
#include "link/LinkState.h"
#include "link/LinkWaits.h"
#include "link/SerialDevice.h"

MenuSteps::MenuSteps(LinkState &state, SerialDevice &device, LinkWaits &waits, LinkHost &host)
    : m_state(state), m_device(device), m_waits(waits), m_host(host)
{
}

void MenuSteps::expect(quint8 mode, bool &seen)
{
    m_state.LinkMode = mode;
    seen = false;
    m_state.ReplyWindow.fill(0);
    m_host.stepProgress(1);
}

bool MenuSteps::step(quint8 mode, bool &seen, std::optional<quint8> command)
{
    expect(mode, seen);
    if (command)
        m_device.SendChar(*command);
    m_waits.Delay_ms(ScreenWaitMs);
    return seen;
}

void MenuSteps::close(CommandSequences &sequences, bool ok, const QString &okText, const QString &errorText)
{
    sequences.RootMenu();
    m_host.unlockMenus();
    m_host.showStatus(ok ? okText : errorText, !ok);
    m_host.setProgressPosition(m_host.progressMaximum());
    m_host.startMessageTimer();
    m_waits.DrainInput();
}
