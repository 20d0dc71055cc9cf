#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include <span>

class QAction;
class QObject;

// One command of the main window: the texts and rules the user sees, and its picture.
struct ActionRow {
    const char *name;  // objectName: Open1, Save1, ...
    const char *caption;
    const char *shortcut;   // QKeySequence text, or ""
    const char *hint;       // set when the window is first shown; "" for none
    const char *themeIcon;  // desktop icon theme name, or "" where the theme has none
    const char *iconFile;   // shipped picture, always present as the fallback
    bool enabled;
    bool visible;
};

std::span<const ActionRow> mainActionTable();

// The main window's actions by name, created from the table; owned by 'parent'.
class MainActions {
public:
    explicit MainActions(QObject *parent);

    QAction *operator[](const char *name) const;  // asserts the name exists
    // The hints of the table; the window sets them when it is first shown.
    void applyHints();
    const QList<QAction *> &all() const { return m_ordered; }

private:
    QHash<QString, QAction *> m_byName;
    QList<QAction *> m_ordered;
};
