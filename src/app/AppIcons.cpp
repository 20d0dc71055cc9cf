#include "app/AppIcons.h"

#include <QString>

QIcon appIcon(const char *themeName, const char *shippedFile)
{
    const QIcon shipped(QStringLiteral(":/app/icons/%1.svg").arg(QLatin1String(shippedFile)));
    if (!*themeName)
        return shipped;
    return QIcon::fromTheme(QLatin1String(themeName), shipped);
}
