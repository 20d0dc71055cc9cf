#pragma once

#include <QtGlobal>

#include <array>

class SettingsImage;

enum class Axle { Front, Rear };

// What reading a run takes from the settings: the axle each sensor channel CH1..CH4 sits on,
// the three "Assert at" slip values of the cut sequences and the logger's sample rate code.
struct RunSettings {
    std::array<Axle, 4> axleOf{Axle::Front, Axle::Front, Axle::Rear, Axle::Rear};
    std::array<int, 3> assertAt{};  // % slip, Sequence 1..3, as the slip control sheet shows them
    int rateCode = 1;

    static RunSettings from(const SettingsImage &image);
    bool operator==(const RunSettings &) const = default;

    // The logger takes a sample every 4.096 ms times (code + 1): 244.14 Hz divided down, which
    // gives the log times the data logging sheet states for a full memory.
    static double loggerSecondsPerSample(int rateCode) { return (rateCode + 1) * 4.096e-3; }
    double loggerSecondsPerSample() const { return loggerSecondsPerSample(rateCode); }
};
