#pragma once

#include "settings/PageValues.h"
#include "settings/SettingsImage.h"

#include <QHash>
#include <QString>

class QWidget;

// The pages' side of the conversion between the settings image and what the pages show: the
// controls, found by name, are read into PageValues and set from them; PageValues converts.
namespace PageImage {

using Controls = QHash<QString, QWidget *>;

// What the controls show now.
PageValues read(const Controls &controls);
// Sets every control to 'values'; a change raises that control's change report, a list choice none.
void show(const Controls &controls, const PageValues &values);

void fill(const Controls &controls, const SettingsImage &image);
// Stops at the first entry that does not convert, with its message in 'error'.
bool copy(const Controls &controls, SettingsImage &image, QString &error);

// The item an editable list's text names; -1 for a text that is none of them.
int listPosition(const QWidget *list);

}  // namespace PageImage
