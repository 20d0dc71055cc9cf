#pragma once

#include "settings/SettingsImage.h"

#include <QString>

// Loading a settings file by its extension, whatever its case, as the user named it: ".dat" is
// the image itself, ".tra" is converted over the image given. The window's Open and Import, its
// start on a file, and the command-line tool all load through here.
struct SettingsFileLoad {
    enum class Kind { Dat, Tra, Other };
    // Open takes either format; Import only ".tra".
    enum class Accept { Any, TraOnly };

    Kind kind = Kind::Other;
    bool loaded = false;
    // Not a bad file but one the system would not open or read: reported apart, in its own words.
    bool accessFault = false;
    QString reason;

    static Kind kindOf(const QString &path);
    // The image changes only once the whole file is in; on failure it is as it was.
    static SettingsFileLoad load(const QString &path, SettingsImage &image, Accept accept = Accept::Any);
};
