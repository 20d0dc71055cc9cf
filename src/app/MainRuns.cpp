#include "app/MainRuns.h"

#include "app/MainMessages.h"
#include "graph/GraphFiles.h"
#include "graph/LogImage.h"
#include "graph/RunPace.h"
#include "graph/ui/GraphAnalysis.h"
#include "graph/ui/GraphForm.h"
#include "graph/ui/OverlayTraces.h"
#include "graph/ui/SecondCursor.h"
#include "graph/ui/SlipTrace.h"
#include "graph/ui/SlipResponseDialog.h"
#include "link/StatusMessages.h"
#include "link/TractionLink.h"
#include "platform/RegistryRoutinesUnit.h"
#include "runs/RunComparison.h"
#include "runs/ui/RunComparisonDialog.h"
#include "runs/ui/RunsWindow.h"
#include "settings/TuneHistory.h"
#include "widgets/Dialogs.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QShortcut>
#include <QTimer>

namespace {

// When the unit's image was last read or written: the newest tune kept for either that holds it.
QDateTime imageTime(const TRegistryRoutines &options, const SettingsImage &image)
{
    const QList<TuneHistory::Entry> entries = TuneHistory::inConfigFolder(options).entries();
    for (auto e = entries.rbegin(); e != entries.rend(); ++e)
        if (e->event != TuneHistory::Event::Save && e->image.toByteArray() == image.toByteArray())
            return e->time;
    return QDateTime::currentDateTime();
}

}  // namespace

MainRuns::MainRuns(const Parts &parts, QObject *parent) : QObject(parent), m_parts(parts)
{
    auto *runs = new QAction(QStringLiteral("&Runs"), parts.window);
    runs->setObjectName(QStringLiteral("Runs1"));
    runs->setToolTip(QStringLiteral("Every logger upload and logged live run, kept with the settings it ran on"));
    runs->setStatusTip(runs->toolTip());
    parts.viewMenu->addAction(runs);
    connect(runs, &QAction::triggered, this, &MainRuns::Runs1Execute);
    auto *folder = new QAction(QStringLiteral("Runs &Folder..."), parts.window);
    folder->setObjectName(QStringLiteral("RunsFolder1"));
    parts.optionsMenu->addAction(folder);
    connect(folder, &QAction::triggered, this, &MainRuns::RunsFolder1Execute);

    TGraphChart *graph = parts.graph;
    connect(&graph->realTime(), &LivePoll::runLogged, this, &MainRuns::liveRunLogged);
    graph->setSettingsSource([this]() -> const SettingsImage & { return graphSettings(); });
    graph->setSettingsNamed([this] {
        const bool shown = m_shown && m_shown->revision == m_parts.graph->channels().revision();
        return shown ? m_shown->run.settingsText() : QString();
    });
    m_slipResponse = SlipResponseDialog::install(graph);
    // the runs from the graph window too, beside its analysis
    if (QAction *stats = graph->findChild<QAction *>(QStringLiteral("SlipResponse1")))
        for (QObject *o : stats->associatedObjects())
            if (auto *menu = qobject_cast<QMenu *>(o))
                menu->addAction(runs);
    m_comparison = new RunComparisonDialog(graph);
}

RunsWindow *MainRuns::runsWindow() const { return m_runsWindow.data(); }

void MainRuns::uploaded(const QByteArray &logImage)
{
    Channels channels;
    if (!LogImage::plot(logImage, channels))
        return;
    keep(RunRecord::Kind::Upload, GraphFiles::dosBytes(channels), 0);
}

void MainRuns::liveRunLogged(const QString &path, double secondsPerFrame)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_parts.messages.showStatus(QLatin1String(StatusMessages::RunNotKept), true,
                                    QStringLiteral("%1: %2").arg(path, file.errorString()));
        return;
    }
    keep(RunRecord::Kind::Live, file.readAll(), secondsPerFrame);
}

void MainRuns::keep(RunRecord::Kind kind, const QByteArray &dosBytes, double secondsPerFrame)
{
    const std::optional<SettingsImage> &unit = m_parts.link.state().UnitImage;
    RunRecord record =
        RunsLibrary::made(m_parts.options, kind, unit, unit ? imageTime(m_parts.options, *unit) : QDateTime(),
                          QString::fromLatin1(m_parts.link.state().firmwareVersionText()), secondsPerFrame);
    record.settingsFile = m_parts.fileName();
    QString error;
    // Kept or not, the upload or the run stands: only a failure is worth a message.
    if (!RunsLibrary::fromOptions(m_parts.options).keep(dosBytes, record, &error))
        showWhenIdle(error);
    else if (m_runsWindow)
        m_runsWindow->reload();
}

void MainRuns::showWhenIdle(const QString &error)
{
    // after the exchange's own closing message, which would overwrite it
    if (!m_parts.fileMenu->isEnabled()) {
        QTimer::singleShot(50, this, [this, error] { showWhenIdle(error); });
        return;
    }
    m_parts.messages.showStatus(QLatin1String(StatusMessages::RunNotKept), true, error);
}

void MainRuns::Runs1Execute()
{
    if (!m_runsWindow) {
        m_runsWindow = new RunsWindow(RunsLibrary::fromOptions(m_parts.options), m_parts.window);
        m_runsWindow->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_runsWindow, &RunsWindow::openRequested, this, &MainRuns::openRun);
        connect(m_runsWindow, &RunsWindow::overlayRequested, this, &MainRuns::overlayRun);
        connect(m_runsWindow, &RunsWindow::compareRequested, this, &MainRuns::compareRuns);
        connect(m_runsWindow, &RunsWindow::attachRequested, this, &MainRuns::attachSettings);
        connect(new QShortcut(QKeySequence::HelpContents, m_runsWindow), &QShortcut::activated, this,
                [this] { m_parts.showManual(QStringLiteral("Runs kept and compared")); });
    } else {
        m_runsWindow->reload();
    }
    m_runsWindow->show();
    m_runsWindow->raise();
    m_runsWindow->activateWindow();
}

void MainRuns::RunsFolder1Execute()
{
    Dialogs::FileRequest request;
    request.title = QStringLiteral("Runs Folder");
    request.directory = RunsLibrary::fromOptions(m_parts.options).folder();
    request.filters = {QStringLiteral("Folders (*)")};
    request.confirmOverwrite = false;
    // a folder is chosen by a file in it; an empty name keeps the folder as it is
    const QString chosen = Dialogs::instance().saveFile(request, m_parts.window);
    if (chosen.isEmpty())
        return;
    const QString folder = QFileInfo(chosen).isDir() ? chosen : QFileInfo(chosen).path();
    const bool isDefault = folder == RunsLibrary::defaultFolder(m_parts.options);
    RunsLibrary::setChosenFolder(m_parts.options, isDefault ? QString() : folder);
    m_parts.messages.showStatus(QLatin1String(StatusMessages::RunsFolderSet), false, folder);
    if (m_runsWindow)
        m_runsWindow->close();
}

const SettingsImage &MainRuns::graphSettings()
{
    const bool shown = m_shown && m_shown->revision == m_parts.graph->channels().revision();
    showRunTitle(shown);
    if (!shown)
        m_shown.reset();
    return shown && m_shown->run.image ? *m_shown->run.image : m_parts.image;
}

void MainRuns::showRunTitle(bool shown)
{
    TGraphChart *graph = m_parts.graph;
    if (m_graphTitle.isNull())
        m_graphTitle = graph->windowTitle();
    const QString title = shown ? QStringLiteral("%1 - %2 %3, %4")
                                      .arg(m_graphTitle,
                                           m_shown->run.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                                           m_shown->run.kindText(), m_shown->run.settingsText())
                                : m_graphTitle;
    if (graph->windowTitle() != title)
        graph->setWindowTitle(title);
}

bool MainRuns::openRun(const RunRecord &run)
{
    TGraphChart *graph = m_parts.graph;
    if (graph->runActive()) {
        Dialogs::instance().message(QStringLiteral("Stop the real time run first."), graph);
        return false;
    }
    const GraphFiles::LoadResult r = GraphFiles::loadDos(run.graphFile(), graph->channels());
    if (r.status != GraphFiles::LoadResult::Loaded) {  // nothing on display changed
        Dialogs::instance().error(QStringLiteral("File failed to load\n%1: %2")
                                      .arg(run.graphFile(),
                                           r.error.isEmpty() ? QStringLiteral("not a graph file") : r.error),
                                  graph);
        return false;
    }
    m_shown = Shown{run, graph->channels().revision()};
    // A live run's pace was measured and kept with it; an upload's is the logger's, which its
    // own settings give.
    if (run.kind == RunRecord::Kind::Live && run.secondsPerSample > 0)
        graph->analysis().pace().fileLoaded(run.secondsPerSample);
    if (graph->analysis().slipTrace().driven() != run.driven)
        graph->analysis().slipTrace().setDriven(run.driven);
    graph->navigation().axes.time = AxisRange::rule(0, double(r.samples));
    graph->applyAxes();
    graph->DisplayCursorValues();
    graphSettings();
    graph->show();
    graph->raise();
    return true;
}

bool MainRuns::overlayRun(const RunRecord &run)
{
    TGraphChart *graph = m_parts.graph;
    graph->show();
    graph->raise();
    return graph->analysis().overlay().open(run.graphFile());
}

bool MainRuns::compareRuns(const RunRecord &a, const RunRecord &b)
{
    Channels ca, cb;
    QString error;
    if (!loadRun(a, ca, &error) || !loadRun(b, cb, &error)) {
        Dialogs::instance().error(QStringLiteral("File failed to load\n%1").arg(error), m_parts.window);
        return false;
    }
    const RunComparison c = RunComparison::of(a, ca, b, cb);
    if (!openRun(c.older) || !overlayRun(c.newer))
        return false;
    TGraphChart *graph = m_parts.graph;
    if (c.olderLaunch && c.newerLaunch) {
        // the overlay's launch under the run's, by the graph window's own alignment at the cursors
        graph->setCursor(*c.olderLaunch);
        graph->analysis().secondCursor().set(*c.newerLaunch);
        graph->analysis().alignOverlay();
    }
    m_comparison->show(c);
    return true;
}

void MainRuns::attachSettings(const RunRecord &run)
{
    if (!m_parts.optionsMenu->isEnabled())  // an exchange runs
        return;
    SettingsImage unit;
    if (!m_parts.link.ReadUnitImage(unit))
        return;
    RunRecord changed = run;
    changed.image = unit;
    changed.imageTime = QDateTime::currentDateTime();
    changed.version = QString::fromLatin1(m_parts.link.state().firmwareVersionText());
    Channels channels;
    QString error;
    if (loadRun(changed, channels, &error))
        changed.summarise(channels);
    if (!RunsLibrary(run.folder).update(changed, &error))
        Dialogs::instance().error(QStringLiteral("The run could not be changed:\n%1").arg(error), m_parts.window);
    if (m_runsWindow)
        m_runsWindow->reload();
}
