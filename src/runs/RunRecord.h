#pragma once

#include "graph/RunSettings.h"
#include "settings/SettingsImage.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>

#include <array>
#include <optional>

class Channels;

// What the library knows of one kept run beside its DOS graph file: when and how it was made,
// the settings image the unit held then, and the figures its list shows, worked out once when it
// was kept so that a list of hundreds of runs opens without reading their samples.
struct RunRecord {
    enum class Kind { Upload, Live };

    // The figures of the list, under the run's own settings.
    struct Summary {
        double peakWheel = 0;  // km/h, the fastest of the four channels
        double peakSlip = 0;   // %
        std::array<int, 3> assertAt{};
        std::array<double, 3> secondsAtOrAbove{};
        std::optional<double> zeroTo100;  // seconds
        bool operator==(const Summary &) const = default;
    };

    QString id;  // the files' base name; sorts by the time it was kept
    QDateTime time;
    Kind kind = Kind::Upload;
    qsizetype samples = 0;
    double secondsPerSample = 0;  // the logger's at the run's rate, or a live run's measured pace
    QString version;              // the unit's firmware version; "" when none is known
    std::optional<SettingsImage> image;
    QDateTime imageTime;   // when that image was read from or written to the unit
    QString settingsFile;  // the settings file last loaded or saved; "" when none
    Axle driven = Axle::Rear;
    QString note;
    bool pinned = false;
    Summary summary;
    QString folder;  // where its two files are; not stored

    double seconds() const { return double(samples) * secondsPerSample; }
    QString graphFile() const;
    QString recordFile() const;
    // The settings its samples are read with: its own, or the defaults when none are known.
    RunSettings runSettings() const;
    // "upload", "live run"
    QString kindText() const;
    // The tune column: the settings file's name, else "settings unknown" or "unit settings".
    QString tuneText() const;
    // "settings of the run, read 10:32" / "settings unknown"
    QString settingsText() const;

    // Works the list's figures out from the samples, under runSettings() and 'driven'.
    void summarise(const Channels &channels);

    QJsonObject json() const;
    // Nothing when the object is not a record of ours.
    static std::optional<RunRecord> fromJson(const QJsonObject &o);
};
