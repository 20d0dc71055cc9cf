#pragma once

#include "graph/Channels.h"
#include "graph/RunSettings.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <optional>

// The figures a tuner asks of a run, over all of it or over the samples between two times.
struct RunStats {
    // The samples between two cursors, both cursors' own included: the one count the Cursors
    // panel and the statistics give for the same pair.
    struct Span {
        double from, to;  // time values, in either order; samples from trunc(from) to trunc(to) count
        double first() const { return std::trunc(std::min(from, to)); }
        double last() const { return std::trunc(std::max(from, to)); }
        qsizetype samples() const { return qsizetype(last() - first()) + 1; }
    };
    static constexpr double ZeroTo100Kmh = 100;

    qsizetype samples = 0;
    double firstTime = 0, lastTime = 0;  // of the samples counted
    double secondsPerSample = 0;
    Axle driven = Axle::Rear;
    std::array<double, 4> peakWheel{};  // CH1..CH4
    double peakSlip = 0, meanSlip = 0;
    std::array<int, 3> assertAt{};
    std::array<qsizetype, 3> samplesAtOrAbove{};  // slip at or above each "Assert at" value
    std::map<int, qsizetype> samplesCut;          // cut level (1 and up) -> samples at it
    double peakRpm = 0;
    // From the last sample at standstill to the first at 100 km/h or more after it, measured on
    // the axle that is not driven; absent when the run holds no such pair.
    std::optional<qsizetype> zeroTo100Samples;

    double seconds(qsizetype n) const { return double(n) * secondsPerSample; }

    static RunStats of(const Channels &channels, const Channel &slip, const RunSettings &settings, Axle driven,
                       double secondsPerSample, std::optional<Span> span = {});

    // As tractionctl prints it and the window shows it; numbers with a full stop.
    QString text() const;
    QByteArray json() const;
};
