#include "platform/ManualLocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace ManualLocation {

QStringList candidates()
{
    const QDir program(QCoreApplication::applicationDirPath());
    return {program.filePath(QLatin1String(FileName)),
            QDir::cleanPath(program.filePath(QStringLiteral(TRACTION_DATA_FROM_BIN "/") + QLatin1String(FileName)))};
}

QString find()
{
    for (const QString &path : candidates())
        if (QFileInfo(path).isFile())
            return path;
    return {};
}

}  // namespace ManualLocation
