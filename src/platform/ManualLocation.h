#pragma once

#include <QString>
#include <QStringList>

// Where the program finds Traction_Manual.pdf: beside the program (a build, or a copy the user
// put there), or where the package installs it, the data folder relative to the program
// (../share/veltorane-traction), so that an installed tree works wherever it was unpacked.
namespace ManualLocation {

inline constexpr char FileName[] = "Traction_Manual.pdf";

// The places looked at, in order.
QStringList candidates();
// The first of them that exists; empty when none does.
QString find();

}  // namespace ManualLocation
