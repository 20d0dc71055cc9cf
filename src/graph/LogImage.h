#pragma once

#include "graph/Channels.h"

#include <QByteArray>

// The unit's logger memory as samples: two bytes that are not plotted, then 21845 samples of six
// bytes in the order of a live frame.
namespace LogImage {

inline constexpr int Size = 131072;
inline constexpr int FirstSampleOffset = 2;
inline constexpr int Samples = (Size - FirstSampleOffset) / RecordSize;  // 21845, filling it exactly

// Replaces the six channels with the samples at X = 1 ... 21845 (Blank keeps its points).
// False, with nothing changed, when the memory is not whole.
bool plot(const QByteArray &image, Channels &channels);

}  // namespace LogImage
