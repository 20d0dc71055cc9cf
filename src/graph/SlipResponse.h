#pragma once

#include "graph/RunStats.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>

// Whether the unit cuts where its settings say it should: how the cut levels spread over the slip
// bands the three "Assert at" values make, and how long after slip crosses each of them the cut
// level reaches that sequence.
struct SlipResponse {
    static constexpr int Levels = 7;  // cut levels 0..6
    static constexpr int Bands = 4;   // below the lowest threshold, between them, at or above the highest

    struct Delay {
        qsizetype crossings = 0;               // slip rising through the threshold
        qsizetype answered = 0;                // of them, reached by the cut level before slip fell back under it
        std::optional<qsizetype> median, p90;  // samples, over the answered ones (nearest rank)
    };

    std::array<int, 3> assertAt{};   // % slip, by sequence
    std::array<int, 3> bandEdges{};  // the same, ascending
    std::array<qsizetype, Bands> bandSamples{};
    std::array<std::array<qsizetype, Levels>, Bands> samplesAt{};  // band, cut level
    std::array<Delay, 3> delays;                                   // by sequence
    qsizetype samples = 0;
    double secondsPerSample = 0;

    // The share, 0..1, of a band's samples that were at a cut level.
    double share(int band, int level) const;
    QString bandName(int band) const;  // "below 10 %", "10 to 20 %", "30 % and above"

    static SlipResponse of(const Channels &channels, const Channel &slip, const RunSettings &settings,
                           double secondsPerSample, std::optional<RunStats::Span> span = {});

    QString text() const;
    QByteArray json() const;
};
