#include "app/MainUndo.h"

#include "app/MainActions.h"
#include "app/MainBody.h"
#include "link/ExchangeGuard.h"
#include "settings/ui/MainFrame.h"
#include "settings/ui/PageUndo.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>
#include <QToolBar>

MainUndo::MainUndo(const Parts &parts, QObject *parent)
    : QObject(parent), m_actions(parts.actions), m_body(parts.body), m_guard(parts.guard)
{
    m_undo = new PageUndo(m_body.frame1(), this);
    QAction *undo = m_actions["Undo1"];
    QAction *redo = m_actions["Redo1"];

    // Between "&File" and "&Options", where every desktop program keeps it.
    QMenu *options = parts.optionsMenu;
    auto *bar = qobject_cast<QMenuBar *>(options->parentWidget());
    m_editMenu = new QMenu(QStringLiteral("&Edit"), bar);
    m_editMenu->setObjectName(QStringLiteral("EditSubMenu"));
    m_editMenu->setToolTipsVisible(true);
    m_editMenu->addAction(undo);
    m_editMenu->addAction(redo);
    if (bar)
        bar->insertMenu(options->menuAction(), m_editMenu);

    // On the tool bar after Open and Save.
    if (QToolBar *tools = parts.tools) {
        QAction *read = m_actions["ReadFromTraction1"];
        tools->insertAction(read, undo);
        tools->insertAction(read, redo);
        tools->insertSeparator(read);
    }

    connect(undo, &QAction::triggered, this, &MainUndo::Undo1Execute);
    connect(redo, &QAction::triggered, this, &MainUndo::Redo1Execute);
    connect(m_undo, &PageUndo::availabilityChanged, this, &MainUndo::updateActions);
    // With the terminal shown the keys are the unit's (Ctrl+Z types 'Z'), and the pages are hidden.
    connect(m_body.pages(), &QStackedWidget::currentChanged, this, &MainUndo::updateActions);
    connect(m_undo, &PageUndo::stepped, this, parts.setModified);
    connect(&m_guard, &ExchangeGuard::runningChanged, this, &MainUndo::updateActions);
}

// While an exchange runs they do nothing, and look it.
void MainUndo::updateActions()
{
    const bool usable = m_body.pages()->currentWidget() == m_body.frame1() && !locked();
    m_actions["Undo1"]->setEnabled(usable && m_undo->canUndo());
    m_actions["Redo1"]->setEnabled(usable && m_undo->canRedo());
}

bool MainUndo::locked() const { return m_guard.running(); }

void MainUndo::pagesFilled(const SettingsImage &image, bool modified) { m_undo->reset(image, modified); }

void MainUndo::pagesWritten(const SettingsImage &written) { m_undo->markWritten(written); }

void MainUndo::pagesClean(const SettingsImage &image) { m_undo->markClean(image); }

void MainUndo::Undo1Execute()
{
    if (!locked())
        m_undo->undo();
}

void MainUndo::Redo1Execute()
{
    if (!locked())
        m_undo->redo();
}
