#include "app/Main.h"

#include "settings/ui/MainFrame.h"

#include "widgets/ActiveBar.h"
#include "widgets/Dialogs.h"
#include "widgets/ToolbarDock.h"
#include "link/PortDirectory.h"
#include "link/TractionLink.h"
#include "link/ui/COMPortUnitUnit.h"
#include "graph/ui/GraphForm.h"
#include "platform/RegistryRoutinesUnit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QStackedWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QHBoxLayout>
#include <QVBoxLayout>


namespace {

constexpr const char *CloseQuestion = "Changed data has not been saved\n\r           or sent to unit.\n\r\n\r"
                                      " Do you still want to close\n\r         this program ?";
constexpr const char *TitlePrefix = "Veltorane Traction : ";

// The exchange lock disables these in this order, then the sub-menus.
constexpr const char *LockedActions[] = {
    "Open1", "Save1", "SaveAs1", "Print1", "Import1", "Exit1", "Terminal1", "TerminalClose1",
    "Graph1", "WriteToTraction1", "ReadFromTraction1", "HelpContents1", "About2", "PrinterSetup1",
    "Email1", "FeedBack1"};

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

QFont barFont()
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    return font;
}

}  // namespace

TForm1::TForm1(std::unique_ptr<PortDirectory> directory, QWidget *parent)
    : QMainWindow(parent), m_actions(this), m_directory(std::move(directory))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Veltorane Traction"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    if (!m_directory)
        m_directory = std::make_unique<LinuxPortDirectory>(TRegistryRoutines::configFolder());
    m_link = std::make_unique<TractionLink>(*this);
    m_comPortForm = new TCOMPortForm(*m_link, *m_directory, this);
    // the graph window makes its four setup dialogs before itself
    m_graph = new TGraphChart(this);
    m_graph->setSettingsSource([this]() -> const SettingsImage & { return m_tractionMemory; });
    m_graph->setDrainInput([this] {
        try {
            m_link->waits().DrainInput();
        } catch (const LinkAborted &) {  // the port is closing: nothing left to drain
        }
    });

    auto *central = new QWidget;
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    m_shape1 = new QFrame;
    m_shape1->setObjectName(QStringLiteral("Shape1"));
    m_shape1->setFixedSize(765, 4);
    m_shape1->setAutoFillBackground(true);
    // What the bars leave of the fixed height goes above the active-window bar, not below the pages.
    column->addStretch(1);
    column->addWidget(m_shape1);
    m_pages = new QStackedWidget;
    m_frame1 = new TAFrame;
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    connect(m_frame1, &TAFrame::modifiedChanged, this, [this](bool modified) {
        if (modified != m_modified)
            setModified(modified);
    });
    m_frame2 = new QWidget;
    m_frame2->setObjectName(QStringLiteral("Frame2"));
    m_pages->addWidget(m_frame1);
    m_pages->addWidget(m_frame2);
    m_pages->setFixedSize(760, 441);
    // The pages sit 4 pixels in from the left edge, as the active-window bar does not.
    auto *row = new QHBoxLayout;
    row->setContentsMargins(4, 0, 0, 0);
    row->addWidget(m_pages, 0, Qt::AlignLeft | Qt::AlignTop);
    column->addLayout(row);

    setCentralWidget(central);

    buildMenus();
    buildToolBar();
    hideDockSeparators(this);

    m_statusBar = new MainStatusBar;
    setStatusBar(m_statusBar);
    m_messageViewTimer = new QTimer(this);
    m_messageViewTimer->setObjectName(QStringLiteral("MessageViewTimer"));
    m_messageViewTimer->setInterval(2000);
    connect(m_messageViewTimer, &QTimer::timeout, this, &TForm1::messageViewTimerFired);
    m_progressBarTimer = new QTimer(this);
    m_progressBarTimer->setObjectName(QStringLiteral("ProgressBarTimer"));
    connect(m_progressBarTimer, &QTimer::timeout, this, [this] { stepProgress(1); });

    m_tractionMemory = SettingsImage::defaults();
    fillPagesFromImage();
    setModified(false);
    m_statusBar->setVersionText(GetVer());
    restoreLayout();

    connectFileActions();
    connect(m_actions["Exit1"], &QAction::triggered, this, &QWidget::close);
    connect(m_actions["LockToolbars1"], &QAction::triggered, this, [this] { setToolbarsLocked(true); });
    connect(m_actions["FreeToolBars1"], &QAction::triggered, this, [this] { setToolbarsLocked(false); });
    connect(m_actions["ViewNavigatorBar"], &QAction::triggered, this, [this] {
        m_navigatorDock->place(false, {});
    });
    connect(m_actions["Graph1"], &QAction::triggered, m_graph, &QWidget::show);  // modal over this window
    m_graph->installEventFilter(this);  // its showing and closing move the active bar
    connect(m_actions["ReadFromTraction1"], &QAction::triggered, this, [this] { m_link->ReadFromTraction(); });
    connect(m_actions["WriteToTraction1"], &QAction::triggered, this, [this] { m_link->WriteToTraction(); });
    connect(qApp, &QApplication::applicationStateChanged, this, [this] { paintActiveBar(); });
    // Drawn from the start: without a window manager no activation change may ever come.
    paintActiveBar();
    setFixedSize(804, 540);
}

TForm1::~TForm1()
{
    m_link->shutdown();
}

void TForm1::buildMenus()
{
    auto *bar = new QMenuBar;
    bar->setNativeMenuBar(false);
    bar->setFont(barFont());
    m_fileMenu = bar->addMenu(QStringLiteral("&File"));
    m_fileMenu->setObjectName(QStringLiteral("FileSubMenu"));
    fill(m_fileMenu, m_actions, {"Open1", "Save1", "SaveAs1", "", "PrinterSetup1", "Print1", "", "Email1",
                                 "Import1", "", "Exit1"});
    m_optionsMenu = bar->addMenu(QStringLiteral("&Options"));
    m_optionsMenu->setObjectName(QStringLiteral("TBSubmenuItem1"));
    fill(m_optionsMenu, m_actions, {"", "ReadFromTraction1", "WriteToTraction1", ""});
    m_allowVirtualPorts = m_optionsMenu->addAction(QStringLiteral("&Virtual Ports"));
    m_allowVirtualPorts->setObjectName(QStringLiteral("AllowVirtualComPorts"));
    m_allowVirtualPorts->setCheckable(true);
    m_allowVirtualPorts->setChecked(TRegistryRoutines::read(RegistryKeys::AllowVirtualPorts) != 0);
    connect(m_allowVirtualPorts, &QAction::triggered, this,
            [this] { m_comPortForm->AllowVirtualComPortsClick(m_allowVirtualPorts); });
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

    m_menuDock = new ToolbarDock(QStringLiteral("MenuBar"), bar, false, this);
    m_menuDock->setObjectName(QStringLiteral("MenuBar"));
    addDockWidget(Qt::TopDockWidgetArea, m_menuDock);
}

void TForm1::buildToolBar()
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
    m_navigatorDock = new ToolbarDock(QStringLiteral("Navigator Bar"), bar, true, this);
    m_navigatorDock->setObjectName(QStringLiteral("NavigatorBar"));
    addDockWidget(Qt::TopDockWidgetArea, m_navigatorDock);
    splitDockWidget(m_menuDock, m_navigatorDock, Qt::Vertical);
}

void TForm1::restoreLayout()
{
    const bool locked = restoreBars(mainMenuKeys(), m_menuDock, m_navigatorDock);
    move(TRegistryRoutines::read(RegistryKeys::ProgramLeft), TRegistryRoutines::read(RegistryKeys::ProgramTop));
    setToolbarsLocked(locked);
}

void TForm1::storeLayout()
{
    storeBars(mainMenuKeys(), m_menuDock, m_navigatorDock, toolbarsLocked());
    TRegistryRoutines::write(RegistryKeys::ProgramTop, y());
    TRegistryRoutines::write(RegistryKeys::ProgramLeft, x());
}

void TForm1::setToolbarsLocked(bool locked)
{
    m_menuDock->setLocked(locked);
    m_navigatorDock->setLocked(locked);
    m_actions["FreeToolBars1"]->setVisible(locked);
    m_actions["LockToolbars1"]->setVisible(!locked);
}

bool TForm1::toolbarsLocked() const { return m_actions["FreeToolBars1"]->isVisible(); }

QList<QMenu *> TForm1::lockedMenus() const
{
    QList<QMenu *> menus{m_toolbarsMenu};
    if (m_comPortForm->PortMenu())
        menus.append(m_comPortForm->PortMenu());
    menus << m_fileMenu << m_helpMenu << m_viewMenu << m_optionsMenu;
    return menus;
}

void TForm1::ShowStatus(const QString &text, bool isError)
{
    m_statusBar->showMessage(text, isError ? MainStatusBar::Tone::Error : MainStatusBar::Tone::Ok);
}

void TForm1::ShowActivity(const QString &text) { m_statusBar->showMessage(text, MainStatusBar::Tone::Neutral); }

void TForm1::LockMenus()
{
    for (const char *name : LockedActions)
        m_actions[name]->setEnabled(false);
    for (QMenu *menu : lockedMenus())
        menu->setEnabled(false);
}

void TForm1::UnlockMenus()
{
    for (const char *name : LockedActions) {
        // Save has a file only once settings were read or loaded; until then it stays as it was.
        if (qstrcmp(name, "Save1") == 0 && !m_settingsLoaded)
            continue;
        m_actions[name]->setEnabled(true);
    }
    for (QMenu *menu : lockedMenus())
        menu->setEnabled(true);
}

void TForm1::UpdateTitleBar(bool fileForm)
{
    if (!fileForm) {
        setWindowTitle(QStringLiteral("Veltorane Traction : Terminal"));
        return;
    }
    const QString file = m_currentFileName.isEmpty() ? QString() : QFileInfo(m_currentFileName).fileName();
    setWindowTitle(QLatin1String(TitlePrefix) + file);
    if (m_firmwareVersion[0] != 0)
        m_statusBar->setFirmwareText(QString::fromLatin1(m_firmwareVersion.data(),
                                                         int(qstrnlen(m_firmwareVersion.data(), 10))));
}

QString TForm1::GetVer()
{
    return QString::asprintf("%d.%d.%d.%d", TRACTION_VERSION_MAJOR, TRACTION_VERSION_MINOR,
                             TRACTION_VERSION_RELEASE, TRACTION_VERSION_BUILD);
}

void TForm1::setProgressMaximum(int maximum) { m_statusBar->progressBar()->setMaximum(maximum); }
void TForm1::setProgressPosition(int position) { m_statusBar->progressBar()->setValue(position); }
void TForm1::stepProgress(int by)
{
    QProgressBar *bar = m_statusBar->progressBar();
    bar->setValue(qMin(bar->maximum(), bar->value() + by));
}
int TForm1::progressMaximum() const { return m_statusBar->progressBar()->maximum(); }
void TForm1::stopMessageTimer() { m_messageViewTimer->stop(); }
void TForm1::startMessageTimer() { m_messageViewTimer->start(); }

void TForm1::messageViewTimerFired()
{
    m_statusBar->progressBar()->setValue(0);
    ShowActivity(QString());
    m_messageViewTimer->stop();
}

void TForm1::setModified(bool modified)
{
    m_modified = modified;
    if (m_frame1 && m_frame1->Modified() != modified)
        m_frame1->SetModified(modified);
    m_statusBar->setModifiedText(modified ? QStringLiteral("Modified") : QString());
}

void TForm1::fillPagesFromImage() { m_frame1->FillPagesFromImage(m_tractionMemory); }

bool TForm1::copyPagesToImage() { return m_frame1->CopyPagesToImage(m_tractionMemory); }

void TForm1::showFirmwareVersion(const QString &version)
{
    const QByteArray bytes = version.toLatin1().left(int(m_firmwareVersion.size()));
    m_firmwareVersion.fill(0);
    std::copy(bytes.begin(), bytes.end(), m_firmwareVersion.begin());
    m_statusBar->setFirmwareText(version);
}

void TForm1::FormShow()
{
    if (!m_comPortForm->PortMenu())
        m_comPortForm->startUp(m_optionsMenu);
    m_actions.applyHints();
    m_frame1->AssignHints();
    m_actions["Clear1"]->setEnabled(false);
    m_actions["ClipBoardCopy1"]->setEnabled(false);
    m_pages->setCurrentWidget(m_frame1);
}

void TForm1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TForm1::closeEvent(QCloseEvent *event)
{
    if (m_modified && !Dialogs::instance().question(QLatin1String(CloseQuestion), this)) {
        event->ignore();
        return;
    }
    m_link->shutdown();
    storeLayout();
    event->accept();
}

void TForm1::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange)
        paintActiveBar();
    QMainWindow::changeEvent(event);
}

bool TForm1::event(QEvent *event)
{
    // Hints are tool tips. Shown in the status bar as well, they would hide the message area and
    // the progress bar while the pointer rests on the button that started an exchange.
    if (event->type() == QEvent::StatusTip)
        return true;
    return QMainWindow::event(event);
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_graph && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        paintActiveBar();
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::paintActiveBar()
{
    // the graph window, while shown, holds the active bar; with the program in the background neither
    const bool active = QApplication::applicationState() == Qt::ApplicationActive;
    const bool graphShown = m_graph && m_graph->isVisible();
    fillActiveBar(m_shape1, active && !graphShown);
    if (m_graph)
        fillActiveBar(m_graph->activeBar(), active && graphShown);
}
