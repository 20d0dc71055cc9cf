#include "app/MainUndo.h"

#include "app/Main.h"
#include "app/MainBars.h"
#include "app/MainBody.h"
#include "link/ExchangeGuard.h"
#include "settings/ui/MainFrame.h"
#include "settings/ui/PageUndo.h"
#include "widgets/ToolbarDock.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>
#include <QToolBar>

MainUndo::MainUndo(TForm1 &window) : QObject(&window), m_window(window)
{
    m_undo = new PageUndo(window.frame1(), this);
    QAction *undo = window.action("Undo1");
    QAction *redo = window.action("Redo1");

    // Between "&File" and "&Options", where every desktop program keeps it.
    QMenu *options = window.bars().optionsMenu();
    auto *bar = qobject_cast<QMenuBar *>(options->parentWidget());
    m_editMenu = new QMenu(QStringLiteral("&Edit"), bar);
    m_editMenu->setObjectName(QStringLiteral("EditSubMenu"));
    m_editMenu->setToolTipsVisible(true);
    m_editMenu->addAction(undo);
    m_editMenu->addAction(redo);
    if (bar)
        bar->insertMenu(options->menuAction(), m_editMenu);

    // On the tool bar after Open and Save.
    if (auto *tools = window.navigatorDock()->findChild<QToolBar *>(QStringLiteral("NavigatorBarTools"))) {
        QAction *read = window.action("ReadFromTraction1");
        tools->insertAction(read, undo);
        tools->insertAction(read, redo);
        tools->insertSeparator(read);
    }

    connect(undo, &QAction::triggered, this, &MainUndo::Undo1Execute);
    connect(redo, &QAction::triggered, this, &MainUndo::Redo1Execute);
    connect(m_undo, &PageUndo::availabilityChanged, this, &MainUndo::updateActions);
    // With the terminal shown the keys are the unit's (Ctrl+Z types 'Z'), and the pages are hidden.
    connect(window.body()->pages(), &QStackedWidget::currentChanged, this, &MainUndo::updateActions);
    connect(m_undo, &PageUndo::stepped, this, [this](bool modified) { m_window.setModified(modified); });
    connect(&window.link().guard(), &ExchangeGuard::runningChanged, this, &MainUndo::updateActions);
}

// While an exchange runs they do nothing, and look it.
void MainUndo::updateActions()
{
    const bool usable = m_window.body()->pages()->currentWidget() == m_window.frame1() && !locked();
    m_window.action("Undo1")->setEnabled(usable && m_undo->canUndo());
    m_window.action("Redo1")->setEnabled(usable && m_undo->canRedo());
}

bool MainUndo::locked() const { return m_window.link().guard().running(); }

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
