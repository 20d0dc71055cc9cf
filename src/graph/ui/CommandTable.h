#pragma once

#include <QAction>
#include <QHash>
#include <QString>

#include <initializer_list>
#include <span>

// One command of a window: the texts and picture the user sees, and what it runs.
template <class Owner> struct CommandRow {
    const char *name;  // objectName
    const char *caption;
    const char *shortcut;   // QKeySequence text, or ""
    const char *hint;       // status and tool tip; "" for none
    const char *themeIcon;  // desktop icon theme name, or ""
    const char *iconFile;   // shipped picture; nullptr for none
    bool enabled;
    void (*run)(Owner &);
};

using CommandActions = QHash<QString, QAction *>;

// One action of a row, owned by 'parent'.
QAction *makeCommand(const char *name, const char *caption, const char *shortcut, const char *hint,
                     const char *themeIcon, const char *iconFile, bool enabled, QObject *parent);

// The table's actions, each running its row on 'owner', by name.
template <class Owner>
CommandActions makeCommands(std::span<const CommandRow<Owner>> rows, Owner &owner, QObject *parent)
{
    CommandActions byName;
    for (const CommandRow<Owner> &row : rows) {
        QAction *a = makeCommand(row.name, row.caption, row.shortcut, row.hint, row.themeIcon, row.iconFile,
                                 row.enabled, parent);
        QObject::connect(a, &QAction::triggered, parent, [&owner, run = row.run] { run(owner); });
        byName.insert(a->objectName(), a);
    }
    return byName;
}

// Puts the named actions on a menu or tool bar in order; "-" is a separator.
void addCommands(QWidget *to, const CommandActions &actions, std::initializer_list<const char *> names);
