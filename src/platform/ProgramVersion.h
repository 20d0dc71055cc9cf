#pragma once

#include <QString>

// The program's own four-part version, set once in the build.
struct ProgramVersion {
    int major, minor, release, build;

    static ProgramVersion current();
    QString text() const;  // "1.2.3.45"
};
