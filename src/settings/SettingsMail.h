#pragma once

#include "settings/PrintPage.h"

#include <QString>

// The two mail links, as the text of a mailto: link. Line breaks are written "%0D%0A" and tabs
// "%09"; nothing else is escaped here.
namespace SettingsMail {

// Every text of the print page in tag order, each followed by its separator; check boxes as
// their caption and " - Enabled" or " - Disabled".
QString body(const PrintPage &page);
QString emailLink(const PrintPage &page);
// 'programVersion' as the status bar shows it.
QString feedbackLink(const QString &programVersion);

}  // namespace SettingsMail
