#pragma once

#include "settings/SettingsImage.h"

#include <QHash>
#include <QString>

class QWidget;

// Walks the field table between the settings image and the page controls, found by name.
namespace PageImage {

using Controls = QHash<QString, QWidget *>;

void fill(const Controls &controls, const SettingsImage &image);
// Stops at the first entry that does not convert, with its message in 'error'.
bool copy(const Controls &controls, SettingsImage &image, QString &error);

// The item an editable list's text names; -1 for a text that is none of them.
int listPosition(const QWidget *list);

}  // namespace PageImage
