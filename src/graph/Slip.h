#pragma once

#include "graph/Channels.h"
#include "graph/RunSettings.h"

#include <QString>

#include <array>
#include <optional>

// The slip of the driven wheels over the others, derived from the four wheel channels: never
// stored in a graph file, recomputed from what is held.
namespace Slip {

inline constexpr char Title[] = "Slip %";

// (driven axle mean - reference axle mean) / reference axle mean x 100, the axles taken from
// which wheel each sensor channel sits on; 0 where the reference stands still or an axle has
// no sensor at all.
double of(const std::array<double, 4> &wheels, const std::array<Axle, 4> &axleOf, Axle driven);
// The mean speed of the axle that is not driven: the car's own speed.
double referenceSpeed(const std::array<double, 4> &wheels, const std::array<Axle, 4> &axleOf, Axle driven);

// A point of slip for every sample the wheel channels hold, at the same times. Hidden wheel
// channels count like the others.
void compute(const Channels &channels, const std::array<Axle, 4> &axleOf, Axle driven, Channel &out);

// The four wheel values of point i (every wheel channel holds the same samples).
std::array<double, 4> wheelsAt(const Channels &channels, qsizetype i);

// Slip to a tenth, as its readouts show it; " " where there is none.
QString text(std::optional<double> slip);

inline constexpr std::array<Trace, 4> WheelTraces{Trace::WheelSpeedFL, Trace::WheelSpeedFR, Trace::WheelSpeedRL,
                                                  Trace::WheelSpeedRR};

}  // namespace Slip
