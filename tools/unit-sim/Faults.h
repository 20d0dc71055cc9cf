#pragma once

#include "Options.h"

#include <cstdint>
#include <random>

// The failures a test can ask for, and the little state some of them keep.
class Faults {
public:
    explicit Faults(const Options &options);

    const Options &options() const { return m_options; }
    bool silent() const { return m_options.silent; }
    bool stream() const { return m_options.stream; }
    bool ignored(uint8_t key) const { return m_options.ignoreKeys.find(char(key)) != std::string::npos; }

    // Counts one 'M'; true when this one goes unanswered.
    bool dropThisFrame();
    // Whether a random byte goes out before the next real one, and which.
    bool injectGarbage();
    uint8_t garbageByte();

    // How much of a full answer goes out.
    size_t imageBytes(size_t full) const;
    size_t logBytes(size_t full) const;

private:
    const Options &m_options;
    std::mt19937 m_rng;
    long m_frames = 0;
};
