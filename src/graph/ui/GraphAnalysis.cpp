#include "graph/ui/GraphAnalysis.h"

#include "graph/RunPace.h"
#include "graph/ui/CommandTable.h"
#include "graph/ui/GraphFileOpen.h"
#include "graph/ui/GraphForm.h"
#include "graph/ui/OverlayTraces.h"
#include "graph/ui/RunStatistics.h"
#include "graph/ui/SecondCursor.h"
#include "graph/ui/SecondsTicker.h"
#include "graph/ui/SlipTrace.h"
#include "widgets/Dialogs.h"

#include "platform/RegistryRoutinesUnit.h"

#include <QMenu>
#include <qcustomplot.h>

namespace {

using AnalysisRow = CommandRow<GraphAnalysis>;
// clang-format off
constexpr AnalysisRow AnalysisCommands[] = {
    {"SlipSetup1", "&Slip Setup", "", "", "", nullptr, true, [](GraphAnalysis &a) { a.graph().SlipSetup1Execute(); }},
    {"SecondCursor1", "Second &Cursor", "", "", "", nullptr, true, [](GraphAnalysis &a) { a.secondCursor().set(a.graph().cursor()); }},
    {"ClearSecondCursor1", "Cl&ear Second Cursor", "", "", "", nullptr, true, [](GraphAnalysis &a) { a.secondCursor().set(std::nullopt); }},
    {"OpenOverlay1", "Open O&verlay...", "", "", "", nullptr, true, [](GraphAnalysis &a) { a.openOverlay(); }},
    {"AlignOverlay1", "&Align Overlay at Cursors", "", "", "", nullptr, false, [](GraphAnalysis &a) { a.alignOverlay(); }},
    {"CloseOverlay1", "Close Overla&y", "", "", "", nullptr, false, [](GraphAnalysis &a) { a.overlay().close(); }},
    {"RunStatistics1", "Run S&tatistics", "", "", "", nullptr, true, [](GraphAnalysis &a) { a.statistics().show(); }},
};
// clang-format on

constexpr RegistryValue SecondsAxisKey{"\\Options", "Graph Seconds Axis", RegistryValue::Type::Boolean, 0};

}  // namespace

GraphAnalysis::GraphAnalysis(TGraphChart &graph)
    : QObject(&graph), m_g(graph), m_slip(new SlipTrace(graph)), m_overlay(new OverlayTraces(graph, *m_slip)),
      m_pace(std::make_unique<RunPace>(graph.channels(), m_slip->settings())),
      m_cursor2(new SecondCursor(graph, *m_slip, *m_overlay, *m_pace)),
      m_stats(new RunStatistics(graph, *m_slip, *m_cursor2, *m_pace))
{
    connect(&graph, &TGraphChart::runStopped, this,
            [this](double secondsPerFrame) { m_pace->runStopped(secondsPerFrame); });
    connect(&graph, &TGraphChart::fileLoaded, this,
            [this](std::optional<double> recorded) { m_pace->fileLoaded(recorded); });
}

GraphAnalysis::~GraphAnalysis() = default;

void GraphAnalysis::fillMenu(QMenu *menu)
{
    const CommandActions actions = makeCommands<GraphAnalysis>(AnalysisCommands, *this, &m_g);
    addCommands(menu, actions,
                {"SlipSetup1", "-", "SecondCursor1", "ClearSecondCursor1", "-", "OpenOverlay1", "AlignOverlay1",
                 "CloseOverlay1", "-", "RunStatistics1"});
    QAction *align = actions.value(QStringLiteral("AlignOverlay1"));
    QAction *close = actions.value(QStringLiteral("CloseOverlay1"));
    connect(m_overlay, &OverlayTraces::changed, this, [this, align, close] {
        align->setEnabled(m_overlay->isOpen());
        close->setEnabled(m_overlay->isOpen());
    });
}

void GraphAnalysis::openOverlay()
{
    const QString path = GraphFileOpen::ask(&m_g);
    if (!path.isEmpty())
        m_overlay->open(path);
}

void GraphAnalysis::alignOverlay()
{
    const auto cursor2 = m_cursor2->position();
    if (!m_overlay->isOpen() || !cursor2) {
        Dialogs::instance().message(
            QStringLiteral(
                "Place the cursor on the current run and the second cursor on the same moment of the overlay first."),
            &m_g);
        return;
    }
    m_overlay->alignAt(m_g.cursor(), *cursor2);
    m_cursor2->set(m_g.cursor());  // both now stand on the aligned moment
    m_g.redraw();
}

void GraphAnalysis::addTimeAxisOption(QMenu *view)
{
    QAction *item = view->addAction(QStringLiteral("Seconds on the &Time Axis"));
    item->setObjectName(QStringLiteral("SecondsAxis1"));
    item->setToolTip(QStringLiteral("Label the time axis in seconds at the run's rate"));
    item->setCheckable(true);
    item->setChecked(m_g.options().read(SecondsAxisKey) != 0);
    connect(item, &QAction::toggled, this, [this](bool on) {
        m_g.options().write(SecondsAxisKey, on);
        showSeconds(on);
    });
    showSeconds(item->isChecked());
}

void GraphAnalysis::showSeconds(bool on)
{
    QCPAxis *time = m_g.chart()->xAxis;
    if (on)  // a live run at the pace measured so far, else the run's (or the logger's) rate
        time->setTicker(QSharedPointer<SecondsTicker>::create([this] {
            const double live = m_g.runActive() ? m_g.liveSecondsPerFrame() : 0;
            return live > 0 ? live : m_pace->secondsPerSample();
        }));
    else
        time->setTicker(QSharedPointer<QCPAxisTicker>::create());
    time->setTickLabels(on);
    time->setLabel(on ? QStringLiteral("Time (s)") : QStringLiteral("Time"));
    m_g.chart()->replot();
}
