#pragma once

#include "settings/FieldTable.h"
#include "settings/SettingsImage.h"

#include <QList>
#include <QLocale>
#include <QString>

// One setting that differs between two images, named as the pages name it. Bytes that no page
// shows are listed too: a write changes them in the unit all the same.
struct SettingChange {
    QString page;    // the sheet's caption, trimmed; "" for bytes no page shows
    QString group;   // the group caption, trimmed; "" where the label says it all
    QString label;   // "Speed"; a cut row by its group ("Sequence 1"); "CH1"; "Bytes 6-7"
    QString before;  // as the pages would show each image ("14.00", "on", "10111011101110111011")
    QString after;
    QString unit;          // "Kmh", "Sec", "% Slip", ... or ""
    bool pattern = false;  // before and after are 20 cells, '1' spark, '0' no spark
    int offset = 0;
    int size = 0;

    // "Configuration / Minimum operating thresholds / Speed"
    QString name() const;
    // "Configuration / Minimum operating thresholds / Speed: 14.00 -> 15.00 Kmh"
    QString line() const;
};

// Every setting whose bytes differ, in the order of the field table. Where two different byte
// values would look the same on the pages (a flag of 0x01 and 0xFF, a slider word off its step),
// the raw bytes are added so that the change is not hidden.
QList<SettingChange> compareImages(const SettingsImage &before, const SettingsImage &after,
                                   const QLocale &locale = QLocale());

// A field's names and place, as a change of it is listed; no values.
SettingChange settingOf(const Field &field);

// What the pages show for a field of an image: the edit box's text, a slider's caption, "on" or
// "off", a cut row's 20 cells, the sample rate's item ("" when none is chosen), the wheel a
// channel's flags name, or the bytes in hexadecimal where no page shows them.
QString shownValue(const Field &field, const SettingsImage &image, const QLocale &locale = QLocale());
// "0C CB": bytes of the image in hexadecimal.
QString hexBytes(const SettingsImage &image, int offset, int size);
