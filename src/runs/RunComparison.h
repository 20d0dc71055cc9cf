#pragma once

#include "graph/RunStats.h"
#include "runs/RunRecord.h"
#include "settings/SettingsDiff.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The time of the first launch of a run: the first sample at which the axle that is not driven
// leaves standstill (its mean speed above 0 after a sample at 0). None when the run holds none.
std::optional<double> firstLaunch(const Channels &channels, const RunSettings &settings, Axle driven);

// Two kept runs side by side: the older is the run, the newer the overlay, shifted so that their
// first launches meet; the figures of both with the difference, and what changed in the settings.
struct RunComparison {
    RunRecord older, newer;
    RunStats olderStats, newerStats;
    std::optional<double> olderLaunch, newerLaunch;
    double offset = 0;           // samples: the newer's point at X shows at X + offset
    bool settingsKnown = false;  // both records hold their image
    QList<SettingChange> changes;

    // The runs in either order.
    static RunComparison of(const RunRecord &a, const Channels &aChannels, const RunRecord &b,
                            const Channels &bChannels);

    // One row of the side-by-side figures: name, older, newer, newer - older (blank where either is missing).
    struct Row {
        QString name, older, newer, difference;
    };
    QList<Row> rows() const;
    QString text() const;
    QByteArray json() const;
};
