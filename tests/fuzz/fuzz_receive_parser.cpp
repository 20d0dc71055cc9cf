// The receive handler fed arbitrary bytes: in every LinkMode, with the terminal or the graph
// shown, bytes arriving in pieces before, during and after its waits, windows shown and hidden,
// and the link shut down in the middle of a wait.
//
// The handler's waits run on a clock of this target's own: a wait ends at once when what it
// waits for is there, and otherwise moves the clock on to the next arrival or to its time limit.
// So a unit that goes silent costs nothing here, while a handler that loops without end still
// burns the CPU and is caught by the fuzzer's time-out, and one that keeps its caller waiting for
// longer than any reply may take is caught by the clock.
//
// Input: a header (windows shown, LinkMode, log blocks already held, ReplyWindow, seen-flags),
// then events, each a byte [kind:3 | gap:5] whose gap (times 50 ms) comes before it:
//   kinds 0-3  bytes arrive: a length byte (1 + n) and the bytes
//   kind 4     the terminal is shown or hidden
//   kind 5     the graph is shown or hidden
//   kind 6     a sequence sets LinkMode (next byte) and waits afresh
//   kind 7     the link is shut down (the program closing)

#include "FuzzTarget.h"

#include "graph/AxisRange.h"
#include "graph/Channels.h"
#include "graph/LiveFrames.h"
#include "link/LinkHost.h"
#include "link/LinkState.h"
#include "link/LinkWaits.h"
#include "link/LivePoll.h"
#include "link/ReceiveParser.h"
#include "link/SerialDevice.h"
#include "settings/SettingsImage.h"

#include <algorithm>
#include <deque>

namespace {

constexpr int ModeCount = 12;  // 0-10 and one of the values never set
constexpr qint64 GapUnitMs = 50;
// No reply may hold the handler longer than this after the last thing that reached it.
constexpr qint64 LongestQuietMs = 10 * LinkWaits::ReplyTimeoutMs;

class Device : public SerialDevice {
public:
    Device() = default;

    void arrive(const QByteArray &bytes)
    {
        m_queue.insert(m_queue.end(), bytes.begin(), bytes.end());
        readyRead();
    }
    void shut()
    {
        m_open = false;
        m_queue.clear();
    }
    qsizetype read() const { return m_read; }

    bool active() const override { return m_open; }
    bool SendChar(quint8) override { return m_open; }
    int ReadChar() override
    {
        if (!m_open)
            return -1;
        // The handler reads only what it knows is waiting.
        FUZZ_CHECK(!m_queue.empty());
        const quint8 b = quint8(m_queue.front());
        m_queue.pop_front();
        ++m_read;
        return b;
    }
    QByteArray ReadText() override
    {
        QByteArray all;
        all.reserve(qsizetype(m_queue.size()));
        for (const char c : m_queue)
            all.append(c);
        m_read += all.size();
        m_queue.clear();
        return all;
    }
    int InputCount() const override { return int(m_queue.size()); }
    void PurgeInput() override { m_queue.clear(); }

private:
    std::deque<char> m_queue;
    bool m_open = true;
    qsizetype m_read = 0;
};

class Host : public LinkHost {
public:
    SettingsImage image;
    bool terminal = false;
    bool graph = false;
    qsizetype terminalBytes = 0;
    Channels channels;
    AxisRange time{0, 250};
    LiveFrames frames{channels, time};
    LivePoll poll{frames};  // the graph window's frame path
    int progress = 0;

    SettingsImage &tractionMemory() override { return image; }
    void showStatus(const QString &, bool) override {}
    void showActivity(const QString &) override {}
    void setProgressMaximum(int) override {}
    void setProgressPosition(int p) override { progress = p; }
    void stepProgress(int by) override { progress += by; }
    int progressMaximum() const override { return 0; }
    void lockMenus() override {}
    void unlockMenus() override {}
    void setModified(bool) override {}
    void setSettingsLoaded(bool) override {}
    void fillPagesFromImage() override {}
    bool copyPagesToImage() override { return true; }
    void updateTitleBar(bool) override {}

    bool terminalVisible() const override { return terminal; }
    void terminalReceive(const QByteArray &shown) override
    {
        FUZZ_CHECK(!shown.isEmpty());
        terminalBytes += shown.size();
    }
    bool realTimeVisible() const override { return graph; }
    void liveFrame(const std::array<quint8, 6> &frame) override
    {
        QString error;
        poll.frame(frame, &error);
    }
    void liveTextSkipped() override { poll.textSkipped(); }
};

// The events of one input on the target's clock.
class Script {
public:
    Script(const uint8_t *data, size_t size) : m_p(data), m_end(data + size) { scheduleNext(); }

    qint64 now = 0;
    qint64 lastEvent = 0;
    Device *device = nullptr;
    Host *host = nullptr;
    LinkState *state = nullptr;
    LinkWaits *waits = nullptr;

    bool pending() const { return m_hasNext; }
    qint64 nextAt() const { return m_nextAt; }

    // Lets everything happen that is due by 'until'; false when nothing was.
    bool runUntil(qint64 until)
    {
        bool any = false;
        while (m_hasNext && m_nextAt <= until) {
            now = std::max(now, m_nextAt);
            lastEvent = now;
            fire();
            any = true;
            scheduleNext();
        }
        return any;
    }

private:
    int take() { return m_p < m_end ? *m_p++ : -1; }

    void scheduleNext()
    {
        const int c = take();
        m_hasNext = c >= 0;
        if (!m_hasNext)
            return;
        m_kind = c & 7;
        m_nextAt = std::max(now, m_nextAt) + GapUnitMs * (c >> 3);
    }

    void fire()
    {
        switch (m_kind) {
        case 0:
        case 1:
        case 2:
        case 3: {
            const int n = 1 + std::max(0, take());
            const qsizetype avail = qsizetype(m_end - m_p);
            const qsizetype len = std::min<qsizetype>(n, avail);
            device->arrive(QByteArray(reinterpret_cast<const char *>(m_p), len));
            m_p += len;
            break;
        }
        case 4: host->terminal = !host->terminal; break;
        case 5: host->graph = !host->graph; break;
        case 6: {
            const int mode = std::max(0, take());
            state->LinkMode = quint8(mode % ModeCount);
            state->ExchangeStatus = ExchangeWaiting;
            break;
        }
        case 7:
            device->shut();
            waits->abort();
            break;
        }
    }

    const uint8_t *m_p;
    const uint8_t *m_end;
    bool m_hasNext = false;
    int m_kind = 0;
    qint64 m_nextAt = 0;
};

class Waits : public LinkWaits {
public:
    Waits(Device &device, Script &script) : LinkWaits(device), m_script(script) {}
    using LinkWaits::waitUntil;

    bool waitUntil(const std::function<bool()> &done, int ms) override
    {
        FUZZ_CHECK(ms >= 0 && ms <= ReplyTimeoutMs);
        const qint64 deadline = m_script.now + ms;
        for (;;) {
            throwIfAborted();
            if (done())
                return true;
            if (!m_script.pending() || m_script.nextAt() > deadline) {
                m_script.now = deadline;
                return false;
            }
            m_script.runUntil(m_script.nextAt());
        }
    }
    void processPending() override
    {
        throwIfAborted();
        m_script.runUntil(m_script.now);
        throwIfAborted();
    }

private:
    void throwIfAborted()
    {
        if (aborted())
            throw LinkAborted{};
    }
    Script &m_script;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    constexpr size_t HeaderSize = 14;
    if (size < HeaderSize)
        return 0;
    fuzz::application();

    Script script(data + HeaderSize, size - HeaderSize);
    Device device;
    Waits waits(device, script);
    Host host;
    // One state for every input, reset from a fresh one but keeping its own 128 KB log image:
    // a copy of that image for each input that reaches the upload costs more than the input.
    // The handler only writes the image, so what an earlier input left there changes nothing.
    static const LinkState fresh;
    static LinkState state;
    QByteArray logImage = std::move(state.LogImage);
    state = fresh;
    state.LogImage = std::move(logImage);
    ReceiveParser parser(state, device, waits, host);
    script.device = &device;
    script.host = &host;
    script.state = &state;
    script.waits = &waits;

    host.terminal = data[0] & 1;
    host.graph = data[0] & 2;
    state.LinkMode = quint8(data[1] % ModeCount);
    state.ExchangeStatus = ExchangeWaiting;
    state.LogBlockCount = LinkState::LogBlocks - data[2];  // 257 to 512: the upload's end in reach
    std::copy(data + 3, data + 13, state.ReplyWindow.begin());
    bool *seen[] = {&state.RunningSeen,    &state.SetupMenuSeen,  &state.DataLoggingSeen, &state.ClearingRamSeen,
                    &state.DiagnosticSeen, &state.WheelSpeedSeen, &state.UploadedOkSeen};
    for (int i = 0; i < 7; ++i)
        *seen[i] = data[13] & (1 << i);

    int calls = 0;
    device.setHandler([&](int count) {
        ++calls;
        const qint64 start = script.now;
        parser.Comm1RxChar(count);
        // A unit that stops mid-reply ends the handler within its reply time, not later.
        FUZZ_CHECK(script.now - std::max(start, script.lastEvent) <= LongestQuietMs);
    });
    const auto announce = [&] {
        // The device posts its notifications; deliver them (and any it posts again) now.
        for (int before = -1; before != calls;) {
            before = calls;
            QCoreApplication::sendPostedEvents(&device, QEvent::MetaCall);
        }
    };
    while (script.pending()) {
        script.runUntil(script.nextAt());
        announce();
    }
    announce();
    // Qt drops the events of a destroyed receiver from its queue only on a pass over every
    // receiver; without one the queue, and the time each delivery above takes, grows per input.
    QCoreApplication::sendPostedEvents();

    static const bool trace = qEnvironmentVariableIsSet("FUZZ_TRACE");
    if (trace)
        std::fprintf(stderr,
                     "calls %d, %lld ms, mode %d, status 0x%02X, blocks %d, version '%s', "
                     "seen %d%d%d%d%d%d%d, points %lld, terminal %lld, read %lld\n",
                     calls, script.now, state.LinkMode, state.ExchangeStatus, state.LogBlockCount,
                     state.firmwareVersionText().constData(), state.RunningSeen, state.SetupMenuSeen,
                     state.DataLoggingSeen, state.ClearingRamSeen, state.DiagnosticSeen, state.WheelSpeedSeen,
                     state.UploadedOkSeen, qlonglong(host.channels[Trace::RPM].count()), qlonglong(host.terminalBytes),
                     qlonglong(device.read()));
    FUZZ_CHECK(state.LogBlockCount >= 0 && state.LogBlockCount <= LinkState::LogBlocks);
    FUZZ_CHECK(state.LogImage.size() == LinkState::LogImageSize);
    FUZZ_CHECK(state.ExchangeStatus == ExchangeFailed || state.ExchangeStatus == ExchangeWaiting ||
               state.ExchangeStatus == ExchangeComplete);
    FUZZ_CHECK(host.channels[Trace::RPM].count() <= qsizetype(host.time.width()) + 1);
    FUZZ_CHECK(host.terminalBytes <= 2 * device.read() + 2);
    return 0;
}
