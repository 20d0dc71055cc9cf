#include "widgets/AskFirst.h"

#include "widgets/Dialogs.h"

#include <QAction>
#include <QMenu>

AskFirst::AskFirst(const RegistryValue &stored, QString text) : m_stored(stored), m_text(std::move(text)) {}

bool AskFirst::ask(QWidget *parent)
{
    if (TRegistryRoutines::read(m_stored) == 0)
        return true;
    Dialogs::Confirmation request{m_text, true};
    const bool yes = Dialogs::instance().confirm(request, parent);
    // Not asking again means going on each time: a No is no answer to keep.
    if (yes && request.dontAskAgain) {
        TRegistryRoutines::write(m_stored, 0);
        if (m_option)
            m_option->setChecked(false);
    }
    return yes;
}

QAction *AskFirst::addOption(QMenu *menu, const QString &caption, const char *objectName)
{
    m_option = menu->addAction(caption);
    m_option->setObjectName(QLatin1String(objectName));
    m_option->setCheckable(true);
    m_option->setChecked(TRegistryRoutines::read(m_stored) != 0);
    const RegistryValue &stored = m_stored;
    QObject::connect(m_option, &QAction::toggled, m_option, [&stored](bool on) { TRegistryRoutines::write(stored, on); });
    return m_option;
}
