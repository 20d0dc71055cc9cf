#include "app/MainBars.h"

#include "app/MainActions.h"
#include "platform/RegistryRoutinesUnit.h"
#include "print/AppFonts.h"
#include "widgets/ToolbarDock.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace {

// Entries of a menu: an action name, or "" for a separator.
void fill(QMenu *menu, const MainActions &actions, std::initializer_list<const char *> names)
{
    for (const char *name : names) {
        if (*name)
            menu->addAction(actions[name]);
        else
            menu->addSeparator();
    }
}

QFont barFont() { return windowsFont(QStringLiteral("Tahoma"), 11); }

}  // namespace

MainBars::MainBars(QMainWindow &window, const MainActions &actions, TRegistryRoutines &options)
    : m_window(window), m_actions(actions), m_options(options)
{
    buildMenus();
    buildToolBar();
    hideDockSeparators(&m_window);
    QObject::connect(m_actions["LockToolbars1"], &QAction::triggered, &m_window, [this] { setLocked(true); });
    QObject::connect(m_actions["FreeToolBars1"], &QAction::triggered, &m_window, [this] { setLocked(false); });
    QObject::connect(m_actions["ViewNavigatorBar"], &QAction::triggered, &m_window,
                     [this] { m_navigatorDock->dock(); });
}

void MainBars::buildMenus()
{
    auto *bar = new QMenuBar;
    bar->setNativeMenuBar(false);
    bar->setFont(barFont());
    m_fileMenu = bar->addMenu(QStringLiteral("&File"));
    m_fileMenu->setObjectName(QStringLiteral("FileSubMenu"));
    fill(m_fileMenu, m_actions,
         {"Open1", "Save1", "SaveAs1", "", "PrinterSetup1", "Print1", "", "Email1", "Import1", "", "Exit1"});
    m_optionsMenu = bar->addMenu(QStringLiteral("&Options"));
    m_optionsMenu->setObjectName(QStringLiteral("TBSubmenuItem1"));
    fill(m_optionsMenu, m_actions, {"", "ReadFromTraction1", "WriteToTraction1", ""});
    m_allowVirtualPorts = m_optionsMenu->addAction(QStringLiteral("&Virtual Ports"));
    m_allowVirtualPorts->setObjectName(QStringLiteral("AllowVirtualComPorts"));
    m_allowVirtualPorts->setCheckable(true);
    m_allowVirtualPorts->setChecked(m_options.read(RegistryKeys::AllowVirtualPorts) != 0);
    m_viewMenu = bar->addMenu(QStringLiteral("&View"));
    m_viewMenu->setObjectName(QStringLiteral("ViewSubMenu"));
    m_toolbarsMenu = m_viewMenu->addMenu(QStringLiteral("Toolbars"));
    m_toolbarsMenu->setObjectName(QStringLiteral("TBSubmenuItem20"));
    fill(m_toolbarsMenu, m_actions, {"ViewNavigatorBar", "FreeToolBars1", "LockToolbars1"});
    fill(m_viewMenu, m_actions, {"Terminal1", "TerminalClose1", "Graph1"});
    m_helpMenu = bar->addMenu(QStringLiteral("&Help"));
    m_helpMenu->setObjectName(QStringLiteral("HelpSubMenu"));
    fill(m_helpMenu, m_actions, {"HelpContents1", "FeedBack1", "", "About2"});
    for (QMenu *menu : {m_fileMenu, m_optionsMenu, m_viewMenu, m_helpMenu, m_toolbarsMenu})
        menu->setToolTipsVisible(true);

    m_menuDock = new ToolbarDock(QStringLiteral("MenuBar"), bar, false, &m_window);
    m_menuDock->setObjectName(QStringLiteral("MenuBar"));
    m_window.addDockWidget(Qt::TopDockWidgetArea, m_menuDock);
}

void MainBars::buildToolBar()
{
    auto *bar = new QToolBar(QStringLiteral("Navigator Bar"));
    bar->setObjectName(QStringLiteral("NavigatorBarTools"));
    bar->setIconSize(QSize(24, 24));
    bar->setFont(barFont());
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (const char *name : {"Open1", "Save1"}) {
        auto *button = new QToolButton;
        button->setDefaultAction(m_actions[name]);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setAutoRaise(true);
        bar->addWidget(button);
    }
    bar->addSeparator();
    bar->addAction(m_actions["ReadFromTraction1"]);
    bar->addAction(m_actions["WriteToTraction1"]);
    bar->addSeparator();
    for (const char *name : {"Graph1", "Terminal1", "TerminalClose1", "Print1", "ClipBoardCopy1", "Clear1"})
        bar->addAction(m_actions[name]);
    m_navigatorDock = new ToolbarDock(QStringLiteral("Navigator Bar"), bar, true, &m_window);
    m_navigatorDock->setObjectName(QStringLiteral("NavigatorBar"));
    m_window.addDockWidget(Qt::TopDockWidgetArea, m_navigatorDock);
    m_window.splitDockWidget(m_menuDock, m_navigatorDock, Qt::Vertical);
    // The tool dock is 74 pixels high; the tool bar's row takes what the menu bar leaves.
    bar->setFixedHeight(74 - m_menuDock->sizeHint().height());
}

void MainBars::setLocked(bool locked)
{
    m_menuDock->setLocked(locked);
    m_navigatorDock->setLocked(locked);
    m_actions["FreeToolBars1"]->setVisible(locked);
    m_actions["LockToolbars1"]->setVisible(!locked);
}

bool MainBars::locked() const { return m_actions["FreeToolBars1"]->isVisible(); }

void MainBars::restoreLayout()
{
    const bool locked = restoreBars(m_options, mainMenuKeys(), m_menuDock, m_navigatorDock);
    m_window.move(m_options.read(RegistryKeys::ProgramLeft), m_options.read(RegistryKeys::ProgramTop));
    setLocked(locked);
}

void MainBars::storeLayout() const
{
    storeBars(m_options, mainMenuKeys(), m_menuDock, m_navigatorDock, locked());
    m_options.write(RegistryKeys::ProgramTop, m_window.y());
    m_options.write(RegistryKeys::ProgramLeft, m_window.x());
}
