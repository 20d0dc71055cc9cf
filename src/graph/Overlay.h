#pragma once

#include "graph/Channels.h"

#include <QString>

#include <cmath>
#include <optional>

// The value a channel shows at time t: its point with trunc(t) <= X < trunc(t) + 1.
inline std::optional<double> valueAtTime(const Channel &c, double t)
{
    const auto i = c.indexAtTime(t);
    return i ? std::optional<double>(c.y(*i)) : std::nullopt;
}

// A second run drawn behind the current one. It is shifted along the time axis by 'offset'
// samples: its point at X shows at X + offset. Nothing of it ever reaches the current run.
struct Overlay {
    Channels channels;
    Channel slip;
    double offset = 0;
    QString path;

    bool isOpen() const { return !path.isEmpty(); }
    void close() { *this = {}; }

    // Its own time under time t of the current run (t cut to a whole sample first, as the
    // readouts do), and what shows there.
    double timeUnder(double t) const { return std::trunc(t) - offset; }
    std::optional<double> valueAt(const Channel &c, double t) const { return valueAtTime(c, timeUnder(t)); }
    // Dragging leaves it between samples; its points go back onto the current run's.
    void snap() { offset = std::round(offset); }
    // Shifts it so that what shows under 'overlayCursor' comes under 'currentCursor', by whole
    // samples, so that its points stay on the current run's.
    void alignAt(double currentCursor, double overlayCursor)
    {
        offset += std::trunc(currentCursor) - std::trunc(overlayCursor);
    }
};
