#include "widgets/AskFirst.h"

#include "platform/RegistryRoutinesUnit.h"
#include "widgets/Dialogs.h"

#include <QAction>
#include <QMenu>

AskFirst::AskFirst(TRegistryRoutines &options, QMenu *optionsMenu, const QString &caption, const char *objectName,
                   const RegistryValue &stored, QObject *parent)
    : QObject(parent)
{
    m_option = optionsMenu->addAction(caption);
    m_option->setObjectName(QLatin1String(objectName));
    m_option->setCheckable(true);
    m_option->setChecked(options.read(stored) != 0);
    connect(m_option, &QAction::toggled, this, [&options, &stored](bool on) { options.write(stored, on); });
}

bool AskFirst::confirm(const QString &text, QWidget *parent)
{
    if (!m_option->isChecked())
        return true;
    Dialogs::Question question{text, false, true};
    if (!Dialogs::instance().ask(question, parent))
        return false;
    if (question.dontAskAgain)
        m_option->setChecked(false);
    return true;
}
