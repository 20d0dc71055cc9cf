#include "Faults.h"

Faults::Faults(const Options &options) : m_options(options), m_rng(options.seed * 2654435761u + 7) {}

bool Faults::dropThisFrame()
{
    ++m_frames;
    return m_options.dropFrameEvery > 0 && m_frames % m_options.dropFrameEvery == 0;
}

bool Faults::injectGarbage()
{
    if (m_options.garbage <= 0)
        return false;
    return std::uniform_real_distribution<double>(0, 1)(m_rng) < m_options.garbage;
}

uint8_t Faults::garbageByte() { return uint8_t(m_rng() & 0xFF); }

size_t Faults::imageBytes(size_t full) const
{
    return m_options.partialImage >= 0 ? size_t(m_options.partialImage) : full;
}

size_t Faults::logBytes(size_t full) const
{
    if (m_options.stopAfterBytes >= 0)
        return size_t(m_options.stopAfterBytes);
    return m_options.stopAfterBlocks >= 0 ? size_t(m_options.stopAfterBlocks) * 256 : full;
}
