#pragma once

#include "app/MainActions.h"
#include "app/MainStatusBar.h"
#include "link/LinkHost.h"
#include "link/PortDirectory.h"
#include "link/TractionLink.h"
#include "settings/SettingsImage.h"

#include <QMainWindow>
#include <QString>

#include <array>
#include <memory>

class QFrame;
class QMenu;
class QStackedWidget;
class QTimer;
class QToolBar;
class TCOMPortForm;
class TGraphChart;
class ToolbarDock;

// The program's frame: it owns the settings image, the link to the unit and the shared status,
// lock and title mechanisms every exchange and file action reports through.
class TAFrame;

class TForm1 : public QMainWindow, public LinkHost {
    Q_OBJECT
public:
    // 'directory' lists the serial ports; null means the system's own (a test passes a fake).
    explicit TForm1(std::unique_ptr<PortDirectory> directory = nullptr, QWidget *parent = nullptr);
    ~TForm1() override;

    // Status message in green, or red with 'isError'; activity message in the neutral colours.
    void ShowStatus(const QString &text, bool isError);
    void ShowActivity(const QString &text);
    void LockMenus();
    void UnlockMenus();
    // true: "Veltorane Traction : <file name>"; false: "Veltorane Traction : Terminal".
    void UpdateTitleBar(bool fileForm);
    // The settings file commands of the File menu.
    void Open1Execute();
    void Import1Execute();
    void Save1Execute();
    void SaveAs1Execute();

    // "%d.%d.%d.%d" of the program's version.
    static QString GetVer();

    bool Modified() const { return m_modified; }
    bool SettingsLoaded() const { return m_settingsLoaded; }
    QString CurrentFileName() const { return m_currentFileName; }
    void setCurrentFileName(const QString &path) { m_currentFileName = path; }
    std::array<char, 10> &FirmwareVersion() { return m_firmwareVersion; }

    QAction *action(const char *name) const { return m_actions[name]; }
    const MainActions &actions() const { return m_actions; }
    // The sub-menus LockMenus disables: "Toolbars", "COM Ports", "&File", "&Help", "&View", "&Options".
    QList<QMenu *> lockedMenus() const;
    MainStatusBar *statusBar1() const { return m_statusBar; }
    QTimer *MessageViewTimer() const { return m_messageViewTimer; }
    QTimer *ProgressBarTimer() const { return m_progressBarTimer; }
    TractionLink &link() { return *m_link; }
    TGraphChart *graphChart() const { return m_graph; }
    ToolbarDock *menuBarDock() const { return m_menuDock; }
    ToolbarDock *navigatorDock() const { return m_navigatorDock; }
    bool toolbarsLocked() const;

    // LinkHost
    SettingsImage &tractionMemory() override { return m_tractionMemory; }
    void showStatus(const QString &text, bool isError) override { ShowStatus(text, isError); }
    void showActivity(const QString &text) override { ShowActivity(text); }
    void setProgressMaximum(int maximum) override;
    void setProgressPosition(int position) override;
    void stepProgress(int by) override;
    int progressMaximum() const override;
    void lockMenus() override { LockMenus(); }
    void unlockMenus() override { UnlockMenus(); }
    void stopMessageTimer() override;
    void startMessageTimer() override;
    void setModified(bool modified) override;
    void setSettingsLoaded(bool loaded) override { m_settingsLoaded = loaded; }
    void fillPagesFromImage() override;
    bool copyPagesToImage() override;
    void updateTitleBar(bool fileForm) override { UpdateTitleBar(fileForm); }
    void showFirmwareVersion(const QString &version) override;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool event(QEvent *event) override;

private:
    void buildMenus();
    void buildToolBar();
    void restoreLayout();
    void storeLayout();
    void setToolbarsLocked(bool locked);
    void messageViewTimerFired();
    void FormShow();
    void paintActiveBar();
    void connectFileActions();
    void loadSettingsFile(bool traOnly);
    bool writeSettingsFile(const QString &path);

    SettingsImage m_tractionMemory;
    bool m_modified = false;
    bool m_settingsLoaded = false;
    QString m_currentFileName;
    QString m_fileFolder;  // where the file dialogs open: the folder last chosen in them
    std::array<char, 10> m_firmwareVersion{};

    MainActions m_actions;
    MainStatusBar *m_statusBar;
    QTimer *m_messageViewTimer;
    QTimer *m_progressBarTimer;
    ToolbarDock *m_menuDock = nullptr;
    ToolbarDock *m_navigatorDock = nullptr;
    QToolBar *m_menuBar = nullptr;
    QMenu *m_fileMenu = nullptr;
    QMenu *m_optionsMenu = nullptr;
    QMenu *m_viewMenu = nullptr;
    QMenu *m_helpMenu = nullptr;
    QMenu *m_toolbarsMenu = nullptr;
    QAction *m_allowVirtualPorts = nullptr;
    QFrame *m_shape1 = nullptr;
    QStackedWidget *m_pages = nullptr;
    TAFrame *m_frame1 = nullptr;
    QWidget *m_frame2 = nullptr;
    bool m_shown = false;

    std::unique_ptr<PortDirectory> m_directory;
    std::unique_ptr<TractionLink> m_link;
    TCOMPortForm *m_comPortForm = nullptr;
    TGraphChart *m_graph = nullptr;
};
