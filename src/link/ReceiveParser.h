#pragma once

class LinkHost;
class LinkWaits;
class SerialDevice;
struct LinkState;

// Comm1RxChar: everything the unit sends passes through here. The terminal and the graph take
// precedence; otherwise LinkMode says whether the bytes are an image, a version, a log block or
// menu text to search for the phrase a sequence waits for.
class ReceiveParser {
public:
    ReceiveParser(LinkState &state, SerialDevice &device, LinkWaits &waits, LinkHost &host);

    void Comm1RxChar(int count);

private:
    void terminalText();
    void textWait(const char *phrase, bool &seen);
    void settingsImage();
    void firmwareVersion();
    void logBlock();
    void realTimeFrame();

    LinkState &m_state;
    SerialDevice &m_device;
    LinkWaits &m_waits;
    LinkHost &m_host;
};
