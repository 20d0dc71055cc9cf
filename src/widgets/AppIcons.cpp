#include "widgets/AppIcons.h"

#include <QString>

// The pictures live in the static ui library: register them before the first look-up.
static void initAppIcons()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    Q_UNUSED(done);
}

QIcon appIcon(const char *themeName, const char *shippedFile)
{
    initAppIcons();
    const QIcon shipped(QStringLiteral(":/widgets/icons/%1.svg").arg(QLatin1String(shippedFile)));
    if (!*themeName)
        return shipped;
    return QIcon::fromTheme(QLatin1String(themeName), shipped);
}
