#pragma once

#include "platform/RegistryRoutinesUnit.h"

#include <QString>

class QAction;
class QMenu;
class QWidget;

// A question before a step that cannot be undone, with "Don't ask again" kept in the option store
// and a checkable Options entry that asks again.
class AskFirst {
public:
    // 'stored' holds 1 while the question is to be asked.
    AskFirst(const RegistryValue &stored, QString text);

    // True to go on: asked and answered Yes, or not to be asked.
    bool ask(QWidget *parent);
    // The Options entry, ticked while the question is asked.
    QAction *addOption(QMenu *menu, const QString &caption, const char *objectName);

private:
    const RegistryValue &m_stored;
    QString m_text;
    QAction *m_option = nullptr;
};
