#include "graph/ui/GraphForm.h"

#include "widgets/ToolbarDock.h"
#include "graph/ui/GraphAnalysis.h"
#include "platform/RegistryRoutinesUnit.h"

#include <QAction>
#include <QMenuBar>
#include <QToolBar>

namespace {

using BarRow = CommandRow<TGraphChart>;
// clang-format off
constexpr BarRow BarCommands[] = {
    {"Load3", "&Open", "Ctrl+O", "Open a previously saved log file", "document-open", "open", true, [](TGraphChart &g) { g.Load3Execute(); }},
    {"Save3", "&Save", "Ctrl+S", "Save Current log file", "document-save", "save", true, [](TGraphChart &g) { g.Save3Execute(); }},
    {"Print3", "&Print", "Ctrl+P", "Print current graph screen", "document-print", "print", true, [](TGraphChart &g) { g.Print3Execute(); }},
    {"Export3", "Exp&ort", "", "", "", "export", true, [](TGraphChart &g) { g.Export3Execute(); }},
    {"Exit3", "E&xit Graph window", "Ctrl+X", "Close graph screen", "window-close", "exit", true, [](TGraphChart &g) { g.close(); }},
    {"RPMSetup1", "&RPM Setup", "", "", "", nullptr, true, [](TGraphChart &g) { g.RPMSetup1Execute(); }},
    {"WS_Setup1", "&Wheel Speed Setup", "", "", "", nullptr, true, [](TGraphChart &g) { g.WS_Setup1Execute(); }},
    {"CutLevelSetup1", "&Cut Level Setup", "", "", "", nullptr, true, [](TGraphChart &g) { g.CutLevelSetup1Execute(); }},
    {"TimeSetup1", "&Time Setup", "", "", "", nullptr, true, [](TGraphChart &g) { g.TimeSetup1Execute(); }},
    {"RealTimeStart3", "R&eal Time Start", "", "Start real time diagnostics", "", "realtime-start", true, [](TGraphChart &g) { g.RealTimeStart3Execute(); }},
    {"RealTimeStop3", "Real Time &Stop", "", "Stop real time diagnostics", "", "realtime-stop", false, [](TGraphChart &g) { g.RealTimeStop3Execute(); }},
    {"WholeRun3", "&Whole Run", "", "Show every frame of the last live run", "", nullptr, false, [](TGraphChart &g) { g.WholeRun3Execute(); }},
    {"ViewNavigatorBar3", "View &Navigatorbar", "", "", "", "navigator", true, [](TGraphChart &g) { g.ViewNavigatorBar3Execute(); }},
    {"LockToolBar3", "Lock Toolbars", "", "", "", "lock", true, [](TGraphChart &g) { g.setToolbarsLocked(true); }},
    {"FreeToolBar3", "Free Toolbars", "", "", "", "unlock", true, [](TGraphChart &g) { g.setToolbarsLocked(false); }},
};
// clang-format on

}  // namespace

void TGraphChart::buildActions()
{
    const CommandActions actions = makeCommands<TGraphChart>(BarCommands, *this, this);
    m_lock = actions.value(QStringLiteral("LockToolBar3"));
    m_free = actions.value(QStringLiteral("FreeToolBar3"));
    m_wholeRun = actions.value(QStringLiteral("WholeRun3"));
    buildMenus(actions);
    auto *tools = new QToolBar(QStringLiteral("NavigatorBar2"));
    tools->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    addCommands(tools, actions, {"Load3", "Save3", "-", "RealTimeStart3", "RealTimeStop3", "-", "Print3"});
    m_navigator = new ToolbarDock(QStringLiteral("NavigatorBar2"), tools, true, this);
    m_navigator->setObjectName(QStringLiteral("NavigatorBar2"));
    addDockWidget(Qt::TopDockWidgetArea, m_navigator);
    splitDockWidget(m_menuBar2, m_navigator, Qt::Vertical);
}

void TGraphChart::buildMenus(const CommandActions &actions)
{
    auto *menus = new QMenuBar;
    addCommands(menus->addMenu(QStringLiteral("&File")), actions,
                {"Load3", "Save3", "-", "Print3", "-", "Export3", "-", "Exit3"});
    QMenu *options = menus->addMenu(QStringLiteral("&Options"));
    addCommands(options->addMenu(QStringLiteral("&Axis")), actions,
                {"RPMSetup1", "WS_Setup1", "CutLevelSetup1", "TimeSetup1"});
    addCommands(options, actions, {"RealTimeStart3", "RealTimeStop3"});
    QMenu *view = menus->addMenu(QStringLiteral("&View"));
    addCommands(view, actions, {"WholeRun3"});
    m_analysis->addTimeAxisOption(view);
    addCommands(view->addMenu(QStringLiteral("Toolbars")), actions,
                {"ViewNavigatorBar3", "LockToolBar3", "FreeToolBar3"});
    m_analysis->fillMenu(menus->addMenu(QStringLiteral("A&nalysis")));
    menus->setNativeMenuBar(false);
    m_menuBar2 = new ToolbarDock(QStringLiteral("MenuBar2"), menus, false, this);  // no close button
    m_menuBar2->setObjectName(QStringLiteral("MenuBar2"));
    addDockWidget(Qt::TopDockWidgetArea, m_menuBar2);
}

void TGraphChart::ViewNavigatorBar3Execute() { m_navigator->dock(); }

void TGraphChart::readLayout()
{
    const bool locked = restoreBars(m_options, graphMenuKeys(), m_menuBar2, m_navigator);
    move(m_options.read(RegistryKeys::GraphLeft), m_options.read(RegistryKeys::GraphTop));
    setToolbarsLocked(locked);
    showFloatingBars(false);  // a floating bar appears with the window, not at program start
}

void TGraphChart::showFloatingBars(bool on)
{
    for (ToolbarDock *bar : {m_menuBar2, m_navigator})
        if (bar->isFloating())
            bar->setVisible(on);
}

void TGraphChart::writeLayout()
{
    storeBars(m_options, graphMenuKeys(), m_menuBar2, m_navigator, toolbarsLocked());
    m_options.write(RegistryKeys::GraphTop, y());
    m_options.write(RegistryKeys::GraphLeft, x());
}

void TGraphChart::setToolbarsLocked(bool locked)
{
    m_menuBar2->setLocked(locked);
    m_navigator->setLocked(locked);
    m_free->setVisible(locked);
    m_lock->setVisible(!locked);
}

bool TGraphChart::toolbarsLocked() const { return m_free->isVisible(); }
