#pragma once

class MainActions;
class QAction;
class QMainWindow;
class QMenu;
class ToolbarDock;
class TRegistryRoutines;

// The main window's two bars: the menu bar (a tool bar in the top dock, row 0) and the navigator
// tool bar under it; their locking; and where they and the window were left at the last close.
class MainBars {
public:
    // Builds both bars into 'window' and handles Lock Toolbars, Free Toolbars and View Navigator Bar.
    // The layout is kept in 'options'.
    MainBars(QMainWindow &window, const MainActions &actions, TRegistryRoutines &options);

    QMenu *fileMenu() const { return m_fileMenu; }
    QMenu *optionsMenu() const { return m_optionsMenu; }
    QMenu *viewMenu() const { return m_viewMenu; }
    QMenu *helpMenu() const { return m_helpMenu; }
    QMenu *toolbarsMenu() const { return m_toolbarsMenu; }
    QAction *allowVirtualPorts() const { return m_allowVirtualPorts; }
    ToolbarDock *menuDock() const { return m_menuDock; }
    ToolbarDock *navigatorDock() const { return m_navigatorDock; }

    void setLocked(bool locked);
    bool locked() const;

    // The bars' floating states and positions, the lock, and the window's top and left.
    void restoreLayout();
    void storeLayout() const;

private:
    void buildMenus();
    void buildToolBar();

    QMainWindow &m_window;
    const MainActions &m_actions;
    TRegistryRoutines &m_options;
    QMenu *m_fileMenu = nullptr;
    QMenu *m_optionsMenu = nullptr;
    QMenu *m_viewMenu = nullptr;
    QMenu *m_helpMenu = nullptr;
    QMenu *m_toolbarsMenu = nullptr;
    QAction *m_allowVirtualPorts = nullptr;
    ToolbarDock *m_menuDock = nullptr;
    ToolbarDock *m_navigatorDock = nullptr;
};
