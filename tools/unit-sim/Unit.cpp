#include "Unit.h"

#include "Faults.h"
#include "Wire.h"

#include "settings/SettingsImage.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

constexpr uint8_t Esc = 0x1B;
// A live screen prints several lines in each 250 ms window the program listens for a talking unit.
constexpr double StreamPeriod = 0.1;
constexpr double ImageTimeout = 2.0;
constexpr double LogStorePeriod = 5.0;
constexpr size_t LogSamples = (131072 - 2) / 6;
constexpr int LoggingFlag = 38, SampleRateCode = 78;  // a write that stops half way is dropped, not half applied

// The unit's own screens; its lines end LF CR.
const char *screenText(int screen)
{
    static const char *const Texts[] = {
        "\n\rVeltorane TCU  Running\n\rE Setup menu\n\r",
        "\n\r*** SETUP MENU ***\n\rW Wheel speeds\n\rL Data logging\n\rD Diagnostics\n\rESC Exit\n\r",
        "\n\rWheel Speeds (km/h), any key stops\n\r",
        "\n\rData Logging\n\rC Clear RAM\n\rESC Exit\n\r",
        "\n\rClearing RAM, please wait\n\r",
        "\n\rDiagnostic menu\n\r1 2 3 Cylinder misfire\n\rI Integral  S Soft cut  H Hard cut\n\r0 End test\n\rESC Exit\n\r",
    };
    return Texts[screen];
}

bool readFile(const std::string &path, std::vector<uint8_t> &out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    out.assign(std::istreambuf_iterator<char>(in), {});
    return true;
}

// Written beside and renamed over, so a kill mid-write never leaves half a memory.
bool writeFile(const std::string &path, const uint8_t *data, size_t size)
{
    const std::string tmp = path + ".tmp";
    std::FILE *f = std::fopen(tmp.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(data, 1, size, f) == size;
    if (std::fclose(f) != 0 || !ok || std::rename(tmp.c_str(), path.c_str()) != 0) {
        std::remove(tmp.c_str());
        return false;
    }
    return true;
}

// "Launch..." of 23 bytes and "Calibr..." of 35, as the unit sends between frames.
const char LaunchText[] = "Launch control armed\n\r ";
const char CalibrText[] = "Calibrating wheel speed sensors\n\r  ";
static_assert(sizeof LaunchText - 1 == 23 && sizeof CalibrText - 1 == 35);

}  // namespace

Unit::Unit(Wire &wire, Faults &faults, const std::string &memoryFile, const std::string &logMemoryFile,
           double clearTime)
    : m_wire(wire), m_faults(faults), m_memoryFile(memoryFile), m_logMemoryFile(logMemoryFile), m_clearTime(clearTime),
      m_log(LogSize, 0), m_vehicle(faults.options().seed)
{
}

bool Unit::loadMemory(std::string &error)
{
    const SettingsImage defaults = SettingsImage::defaults();
    std::copy(defaults.bytes().begin(), defaults.bytes().end(), m_memory.begin());
    if (!m_memoryFile.empty()) {
        std::vector<uint8_t> data;
        if (readFile(m_memoryFile, data)) {
            if (data.size() != ImageSize) {
                error = m_memoryFile + " is not a 256-byte settings memory; left as it is";
                return false;
            }
            std::copy(data.begin(), data.end(), m_memory.begin());
        } else if (!writeFile(m_memoryFile, m_memory.data(), ImageSize)) {
            error = "cannot create " + m_memoryFile + ": " + std::strerror(errno);
            return false;
        }
    }
    if (!m_logMemoryFile.empty()) {
        std::vector<uint8_t> data;
        if (readFile(m_logMemoryFile, data)) {
            if (data.size() != LogSize) {
                error = m_logMemoryFile + " is not a 131072-byte logger memory; left as it is";
                return false;
            }
            m_log = data;
            // Recording goes on after what the memory already holds.
            m_logSamples = std::min<size_t>((size_t(m_log[0]) << 8) | m_log[1], LogSamples);
        } else if (!writeFile(m_logMemoryFile, m_log.data(), LogSize)) {
            error = "cannot create " + m_logMemoryFile + ": " + std::strerror(errno);
            return false;
        }
    }
    return true;
}

void Unit::storeMemory()
{
    if (!m_memoryFile.empty() && !writeFile(m_memoryFile, m_memory.data(), ImageSize))
        std::fprintf(stderr, "unit-sim: cannot store %s: %s\n", m_memoryFile.c_str(), std::strerror(errno));
}

void Unit::storeLog()
{
    m_logDirty = false;
    if (!m_logMemoryFile.empty() && !writeFile(m_logMemoryFile, m_log.data(), LogSize))
        std::fprintf(stderr, "unit-sim: cannot store %s: %s\n", m_logMemoryFile.c_str(), std::strerror(errno));
}

void Unit::finish()
{
    if (m_logDirty)
        storeLog();
}

double Unit::simulated(double now) const { return now * m_faults.options().timeScale + m_faults.options().warmUp; }

void Unit::driveTo(double t)
{
    // Logging switched on by a write starts recording now; on at power-up, from the start of the drive.
    const bool logging = m_memory[LoggingFlag] != 0;
    if (logging && !m_logging)
        m_nextSample = std::max(m_nextSample, m_vehicle.time());
    m_logging = logging;
    if (logging) {
        const double period = (((m_memory[SampleRateCode] << 8) | m_memory[SampleRateCode + 1]) + 1) / 244.0;
        while (m_nextSample <= t && m_logSamples < LogSamples) {
            m_vehicle.advance(m_nextSample, m_memory);
            const Vehicle::Frame f = m_vehicle.frame(m_memory);
            std::copy(f.begin(), f.end(), m_log.begin() + 2 + 6 * m_logSamples);
            ++m_logSamples;
            m_nextSample += period;
            m_log[0] = uint8_t(m_logSamples >> 8), m_log[1] = uint8_t(m_logSamples);
            m_logDirty = true;
        }
    }
    m_vehicle.advance(t, m_memory);
}

void Unit::show(Screen screen)
{
    m_screen = screen;
    m_streaming = screen == Screen::WheelSpeed || screen == Screen::Test;
    m_nextStream = 0;
    if (screen == Screen::Test) {
        char line[64];
        std::snprintf(line, sizeof line, "\n\rDiagnostic test %c running, 0 ends it\n\r", m_test);
        m_wire.send(line);
        return;
    }
    m_wire.send(screenText(int(screen)));
}

void Unit::frame(double now)
{
    if (m_faults.dropThisFrame())
        return;
    const int every = m_faults.options().messageEvery;
    if (every > 0 && ++m_messages % every == 0) {
        m_wire.send((m_messages / every) % 2 ? LaunchText : CalibrText);
        return;
    }
    driveTo(simulated(now));
    const Vehicle::Frame f = m_vehicle.frame(m_memory);
    m_wire.send(f.data(), f.size());
}

void Unit::rootKey(uint8_t b, double now)
{
    const Options &o = m_faults.options();
    switch (b) {
    case Esc: toRoot(now); break;
    case 'E':
        if (!o.noSetupMenu)
            show(Screen::Setup);
        break;
    case 'O':
        if (!o.noVersion)
            m_wire.send(o.versionText);
        break;
    case 'R': m_wire.send(m_memory.data(), m_faults.imageBytes(ImageSize)); break;
    case 'W':
        m_screen = Screen::WriteKey;
        m_imageDeadline = now + ImageTimeout;
        break;
    case 'I': m_wire.send(m_log.data(), m_faults.logBytes(LogSize)); break;
    case 'M': frame(now); break;
    case '\r':
    case '?': show(Screen::Root); break;
    default: break;  // 'D' among them: quiet at the root
    }
}

void Unit::takeImage(double now)
{
    (void)now;
    if (m_faults.options().noUploadedOk) {
        m_wire.send("\n\rUpload failed, settings kept\n\r");
    } else {
        std::copy(m_incoming.begin(), m_incoming.end(), m_memory.begin());
        if (const int at = m_faults.options().alterOnWrite; at >= 0)
            m_memory[size_t(at)] ^= 0x01;
        storeMemory();
        m_wire.send("\n\rSettings uploaded ok\n\r");
    }
    m_incoming.clear();
    m_screen = Screen::Root;
}

void Unit::toRoot(double now)
{
    const double slow = m_faults.options().slowRoot;
    if (slow <= 0) {
        show(Screen::Root);
        return;
    }
    m_screen = Screen::Root;
    m_streaming = false;
    m_rootOwed = true;
    m_rootDue = now + slow;
}

void Unit::releaseHeld(double now)
{
    if (m_rootOwed && now >= m_rootDue) {
        m_rootOwed = false;
        show(Screen::Root);
    }
    while (!m_rootOwed && !m_held.empty()) {
        const uint8_t b = m_held.front();
        m_held.pop_front();
        handleKey(b, now);
    }
}

void Unit::key(uint8_t b, double now)
{
    m_held.push_back(b);
    releaseHeld(now);
}

void Unit::handleKey(uint8_t b, double now)
{
    if (m_faults.silent() || m_faults.stream() || m_faults.ignored(b))
        return;
    // A streaming screen stops at any key; ESC still leaves it.
    if (m_streaming) {
        m_streaming = false;
        if (b != Esc && b != '0' && m_screen == Screen::WheelSpeed)
            return;
        if (m_screen == Screen::Test && b != Esc && b != '0' && !std::strchr("123ISH", b))
            return;
    }
    switch (m_screen) {
    case Screen::Root: rootKey(b, now); break;
    case Screen::WriteKey:
        if (b == 'Y') {
            m_screen = Screen::Image;
            m_incoming.clear();
            m_imageDeadline = now + ImageTimeout;
        } else {
            m_screen = Screen::Root;
            rootKey(b, now);
        }
        break;
    case Screen::Image:
        m_incoming.push_back(b);
        m_imageDeadline = now + ImageTimeout;
        if (m_incoming.size() == ImageSize)
            takeImage(now);
        break;
    case Screen::Setup:
        if (b == Esc)
            toRoot(now);
        else if (b == 'W')
            show(Screen::WheelSpeed);
        else if (b == 'L')
            show(Screen::DataLog);
        else if (b == 'D')
            show(Screen::Diagnostic);
        else if (b == 'M')
            frame(now);
        else if (b == '\r' || b == '?')
            show(Screen::Setup);
        break;
    case Screen::WheelSpeed:
        if (b == Esc)
            show(Screen::Setup);
        else if (b == 'M')
            frame(now);
        break;
    case Screen::DataLog:
        if (b == Esc) {
            show(Screen::Setup);
        } else if (b == 'C') {
            show(Screen::Clearing);
            m_clearDone = now + m_clearTime;
        } else if (b == 'M') {
            frame(now);
        } else if (b == '\r' || b == '?') {
            show(Screen::DataLog);
        }
        break;
    case Screen::Clearing: break;  // busy erasing
    case Screen::Diagnostic:
    case Screen::Test:
        if (b == Esc) {
            show(Screen::Setup);
        } else if (std::strchr("123ISH", b) && b) {
            m_test = char(b);
            show(Screen::Test);
        } else if (b == '0') {
            show(Screen::Diagnostic);
        } else if (b == 'M') {
            frame(now);
        } else if (b == '\r' || b == '?') {
            show(Screen::Diagnostic);
        }
        break;
    }
}

void Unit::tick(double now)
{
    m_lastTick = now;
    releaseHeld(now);
    if (m_faults.silent())
        return;
    if (m_faults.stream()) {
        // Talks without pause: a new line whenever the last one is out.
        if (m_wire.pending() < 64)
            m_wire.send("Wheel Speeds FL 0 FR 0 RL 0 RR 0 km/h\n\r");
        return;
    }
    if ((m_screen == Screen::Image || m_screen == Screen::WriteKey) && now >= m_imageDeadline) {
        m_incoming.clear();
        m_screen = Screen::Root;
        m_wire.send("\n\rUpload timed out, settings kept\n\r");
    }
    if (m_screen == Screen::Clearing && now >= m_clearDone) {
        std::fill(m_log.begin(), m_log.end(), 0);
        m_logSamples = 0;
        storeLog();
        show(Screen::DataLog);
    }
    if (m_streaming && now >= m_nextStream && !m_wire.sending()) {
        m_nextStream = now + StreamPeriod;
        char line[96];
        if (m_screen == Screen::WheelSpeed) {
            driveTo(simulated(now));
            const Vehicle::Frame f = m_vehicle.frame(m_memory);
            std::snprintf(line, sizeof line, "CH1 %3d  CH2 %3d  CH3 %3d  CH4 %3d\n\r", f[0], f[1], f[2], f[3]);
        } else {
            std::snprintf(line, sizeof line, "Diagnostic test %c firing\n\r", m_test);
        }
        m_wire.send(line);
    }
    driveTo(simulated(now));
    // Battery-backed: what was recorded survives a kill of the simulator, give or take a few seconds.
    if (m_logDirty && now - m_logStored >= LogStorePeriod) {
        storeLog();
        m_logStored = now;
    }
}

double Unit::nextTick() const
{
    double next = 1e300;
    if (m_faults.silent())
        return next;
    if (m_rootOwed)
        next = m_rootDue;
    if (m_faults.stream())
        return m_lastTick + 0.02;  // topped up again while the wire drains
    if (m_screen == Screen::Image || m_screen == Screen::WriteKey)
        next = std::min(next, m_imageDeadline);
    if (m_screen == Screen::Clearing)
        next = std::min(next, m_clearDone);
    if (m_streaming)
        next = std::min(next, m_nextStream);
    if (m_memory[LoggingFlag] != 0 && m_logSamples < LogSamples)
        next = std::min(next, m_lastTick + 0.05);  // samples caught up in batches
    if (m_logDirty)
        next = std::min(next, m_logStored + LogStorePeriod);
    return next;
}
