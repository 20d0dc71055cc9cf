#pragma once

#include <QString>

// How long the unit's 128 KB log memory lasts at each sample rate of the Data logging sheet,
// by list position (the items and codes are the rate list's). The texts are fixed, not computed.
namespace LogTime {

constexpr int Count = 15;
// The caption for a list position; empty when the position names no rate.
QString caption(int position);

}  // namespace LogTime
