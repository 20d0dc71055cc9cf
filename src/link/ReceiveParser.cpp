#include "link/ReceiveParser.h"

#include "link/LinkHost.h"
#include "link/LinkState.h"
#include "link/LinkWaits.h"
#include "link/SerialDevice.h"
#include "link/TerminalText.h"
#include "settings/SettingsImage.h"

#include <cstring>
#include <string_view>

ReceiveParser::ReceiveParser(LinkState &state, SerialDevice &device, LinkWaits &waits, LinkHost &host)
    : m_state(state), m_device(device), m_waits(waits), m_host(host)
{
}

void ReceiveParser::Comm1RxChar(int count)
{
    Q_UNUSED(count);  // the port itself is asked
    try {
        if (m_host.terminalVisible()) {
            terminalText();
            return;
        }
        if (m_host.realTimeVisible()) {
            realTimeFrame();
            return;
        }
        LinkState &s = m_state;
        switch (s.LinkMode) {
        case ModeSettingsImage: settingsImage(); break;
        case ModeFirmwareVersion: firmwareVersion(); break;
        case ModeRunning: textWait("Running", s.RunningSeen); break;
        case ModeSetupMenu: textWait("SETUP MENU", s.SetupMenuSeen); break;
        case ModeDataLogging: textWait("Data Loggi", s.DataLoggingSeen); break;
        case ModeClearingRam: textWait("earing RAM", s.ClearingRamSeen); break;
        case ModeLogBlocks: logBlock(); break;
        case ModeDiagnostic: textWait("Diagnostic", s.DiagnosticSeen); break;
        case ModeWheelSpeed: textWait("Wheel Spee", s.WheelSpeedSeen); break;
        case ModeUploadedOk: textWait("ploaded ok", s.UploadedOkSeen); break;
        default: break;  // bytes stay queued
        }
    } catch (const LinkAborted &) {
        // The link was shut down during one of our waits; nothing of it may be touched now.
    }
}

void ReceiveParser::terminalText()
{
    const QByteArray shown = repairLineEnds(m_state.TerminalCarry, m_device.ReadText());
    if (!shown.isEmpty())
        m_host.terminalReceive(shown);
    m_waits.processPending();
}

void ReceiveParser::textWait(const char *phrase, bool &seen)
{
    LinkState &s = m_state;
    s.RxActivity = true;
    const std::string_view wanted(phrase);
    while (m_device.InputCount() > 0 && !seen) {
        std::memmove(s.ReplyWindow.data(), s.ReplyWindow.data() + 1, s.ReplyWindow.size() - 1);
        s.ReplyWindow.back() = quint8(m_device.ReadChar());
        const std::string_view window(reinterpret_cast<const char *>(s.ReplyWindow.data()), s.ReplyWindow.size());
        if (window.find(wanted) != std::string_view::npos)
            seen = true;
    }
}

void ReceiveParser::settingsImage()
{
    if (!m_waits.WaitForBytes(SettingsImage::Size)) {
        m_state.ExchangeStatus = ExchangeFailed;
        return;
    }
    m_host.setProgressPosition(0);
    SettingsImage &image = m_state.ImageTarget ? *m_state.ImageTarget : m_host.tractionMemory();
    for (int i = 0; i < SettingsImage::Size; ++i) {
        m_host.stepProgress(1);
        image.setByte(i, quint8(m_device.ReadChar()));
    }
    m_state.ExchangeStatus = ExchangeComplete;
}

void ReceiveParser::firmwareVersion()
{
    if (!m_waits.WaitForBytes(7)) {
        m_state.ExchangeStatus = ExchangeFailed;
        return;
    }
    // Let the rest of a longer version arrive.
    m_waits.Delay_ms(100);
    m_waits.processPending();
    const int n = qMin(m_device.InputCount(), int(m_state.FirmwareVersion.size()));
    // A shorter version than the last one must not keep the last one's tail.
    m_state.FirmwareVersion.fill(0);
    for (int i = 0; i < n; ++i) {
        m_host.stepProgress(10);
        m_state.FirmwareVersion[i] = quint8(m_device.ReadChar());
    }
    m_state.ExchangeStatus = ExchangeComplete;
    m_waits.DrainInput();
}

void ReceiveParser::logBlock()
{
    LinkState &s = m_state;
    if (s.LogBlockCount >= LinkState::LogBlocks)
        return;  // a full image; the rest is not ours to store
    // Bytes that were waiting before this notification are not announced again: every whole
    // block among them is read now, and a part of a block is waited for here. Bytes that come
    // while this runs are announced again after it returns.
    const quint64 arrivals = m_device.events();
    do {
        if (!m_waits.WaitForBytes(LinkState::LogBlockSize)) {
            s.ExchangeStatus = ExchangeFailed;
            return;
        }
        if (s.LinkMode != ModeLogBlocks)
            return;  // the upload was cancelled during the wait
        do {
            char *target = s.LogImage.data() + qsizetype(s.LogBlockCount) * LinkState::LogBlockSize;
            ++s.LogBlockCount;
            for (int i = 0; i < LinkState::LogBlockSize; ++i) {
                m_host.stepProgress(1);
                target[i] = char(m_device.ReadChar());
            }
        } while (s.LogBlockCount < LinkState::LogBlocks && m_device.InputCount() >= LinkState::LogBlockSize);
    } while (s.LogBlockCount < LinkState::LogBlocks && m_device.InputCount() > 0 && m_device.events() == arrivals);
    if (s.LogBlockCount == LinkState::LogBlocks) {
        s.LinkMode = ModeIdle;
        s.ExchangeStatus = ExchangeComplete;
    }
}

void ReceiveParser::realTimeFrame()
{
    // Every frame already waiting is taken now: no later notification need come for them.
    for (bool first = true; first ? m_waits.WaitForBytes(6) : m_device.InputCount() >= 6; first = false) {
        m_host.setProgressPosition(0);
        auto &frame = m_state.LiveFrame;
        for (auto &b : frame)
            b = quint8(m_device.ReadChar());
        // Two texts of the unit begin like a frame; they are read past.
        const auto skipText = [&](const char *start, int rest) {
            if (std::memcmp(frame.data(), start, 6) != 0)
                return false;
            if (m_waits.WaitForBytes(rest)) {
                for (int i = 0; i < rest; ++i)
                    m_device.ReadChar();
                m_host.liveTextSkipped();
            }
            return true;
        };
        if (!skipText("Launch", 17) && !skipText("Calibr", 29))
            m_host.liveFrame(frame);
        if (!m_host.realTimeVisible())
            return;
    }
}
