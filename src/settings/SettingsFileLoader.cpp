#include "settings/SettingsFileLoader.h"

#include "settings/SettingsFiles.h"

#include <QFileInfo>

SettingsFileLoad::Kind SettingsFileLoad::kindOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toUpper();
    if (suffix == u"DAT")
        return Kind::Dat;
    if (suffix == u"TRA")
        return Kind::Tra;
    return Kind::Other;
}

SettingsFileLoad SettingsFileLoad::load(const QString &path, SettingsImage &image, Accept accept)
{
    SettingsFileLoad result;
    result.kind = kindOf(path);
    const bool traOnly = accept == Accept::TraOnly;
    switch (result.kind) {
    case Kind::Dat:
        if (traOnly)
            result.reason = QStringLiteral("only .tra files can be imported; open a .dat file instead");
        else
            result.loaded = readDatFile(path, image, &result.reason);
        break;
    case Kind::Tra:
        result.loaded = ConvertTraFile(path, TraFileSize, image, &result.reason, &result.accessFault);
        break;
    case Kind::Other:
        result.reason = traOnly ? QStringLiteral("not a .tra file") : QStringLiteral("neither a .dat nor a .tra file");
        break;
    }
    return result;
}
