#include "platform/ProgramVersion.h"

ProgramVersion ProgramVersion::current()
{
    return {TRACTION_VERSION_MAJOR, TRACTION_VERSION_MINOR, TRACTION_VERSION_RELEASE, TRACTION_VERSION_BUILD};
}

QString ProgramVersion::text() const { return QString::asprintf("%d.%d.%d.%d", major, minor, release, build); }
