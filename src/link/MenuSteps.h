#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

class CommandSequences;
class LinkHost;
class LinkWaits;
class SerialDevice;
struct LinkState;

// A walk through the unit's menu screens, one key at a time, as the memory clear and the output
// test take it: expect a screen, send the key that should bring it, give the unit 250 ms to show it.
class MenuSteps {
public:
    MenuSteps(LinkState &state, SerialDevice &device, LinkWaits &waits, LinkHost &host);

    static constexpr int ScreenWaitMs = 250;

    // The receive handler looks for the screen of 'mode' from now on: the flag and ReplyWindow are
    // cleared. One progress step.
    void expect(quint8 mode, bool &seen);
    // expect(), send 'command' (nothing when there is none) and wait; true when the screen showed.
    bool step(quint8 mode, bool &seen, std::optional<quint8> command);
    // The end of a walk, whatever became of it: back to the root, unlocked, the closing message,
    // the bar full, the message timer running, and what the unit still says discarded.
    void close(CommandSequences &sequences, bool ok, const QString &okText, const QString &errorText);

private:
    LinkState &m_state;
    SerialDevice &m_device;
    LinkWaits &m_waits;
    LinkHost &m_host;
};
