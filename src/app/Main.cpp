#include "app/Main.h"

#include "app/ExchangeLock.h"
#include "app/MainActiveBar.h"
#include "app/MainBars.h"
#include "app/MainBody.h"
#include "app/MainMessages.h"
#include "app/MainSafeWrite.h"
#include "app/MainTerminal.h"
#include "app/MainHistory.h"
#include "app/MainRuns.h"
#include "app/MainUndo.h"
#include "app/MessageLogWindow.h"
#include "app/ManualForm.h"
#include "app/PrintForm.h"
#include "graph/ui/GraphForm.h"
#include "link/PortDirectory.h"
#include "link/StatusMessages.h"
#include "link/TractionLink.h"
#include "link/ui/COMPortUnitUnit.h"
#include "platform/RegistryRoutinesUnit.h"
#include "settings/ui/MainFrame.h"
#include "widgets/AskFirst.h"
#include "widgets/AccessibleNames.h"
#include "widgets/Dialogs.h"
#include "widgets/ToolTipDelay.h"
#include "widgets/ToolbarDock.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QTimer>
#include <QFileInfo>
#include <QMenu>
#include <QPrinter>
#include <QStackedWidget>
#include <QToolBar>

namespace {

constexpr const char *CloseQuestion = "Changed data has not been saved\n\r           or sent to unit.\n\r\n\r"
                                      " Do you still want to close\n\r         this program ?";
constexpr const char *TitlePrefix = "Veltorane Traction : ";

}  // namespace

TForm1::TForm1(TRegistryRoutines &options, std::unique_ptr<PortDirectory> directory, QWidget *parent)
    : QMainWindow(parent), m_options(options), m_actions(this), m_directory(std::move(directory))
{
    AccessibleNames::installListNames();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Veltorane Traction"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    if (!m_directory)
        m_directory = std::make_unique<LinuxPortDirectory>(m_options.configFolder(), m_options);
    m_link = std::make_unique<TractionLink>(*this);
    m_printerForm = new TPrinterForm(this);
    m_comPortForm = new TCOMPortForm(*m_link, *m_directory, m_options, this);
    m_graph = new TGraphChart(m_options, this);
    // A window of its own, not the main window's: a modal graph window would block it otherwise.
    m_manual = new TManual;
    connectGraphToLink();

    m_body = new MainBody;
    setCentralWidget(m_body);
    connect(m_body->frame1(), &TAFrame::modifiedChanged, this, [this](bool modified) {
        if (modified != m_modified)
            setModified(modified);
    });
    m_bars = std::make_unique<MainBars>(*this, m_actions, m_options);
    m_statusBar = new MainStatusBar;
    setStatusBar(m_statusBar);
    m_messages = new MainMessages(m_statusBar, this);
    m_lock = std::make_unique<ExchangeLock>(m_actions, m_link->guard(), [this] { return lockedMenus(); });
    connectExchangeGuard();
    makeEditHelpers();

    m_tractionMemory = SettingsImage::defaults();
    fillPagesFromImage();
    setModified(false);
    m_statusBar->setVersionText(GetVer());
    m_bars->restoreLayout();

    connectFileActions();
    connect(m_bars->allowVirtualPorts(), &QAction::triggered, this,
            [this] { m_comPortForm->AllowVirtualComPortsClick(m_bars->allowVirtualPorts()); });
    connectShellActions();
    connectMessages();
    connect(m_actions["Exit1"], &QAction::triggered, this, &QWidget::close);
    connect(m_actions["Graph1"], &QAction::triggered, m_graph, &QWidget::show);  // modal over this window
    makeReadWrite();
    m_activeBar = std::make_unique<MainActiveBar>(this, m_body->shape1(), m_graph);
    m_terminal = new MainTerminal({m_actions, *m_body, m_bars->optionsMenu(), m_options, *m_link, this,
                                   [this] { return m_modified; }, [this] { readSettings(); },
                                   [this](bool fileForm) { UpdateTitleBar(fileForm); }},
                                  this);
    connectLoggerButtons();
    setFixedSize(804, 540);
}

// Undo, the tune history and the runs library, each handed the parts of the window it works with.
void TForm1::makeEditHelpers()
{
    const auto setModified = [this](bool modified) { this->setModified(modified); };
    auto *tools = m_bars->navigatorDock()->findChild<QToolBar *>(QStringLiteral("NavigatorBarTools"));
    m_undo = new MainUndo({m_actions, *m_body, m_bars->optionsMenu(), tools, m_link->guard(), setModified}, this);
    m_history = new MainHistory({m_actions, m_bars->fileMenu(), m_options, m_tractionMemory, *m_link, *m_comPortForm,
                                 m_body->frame1(), m_undo->pages(), setModified, this},
                                this);
    m_runs = new MainRuns({m_bars->fileMenu(), m_bars->viewMenu(), m_bars->optionsMenu(), m_options, m_graph, *m_link,
                           m_tractionMemory, [this] { return m_currentFileName; }, *m_messages, this,
                           [this](const QString &chapter) { showManualAt(chapter); }},
                          this);
}

// Read and Write Settings with the guards around them.
void TForm1::makeReadWrite()
{
    m_safeWrite =
        new MainSafeWrite({m_bars->optionsMenu(), m_options, *m_link, m_tractionMemory, m_body->frame1(), this}, this);
    connect(m_actions["ReadFromTraction1"], &QAction::triggered, this,
            [this] { m_link->whenFree(Exchange::Read, [this] { readSettings(); }); });
    connect(m_actions["WriteToTraction1"], &QAction::triggered, this, [this] {
        m_link->whenFree(Exchange::Write, [this] {
            if (m_safeWrite->WriteToTraction1Execute())
                m_history->record(TuneHistory::Event::Write);
        });
    });
}

void TForm1::connectGraphToLink()
{
    m_graph->setSettingsSource([this]() -> const SettingsImage & { return m_tractionMemory; });
    m_graph->setDrainInput([this] {
        try {
            m_link->waits().DrainInput();
        } catch (const LinkAborted &) {  // the port is closing: nothing left to drain
        }
    });
    m_graph->setSendChar([this](quint8 byte) { return m_link->sendLiveRequest(byte); });
    m_graph->setRunGate([this](bool start) {
        if (start)
            return m_link->beginLiveRun();
        m_link->endLiveRun();
        return true;
    });
    connect(m_link.get(), &TractionLink::liveRunStopRequested, m_graph, &TGraphChart::RealTimeStop3Execute);
}

void TForm1::connectExchangeGuard()
{
    // A door knocked while an exchange runs is refused by the link; the user hears it.
    connect(&m_link->guard(), &ExchangeGuard::refused, this, [] { QApplication::beep(); });
    // The sequences lock and unlock the menus themselves; the live run, which runs on the graph
    // window's timers, is locked here for as long as it holds the line.
    connect(&m_link->guard(), &ExchangeGuard::runningChanged, this, [this](bool running) {
        if (running && m_link->guard().current() == Exchange::LiveRun)
            LockMenus();
        else if (!running && m_lock->shownLocked())
            UnlockMenus();
    });
}

// Where status messages come from besides the exchanges and file commands, and the message log.
void TForm1::connectMessages()
{
    m_options.setFailureReporter([this](const QString &why) {
        ShowStatus(QLatin1String(StatusMessages::OptionsNotStored), true, why);
        startMessageTimer();
    });

    m_comPortForm->setLostSaid([this](const QString &) {
        // The unit went with the port: its version no longer names what is connected.
        m_link->state().FirmwareVersion = {};
        m_statusBar->setFirmwareText(QString());
        return m_graph->stopForLostPort(QStringLiteral("COM %1").arg(m_comPortForm->selection().portNumber()));
    });
    connect(m_comPortForm, &TCOMPortForm::portReopened, this, [this](const QString &text) {
        ShowStatus(text, false);
        startMessageTimer();
    });
    connect(m_comPortForm, &TCOMPortForm::portOtherDevice, this, [this](const QString &text, const QString &detail) {
        ShowStatus(text, true, detail);
        startMessageTimer();
    });
    QAction *messages = m_bars->viewMenu()->addAction(QStringLiteral("&Messages"));
    messages->setObjectName(QStringLiteral("Messages1"));
    messages->setToolTip(QStringLiteral("Every message of this session, with its time and reason"));
    connect(messages, &QAction::triggered, this, &TForm1::Messages1Execute);
    connect(m_statusBar, &MainStatusBar::messageAreaClicked, this, &TForm1::Messages1Execute);
}

TForm1::~TForm1()
{
    delete m_manual;
    m_options.setFailureReporter(nullptr);
    m_link->shutdown();
}

TAFrame *TForm1::frame1() const { return m_body->frame1(); }
ToolbarDock *TForm1::menuBarDock() const { return m_bars->menuDock(); }
ToolbarDock *TForm1::navigatorDock() const { return m_bars->navigatorDock(); }
bool TForm1::toolbarsLocked() const { return m_bars->locked(); }
QTimer *TForm1::MessageViewTimer() const { return m_messages->messageViewTimer(); }

QList<QMenu *> TForm1::lockedMenus() const
{
    QList<QMenu *> menus{m_bars->toolbarsMenu()};
    if (m_comPortForm->PortMenu())
        menus.append(m_comPortForm->PortMenu());
    menus << m_bars->fileMenu() << m_bars->helpMenu() << m_bars->viewMenu() << m_bars->optionsMenu();
    if (m_undo)
        menus << m_undo->editMenu();
    return menus;
}

void TForm1::ShowStatus(const QString &text, bool isError, const QString &reason)
{
    m_messages->showStatus(text, isError, reason);
}

void TForm1::Messages1Execute()
{
    if (!m_messageLog)
        m_messageLog = new MessageLogWindow(*m_messages->log(), this);
    m_messageLog->showLatest();
}

void TForm1::ShowActivity(const QString &text) { m_messages->showActivity(text); }

void TForm1::LockMenus() { m_lock->lock(); }

void TForm1::UnlockMenus() { m_lock->unlock(m_settingsLoaded); }

void TForm1::UpdateTitleBar(bool fileForm)
{
    if (!fileForm) {
        setWindowTitle(QStringLiteral("Veltorane Traction : Terminal"));
        return;
    }
    const QString file = m_currentFileName.isEmpty() ? QString() : QFileInfo(m_currentFileName).fileName();
    setWindowTitle(QLatin1String(TitlePrefix) + file);
    // A failed query zeroed the version: the panel is emptied, not left naming the last unit.
    m_statusBar->setFirmwareText(QString::fromLatin1(m_link->state().firmwareVersionText()));
}

QString TForm1::GetVer()
{
    return QString::asprintf("%d.%d.%d.%d", TRACTION_VERSION_MAJOR, TRACTION_VERSION_MINOR, TRACTION_VERSION_RELEASE,
                             TRACTION_VERSION_BUILD);
}

void TForm1::FormShow()
{
    if (!m_comPortForm->PortMenu())
        m_comPortForm->startUp(m_bars->optionsMenu());
    setToolTipDelay(5);
    m_actions.applyHints();
    m_body->frame1()->AssignHints();
    m_actions["Clear1"]->setEnabled(false);
    m_actions["ClipBoardCopy1"]->setEnabled(false);
    m_body->pages()->setCurrentWidget(m_body->frame1());
}

void TForm1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

bool TForm1::readSettings()
{
    if (!m_safeWrite->ReadFromTraction1Execute())
        return false;
    m_history->record(TuneHistory::Event::Read);
    return true;
}

void TForm1::closeEvent(QCloseEvent *event)
{
    // An exchange is ended first, the way the unit expects (the output test's '0', the return to
    // the menu root), and within a bound; the window closes once it has.
    if (m_link->guard().running()) {
        event->ignore();
        if (!m_closeAfterExchange) {
            m_closeAfterExchange = true;
            connect(
                &m_link->guard(), &ExchangeGuard::runningChanged, this,
                [this](bool running) {
                    if (!running && m_closeAfterExchange)
                        QTimer::singleShot(0, this, [this] {
                            m_closeAfterExchange = false;
                            close();
                        });
                },
                Qt::SingleShotConnection);
            m_link->requestStop(CloseBoundMs);
        }
        return;
    }
    if (m_modified && !Dialogs::instance().questionNo(QLatin1String(CloseQuestion), this)) {
        event->ignore();
        return;
    }
    m_link->shutdown();
    m_bars->storeLayout();
    event->accept();
}

bool TForm1::event(QEvent *event)
{
    // Hints are tool tips. Shown in the status bar as well, they would hide the message area and
    // the progress bar while the pointer rests on the button that started an exchange.
    if (event->type() == QEvent::StatusTip)
        return true;
    return QMainWindow::event(event);
}
