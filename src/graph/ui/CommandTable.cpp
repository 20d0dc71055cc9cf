#include "graph/ui/CommandTable.h"

#include "widgets/AppIcons.h"

#include <QKeySequence>
#include <QWidget>

QAction *makeCommand(const char *name, const char *caption, const char *shortcut, const char *hint,
                     const char *themeIcon, const char *iconFile, bool enabled, QObject *parent)
{
    auto *a = new QAction(QString::fromUtf8(caption), parent);
    a->setObjectName(QString::fromLatin1(name));
    if (iconFile)
        a->setIcon(appIcon(themeIcon, iconFile));
    if (*shortcut)
        a->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
    if (*hint) {
        a->setStatusTip(QString::fromUtf8(hint));
        a->setToolTip(QString::fromUtf8(hint));
    }
    a->setEnabled(enabled);
    return a;
}

void addCommands(QWidget *to, const CommandActions &actions, std::initializer_list<const char *> names)
{
    for (const char *name : names) {
        if (QLatin1String(name) == QLatin1String("-")) {
            auto *separator = new QAction(to);
            separator->setSeparator(true);
            to->addAction(separator);
        } else {
            Q_ASSERT_X(actions.contains(QLatin1String(name)), "addCommands", name);
            to->addAction(actions.value(QLatin1String(name)));
        }
    }
}
