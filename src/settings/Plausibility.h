#pragma once

#include "settings/SettingsImage.h"

#include <QList>
#include <QLocale>
#include <QString>

// A value of an image that its field cannot hold as the unit and the pages mean it: a byte that
// came damaged over the line, or a file that is not a settings file at all.
struct Implausible {
    QString name;   // "Wheels / Driven / Wheel diameter", as a change of it is named
    QString value;  // "0", "cell 3: 32", "code 50"
    QString rule;   // "cannot be zero"
    int offset = 0;

    // "Wheels / Driven / Wheel diameter: 0 (cannot be zero)"
    QString line() const;
};

// Walks the field table: cut cells are "0" or "1", flags 00 or FF, the sample rate code below 48,
// wheel diameters and pulses not zero, and every edit box's value fits the characters the box
// takes. Empty for a plausible image.
QList<Implausible> checkPlausibility(const SettingsImage &image, const QLocale &locale = QLocale());
