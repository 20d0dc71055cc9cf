#include "graph/ui/GraphForm.h"

#include "widgets/AppIcons.h"
#include "widgets/ToolbarDock.h"
#include "graph/ui/GraphAnalysis.h"
#include "platform/RegistryRoutinesUnit.h"

#include <QAction>
#include <QMenuBar>
#include <QToolBar>

void TGraphChart::buildActions()
{
    // icon: a desktop theme name (may be empty) and the main window's shipped picture
    auto act = [this](const char *name, const QString &caption, const QKeySequence &key,
                      const QString &hint, std::pair<const char *, const char *> icon, auto handler) {
        auto *a = new QAction(caption, this);
        a->setObjectName(QString::fromLatin1(name));
        if (icon.second)
            a->setIcon(appIcon(icon.first, icon.second));
        if (!key.isEmpty())
            a->setShortcut(key);
        a->setStatusTip(hint);
        a->setToolTip(hint.isEmpty() ? QString(caption).remove(u'&') : hint);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    using Icon = std::pair<const char *, const char *>;
    const Icon none{"", nullptr};
    QAction *load = act("Load3", "&Open", QKeySequence("Ctrl+O"), "Open a previously saved log file", Icon{"document-open", "open"}, &TGraphChart::Load3Execute);
    QAction *save = act("Save3", "&Save", QKeySequence("Ctrl+S"), "Save Current log file", Icon{"document-save", "save"}, &TGraphChart::Save3Execute);
    QAction *print = act("Print3", "&Print", QKeySequence("Ctrl+P"), "Print current graph screen", Icon{"document-print", "print"}, &TGraphChart::Print3Execute);
    QAction *exportAct = act("Export3", "Exp&ort", {}, {}, Icon{"", "export"}, &TGraphChart::Export3Execute);
    QAction *exit = act("Exit3", "E&xit Graph window", QKeySequence("Ctrl+X"), "Close graph screen", Icon{"window-close", "exit"}, &QWidget::close);
    QAction *rpm = act("RPMSetup1", "&RPM Setup", {}, {}, none, &TGraphChart::RPMSetup1Execute);
    QAction *ws = act("WS_Setup1", "&Wheel Speed Setup", {}, {}, none, &TGraphChart::WS_Setup1Execute);
    QAction *cut = act("CutLevelSetup1", "&Cut Level Setup", {}, {}, none, &TGraphChart::CutLevelSetup1Execute);
    QAction *time = act("TimeSetup1", "&Time Setup", {}, {}, none, &TGraphChart::TimeSetup1Execute);
    QAction *start = act("RealTimeStart3", "R&eal Time Start", {}, "Start real time diagnostics", Icon{"", "realtime-start"}, &TGraphChart::RealTimeStart3Execute);
    QAction *stop = act("RealTimeStop3", "Real Time &Stop", {}, "Stop real time diagnostics", Icon{"", "realtime-stop"}, &TGraphChart::RealTimeStop3Execute);
    stop->setEnabled(false);
    QAction *viewNav = act("ViewNavigatorBar3", "View &Navigatorbar", {}, {}, Icon{"", "navigator"},
                           [this] { m_navigator->dock(); });
    m_lock = act("LockToolBar3", "Lock Toolbars", {}, {}, Icon{"", "lock"}, [this] { setToolbarsLocked(true); });
    m_free = act("FreeToolBar3", "Free Toolbars", {}, {}, Icon{"", "unlock"}, [this] { setToolbarsLocked(false); });

    auto *menus = new QMenuBar;
    QMenu *file = menus->addMenu(QStringLiteral("&File"));
    file->addActions({load, save});
    file->addSeparator();
    file->addAction(print);
    file->addSeparator();
    file->addAction(exportAct);
    file->addSeparator();
    file->addAction(exit);
    QMenu *options = menus->addMenu(QStringLiteral("&Options"));
    options->addMenu(QStringLiteral("&Axis"))->addActions({rpm, ws, cut, time});
    options->addActions({start, stop});
    QMenu *view = menus->addMenu(QStringLiteral("&View"));
    view->addMenu(QStringLiteral("Toolbars"))->addActions({viewNav, m_lock, m_free});
    m_analysis->fillMenu(menus->addMenu(QStringLiteral("A&nalysis")));
    menus->setNativeMenuBar(false);
    m_menuBar2 = new ToolbarDock(QStringLiteral("MenuBar2"), menus, false, this);  // no close button
    m_menuBar2->setObjectName(QStringLiteral("MenuBar2"));
    addDockWidget(Qt::TopDockWidgetArea, m_menuBar2);
    auto *tools = new QToolBar(QStringLiteral("NavigatorBar2"));
    tools->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    tools->addActions({load, save});
    tools->addSeparator();
    tools->addActions({start, stop});
    tools->addSeparator();
    tools->addAction(print);
    m_navigator = new ToolbarDock(QStringLiteral("NavigatorBar2"), tools, true, this);
    m_navigator->setObjectName(QStringLiteral("NavigatorBar2"));
    addDockWidget(Qt::TopDockWidgetArea, m_navigator);
    splitDockWidget(m_menuBar2, m_navigator, Qt::Vertical);
}

void TGraphChart::readLayout()
{
    const bool locked = restoreBars(graphMenuKeys(), m_menuBar2, m_navigator);
    move(TRegistryRoutines::read(RegistryKeys::GraphLeft), TRegistryRoutines::read(RegistryKeys::GraphTop));
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
    storeBars(graphMenuKeys(), m_menuBar2, m_navigator, toolbarsLocked());
    TRegistryRoutines::write(RegistryKeys::GraphTop, y());
    TRegistryRoutines::write(RegistryKeys::GraphLeft, x());
}

void TGraphChart::setToolbarsLocked(bool locked)
{
    m_menuBar2->setLocked(locked);
    m_navigator->setLocked(locked);
    m_free->setVisible(locked);
    m_lock->setVisible(!locked);
}

bool TGraphChart::toolbarsLocked() const { return m_free->isVisible(); }
