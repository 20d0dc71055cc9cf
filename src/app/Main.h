#pragma once

#include "app/MainActions.h"
#include "app/MainStatusBar.h"
#include "link/LinkHost.h"
#include "link/PortDirectory.h"
#include "link/TractionLink.h"
#include "settings/SettingsImage.h"

#include <QMainWindow>
#include <QString>

#include <memory>

class AskFirst;
class ExchangeLock;
class MainActiveBar;
class MainBars;
class MainBody;
class MainMessages;
class MainSafeWrite;
class MainTerminal;
class MainUndo;
class MessageLogWindow;
class MainHistory;
class MainRuns;
class QMenu;
class QPrinter;
class QTimer;
class TAFrame;
class TCOMPortForm;
class TGraphChart;
class TManual;
class TPrinterForm;
class ToolbarDock;
class TRegistryRoutines;

// The program's frame: it owns the settings image, the link to the unit and the flags every
// exchange and file action reports through. Each concern lives in a helper of its own (bars and
// their layout, the body, the messages, the exchange lock, the active-window bar, the file
// commands); the window creates them in order and wires them to its actions.
class TForm1 : public QMainWindow, public LinkHost {
    Q_OBJECT
public:
    // 'options' is the option store, which must outlive the window; 'directory' lists the serial
    // ports, null meaning the system's own (a test passes a fake).
    explicit TForm1(TRegistryRoutines &options, std::unique_ptr<PortDirectory> directory = nullptr,
                    QWidget *parent = nullptr);
    ~TForm1() override;

    // Status message in green, or red with 'isError'; activity message in the neutral colours.
    // Each status message goes into the message log with its reason, where one is known.
    void ShowStatus(const QString &text, bool isError, const QString &reason = {});
    void ShowActivity(const QString &text);
    void LockMenus();
    void UnlockMenus();
    // true: "Veltorane Traction : <file name>"; false: "Veltorane Traction : Terminal".
    void UpdateTitleBar(bool fileForm);
    // The settings file commands of the File menu.
    void Open1Execute();
    // Opens a settings file named on the command line, as File, Open does with the file chosen.
    void openSettingsFile(const QString &fileName);
    void Import1Execute();
    void Save1Execute();
    void SaveAs1Execute();
    // The data logger buttons of the "Data logging " page: the upload into the graph and the clear.
    void Frame1DL_UploadBtnClick();
    void DL_UploadBtnClick();
    void DL_Clear_RamClick();
    // Printing, mail, the manual and the about box (MainPrint.cpp, MainHelp.cpp).
    void Print1Execute();
    void PrinterSetup1Execute();
    bool PrintLines(const QStringList &lines, QString *error);
    void Email1Execute();
    void FeedBack1Execute();
    void HelpContents1Execute();
    // The manual opened at a chapter or section ("Wheels", "The graph window"), as F1 does over a
    // page or a window; an open manual goes there without loading again.
    void showManualAt(const QString &chapter);
    // The chapter F1 opens the main window's manual at: the page shown, or the terminal.
    QString manualChapterHere() const;
    void About2Execute();
    // View, "Messages" and a click on the message area: the message log.
    void Messages1Execute();
    MessageLogWindow *messageLogWindow() const { return m_messageLog; }

    // How long closing the window waits for a running exchange to end the way the unit expects.
    static constexpr int CloseBoundMs = 2000;

    // "%d.%d.%d.%d" of the program's version.
    static QString GetVer();

    bool Modified() const { return m_modified; }
    bool SettingsLoaded() const { return m_settingsLoaded; }
    QString CurrentFileName() const { return m_currentFileName; }
    void setCurrentFileName(const QString &path) { m_currentFileName = path; }

    QAction *action(const char *name) const { return m_actions[name]; }
    // The sub-menus LockMenus disables: "Toolbars", "COM Ports", "&File", "&Help", "&View", "&Options", "&Edit".
    QList<QMenu *> lockedMenus() const;
    MainStatusBar *statusBar1() const { return m_statusBar; }
    QTimer *MessageViewTimer() const;
    TractionLink &link() { return *m_link; }
    TGraphChart *graphChart() const { return m_graph; }
    TCOMPortForm *comPortForm() const { return m_comPortForm; }
    MainBars &bars() const { return *m_bars; }
    MainBody *body() const { return m_body; }
    MainMessages &messages() const { return *m_messages; }
    MainHistory *history() const { return m_history; }
    MainRuns *runs() const { return m_runs; }
    MainSafeWrite &safeWrite() const { return *m_safeWrite; }
    TAFrame *frame1() const;
    ToolbarDock *menuBarDock() const;
    ToolbarDock *navigatorDock() const;
    TPrinterForm *printerForm() const { return m_printerForm; }
    TManual *manual() const { return m_manual; }
    bool toolbarsLocked() const;

    // LinkHost
    SettingsImage &tractionMemory() override { return m_tractionMemory; }
    void showStatus(const QString &text, bool isError) override { ShowStatus(text, isError); }
    void showStatusWithReason(const QString &text, bool isError, const QString &reason) override
    {
        ShowStatus(text, isError, reason);
    }
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
    void settingsWritten(const SettingsImage &written) override;
    void setSettingsLoaded(bool loaded) override { m_settingsLoaded = loaded; }
    void fillPagesFromImage() override;
    bool copyPagesToImage() override;
    void updateTitleBar(bool fileForm) override { UpdateTitleBar(fileForm); }
    bool terminalVisible() const override;
    void terminalReceive(const QByteArray &shown) override;
    bool realTimeVisible() const override;
    void liveFrame(const std::array<quint8, 6> &frame) override;
    void liveTextSkipped() override;
    void logImageUploaded(const QByteArray &logImage) override;
    void verifyFailed(const QList<SettingChange> &differences, bool answered) override;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;

private:
    void FormShow();
    // Read Settings as the menu runs it: the read, the warning of implausible values, the history.
    bool readSettings();
    void makeEditHelpers();
    void makeReadWrite();
    void connectGraphToLink();
    void connectExchangeGuard();
    void connectMessages();
    void applyModified(bool modified);
    void connectFileActions();
    void loadSettingsFile(bool traOnly);
    bool mayReplacePages();
    static bool queueAccepts(const QPrinter &printer, QString *error);
    // False when the system refused the file (said in the error box, no status shown).
    bool loadSettingsFrom(const QString &fileName, bool traOnly);
    bool writeSettingsFile(const QString &path);
    void connectLoggerButtons();
    void connectShellActions();
    void BuildPrintPage();
    QPrinter &printer();
    QStringList terminalLines() const;

    TRegistryRoutines &m_options;
    SettingsImage m_tractionMemory;
    bool m_modified = false;
    bool m_settingsLoaded = false;
    QString m_currentFileName;
    QString m_fileFolder;  // where the file dialogs open: the folder last chosen in them

    MainActions m_actions;
    std::unique_ptr<PortDirectory> m_directory;
    std::unique_ptr<TractionLink> m_link;
    TCOMPortForm *m_comPortForm = nullptr;
    TGraphChart *m_graph = nullptr;
    MainBody *m_body = nullptr;
    std::unique_ptr<MainBars> m_bars;
    MainStatusBar *m_statusBar = nullptr;
    MainMessages *m_messages = nullptr;
    std::unique_ptr<ExchangeLock> m_lock;
    std::unique_ptr<MainActiveBar> m_activeBar;  // gone before the graph window it watches
    MainTerminal *m_terminal = nullptr;
    MainUndo *m_undo = nullptr;
    MainHistory *m_history = nullptr;
    MainRuns *m_runs = nullptr;
    MainSafeWrite *m_safeWrite = nullptr;
    bool m_shown = false;
    bool m_closeAfterExchange = false;
    TPrinterForm *m_printerForm = nullptr;
    TManual *m_manual = nullptr;
    MessageLogWindow *m_messageLog = nullptr;
    std::unique_ptr<QPrinter> m_printer;
    AskFirst *m_askClear = nullptr;
};
