#pragma once

#include "Vehicle.h"

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

class Faults;
class Wire;

// The unit's firmware as the serial line sees it: a menu of screens and the
// binary commands at the root. Keys arrive one at a time through key().
class Unit {
public:
    static constexpr size_t ImageSize = 256;
    static constexpr size_t LogSize = 131072;

    Unit(Wire &wire, Faults &faults, const std::string &memoryFile, const std::string &logMemoryFile, double clearTime);

    bool loadMemory(std::string &error);
    void key(uint8_t b, double now);
    // Streams, the logger erase, the image timeout and the logger's sampling.
    void tick(double now);
    // When tick() next has something to do.
    double nextTick() const;
    // Keeps what the logger recorded since it was last stored; called at the end.
    void finish();

    const std::array<uint8_t, ImageSize> &memory() const { return m_memory; }
    Vehicle &vehicle() { return m_vehicle; }

private:
    enum class Screen { Root, Setup, WheelSpeed, DataLog, Clearing, Diagnostic, Test, WriteKey, Image };

    void show(Screen screen);
    // ESC's way back to the root: at once, or after --slow-root with the keys held till then.
    void toRoot(double now);
    void handleKey(uint8_t b, double now);
    void releaseHeld(double now);
    void rootKey(uint8_t b, double now);
    void frame(double now);
    void storeMemory();
    void storeLog();
    void takeImage(double now);
    double simulated(double now) const;
    // Drives the car to simulated time t, recording logger samples on the way.
    void driveTo(double t);

    Wire &m_wire;
    Faults &m_faults;
    std::string m_memoryFile, m_logMemoryFile;
    double m_clearTime;
    Screen m_screen = Screen::Root;
    Screen m_writeFrom = Screen::Root;
    bool m_streaming = false;
    double m_nextStream = 0;
    double m_clearDone = 0;
    double m_imageDeadline = 0;
    char m_test = 0;
    long m_messages = 0;
    std::array<uint8_t, ImageSize> m_memory{};
    std::vector<uint8_t> m_incoming;
    std::vector<uint8_t> m_log;
    size_t m_logSamples = 0;
    double m_nextSample = 0;
    bool m_logging = false;
    bool m_logDirty = false;
    double m_logStored = 0;
    double m_lastTick = 0;
    bool m_rootOwed = false;  // the root screen asked for by ESC, not yet shown
    double m_rootDue = 0;
    std::deque<uint8_t> m_held;
    Vehicle m_vehicle;
};
