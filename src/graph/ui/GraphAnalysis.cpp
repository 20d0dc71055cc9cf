#include "graph/ui/GraphAnalysis.h"

#include "widgets/Dialogs.h"
#include "graph/GraphFiles.h"
#include "graph/Slip.h"
#include "graph/ui/GraphForm.h"
#include "graph/ui/SlipSetupForm.h"
#include "platform/RegistryRoutinesUnit.h"
#include "settings/FieldConversions.h"
#include "settings/SettingsImage.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QPushButton>
#include <QDockWidget>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QVBoxLayout>
#include <qcustomplot.h>

#include <cmath>

namespace {

// 0 rear, 1 front; written only once the user picks an axle
constexpr RegistryValue DrivenAxleKey{"\\Options", "Graph Driven Axle", RegistryValue::Type::Integer, 0};
constexpr quint32 SlipColour = 0xFF8C00;  // orange: none of the six channels' colours
constexpr int OverlayAlpha = 70;

// The cursor table's rows, in the panel's order, and its columns.
constexpr std::array<std::pair<Trace, const char *>, 7> TableRows{{{Trace::WheelSpeedFL, "CH1"},
                                                                   {Trace::WheelSpeedFR, "CH2"},
                                                                   {Trace::WheelSpeedRL, "CH3"},
                                                                   {Trace::WheelSpeedRR, "CH4"},
                                                                   {Trace::RPM, "RPM"},
                                                                   {Trace::CutLevel, "Cut"},
                                                                   {Trace::Slip, Slip::Title}}};
enum Column { AtCursor, AtCursor2, Difference, OverlayAtCursor, OverlayAtCursor2, ColumnCount };
constexpr const char *ColumnTitles[] = {"Cursor", "Cursor 2", "Difference", "Overlay", "Overlay 2"};

QString shown(std::optional<double> v) { return v ? formatGeneral(*v) : QStringLiteral(" "); }

}  // namespace

GraphAnalysis::GraphAnalysis(TGraphChart *graph) : QObject(graph), m_g(graph)
{
    int stored = 0;
    stored = TRegistryRoutines::ReadWriteInteger(DrivenAxleKey.subKey, DrivenAxleKey.name, false,
                                                 TRegistryRoutines::ReadMode, stored);
    m_driven = stored == 1 ? Axle::Front : Axle::Rear;
    m_g->m_colours[size_t(Trace::Slip)] = QColor(QRgb(SlipColour));
    m_g->m_visible[size_t(Trace::Slip)] = false;  // the window opens as it always has
    buildChart();
    buildPanel();
    m_setup = new TSlipSetup(graph, graph->parentWidget());
    m_g->m_graphs[size_t(Trace::Slip)]->setVisible(false);
    slipShown(false);
    m_g->colourPanel(Trace::Slip);  // grey while hidden, as a hidden wheel's
}

void GraphAnalysis::buildChart()
{
    QCustomPlot *c = m_g->m_chart;
    m_slipAxis = c->axisRect()->addAxis(QCPAxis::atRight);  // outside the RPM axis
    m_slipAxis->setLabel(QString::fromLatin1(Slip::Title));
    m_slipAxis->grid()->setVisible(false);
    QCPGraph *g = c->addGraph(c->xAxis, m_slipAxis);
    g->setName(QString::fromLatin1(Slip::Title));
    g->setObjectName(QStringLiteral("SlipSeries"));
    g->setPen(QPen(m_g->traceColour(Trace::Slip), 1));
    g->setAdaptiveSampling(true);
    m_g->m_graphs[size_t(Trace::Slip)] = g;
    for (size_t k = 0; k < m_lines.size(); ++k) {
        auto *line = new QCPItemStraightLine(c);
        line->setObjectName(QStringLiteral("SlipThreshold%1").arg(k + 1));
        line->point1->setAxes(c->xAxis, m_slipAxis);
        line->point2->setAxes(c->xAxis, m_slipAxis);
        line->setPen(QPen(m_g->traceColour(Trace::Slip).darker(130), 1, Qt::DashLine));
        auto *label = new QCPItemText(c);
        label->setObjectName(QStringLiteral("SlipThresholdLabel%1").arg(k + 1));
        label->position->setAxes(c->xAxis, m_slipAxis);
        label->position->setTypeX(QCPItemPosition::ptAxisRectRatio);
        label->position->setTypeY(QCPItemPosition::ptPlotCoords);
        label->setPositionAlignment(Qt::AlignRight | Qt::AlignBottom);
        label->setColor(m_g->traceColour(Trace::Slip).darker(150));
        label->setClipToAxisRect(true);
        m_lines[k] = line;
        m_labels[k] = label;
    }
    // the second run behind the first: a layer under the traces
    c->addLayer(QStringLiteral("secondrun"), c->layer(QStringLiteral("grid")), QCustomPlot::limAbove);
    for (const TraceInfo &info : TraceTable) {
        QCPGraph *ours = m_g->m_graphs[size_t(info.trace)];
        QCPGraph *o = c->addGraph(c->xAxis, ours->valueAxis());
        o->setObjectName(QStringLiteral("Overlay%1").arg(QLatin1String(info.series)));
        o->setLayer(QStringLiteral("secondrun"));
        m_overlayGraphs[size_t(info.trace)] = o;
    }
    QCPGraph *o = c->addGraph(c->xAxis, m_slipAxis);
    o->setObjectName(QStringLiteral("OverlaySlipSeries"));
    o->setLayer(QStringLiteral("secondrun"));
    m_overlayGraphs[size_t(Trace::Slip)] = o;
    for (QCPGraph *og : m_overlayGraphs)
        og->setVisible(false);
    m_cursor2Line = new QCPItemStraightLine(c);
    m_cursor2Line->setObjectName(QStringLiteral("Cursor2"));
    m_cursor2Line->setLayer(QStringLiteral("cursor"));
    m_cursor2Line->setPen(QPen(QColor(160, 0, 160), 1, Qt::DashDotLine));
    m_cursor2Line->setClipToAxisRect(true);
    m_cursor2Line->setVisible(false);
    colourSlipAxis();
}

void GraphAnalysis::buildPanel()
{
    // Slip's box stands left of the six, outside Panel1, which keeps its size and place.
    TGraphChart::PanelEntry &e = m_g->m_panel[size_t(Trace::Slip)];
    e.box = new QGroupBox(m_g->m_panel2);
    e.box->setObjectName(QStringLiteral("GroupBoxSlip"));
    e.label = new QLabel(QString::fromLatin1(Slip::Title), e.box);
    e.label->setObjectName(QStringLiteral("Chart_Label_Slip"));
    QFont bold = e.label->font();
    bold.setBold(true);
    e.label->setFont(bold);
    e.label->setGeometry(0, 12, 89, 16);
    e.label->setAlignment(Qt::AlignCenter);
    e.readout = new QLineEdit(QStringLiteral(" "), m_g->m_panel2);
    e.readout->setObjectName(QStringLiteral("Real_Time_Slip"));
    e.readout->setAccessibleName(QString::fromLatin1(Slip::Title));
    e.readout->setReadOnly(true);
    e.readout->setFocusPolicy(Qt::NoFocus);
    e.readout->setAlignment(Qt::AlignRight);
    e.readout->setFont(m_g->readout(Trace::RPM)->font());
    e.readout->setTextMargins(0, 0, 0, 0);
    for (QWidget *w : {static_cast<QWidget *>(e.box), static_cast<QWidget *>(e.label),
                       static_cast<QWidget *>(e.readout)})
        w->installEventFilter(m_g);

    m_dock = new QDockWidget(QStringLiteral("Cursors"), m_g);
    m_dock->setObjectName(QStringLiteral("CursorPanel"));
    auto *body = new QWidget(m_dock);
    auto *v = new QVBoxLayout(body);
    v->setContentsMargins(4, 4, 4, 4);
    m_table = new QTableWidget(int(TableRows.size()), ColumnCount, body);
    m_table->setObjectName(QStringLiteral("CursorTable"));
    m_table->setAccessibleName(QStringLiteral("Cursors"));
    for (int col = 0; col < ColumnCount; ++col)
        m_table->setHorizontalHeaderItem(col, new QTableWidgetItem(QString::fromLatin1(ColumnTitles[col])));
    for (size_t r = 0; r < TableRows.size(); ++r) {
        m_table->setVerticalHeaderItem(int(r), new QTableWidgetItem(QString::fromLatin1(TableRows[r].second)));
        for (int col = 0; col < ColumnCount; ++col) {
            auto *item = new QTableWidgetItem(QStringLiteral(" "));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            m_table->setItem(int(r), col, item);
        }
    }
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setAccessibleName(QStringLiteral("Cursors"));
    m_table->verticalHeader()->setAccessibleName(QStringLiteral("Channels"));
    m_table->setCornerButtonEnabled(false);
    for (QAbstractButton *corner : m_table->findChildren<QAbstractButton *>())
        corner->setAccessibleName(QStringLiteral("Select all"));
    // sized by cursorMoved, column by column as their texts change: sizing to contents here would
    // lay out every cell again for each cell a cursor step changes
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->resizeColumnsToContents();
    m_table->resizeRowsToContents();
    v->addWidget(m_table);
    m_span = new QLabel(body);
    m_span->setObjectName(QStringLiteral("CursorSpan"));
    m_span->setAccessibleName(QStringLiteral("Span"));
    m_span->setWordWrap(true);
    v->addWidget(m_span);
    m_dock->setWidget(body);
    m_g->addDockWidget(Qt::RightDockWidgetArea, m_dock);
    m_dock->hide();
}

void GraphAnalysis::fillMenu(QMenu *menu)
{
    auto act = [this, menu](const char *name, const QString &caption, auto handler) {
        auto *a = new QAction(caption, m_g);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, handler);
        menu->addAction(a);
        return a;
    };
    act("SlipSetup1", QStringLiteral("&Slip Setup"), [this] { m_g->SlipSetup1Execute(); });
    menu->addSeparator();
    act("SecondCursor1", QStringLiteral("Second &Cursor"), [this] { setCursor2(m_g->cursor()); });
    act("ClearSecondCursor1", QStringLiteral("Cl&ear Second Cursor"), [this] { setCursor2(std::nullopt); });
    menu->addSeparator();
    act("OpenOverlay1", QStringLiteral("Open O&verlay..."), [this] {
        Dialogs::FileRequest req;
        req.filters = {QStringLiteral("DOS Traction file format (*.Dat)"),
                       QStringLiteral("Traction Logged Data File (*.tld)"), QStringLiteral("Any file (*.*)")};
        const QString path = Dialogs::instance().openFile(req, m_g);
        if (!path.isEmpty())
            openOverlay(path);
    });
    m_align = act("AlignOverlay1", QStringLiteral("&Align Overlay at Cursors"), [this] { alignOverlay(); });
    m_closeOverlay = act("CloseOverlay1", QStringLiteral("Close Overla&y"), [this] { closeOverlay(); });
    menu->addSeparator();
    act("RunStatistics1", QStringLiteral("Run S&tatistics"), [this] { showStatistics(); });
    m_align->setEnabled(false);
    m_closeOverlay->setEnabled(false);
}

void GraphAnalysis::setDriven(Axle a)
{
    m_driven = a;
    TRegistryRoutines::write(DrivenAxleKey, a == Axle::Front ? 1 : 0);
    redraw();
}

bool GraphAnalysis::update()
{
    const RunSettings now = RunSettings::from(m_g->m_settings ? m_g->m_settings() : SettingsImage::defaults());
    const bool changed = !(now == m_settings);
    if (changed) {
        m_settings = now;
        placeThresholds();
    }
    bool redrawn = changed;
    if (m_g->traceVisible(Trace::Slip)) {
        const SlipKey key{m_g->m_channels.revision(), m_settings.axleOf, m_driven};
        redrawn |= m_slipFor != key;
        slip();
    }
    if (m_overlay.isOpen() && m_g->traceVisible(Trace::Slip)) {  // the cursor table reads it sample by sample
        const SlipKey key{0, m_settings.axleOf, m_driven};
        if (m_overlaySlipFor != key) {
            Slip::compute(m_overlay.channels, m_settings.axleOf, m_driven, m_overlay.slip);
            m_overlaySlipFor = key;
            redrawn = true;
        }
    }
    return redrawn;
}

const Channel &GraphAnalysis::slip()
{
    const SlipKey key{m_g->m_channels.revision(), m_settings.axleOf, m_driven};
    if (m_slipFor != key) {
        Slip::compute(m_g->m_channels, m_settings.axleOf, m_driven, m_slip);
        m_slipFor = key;
    }
    return m_slip;
}

void GraphAnalysis::fillTraces(double lower, double upper, int columns)
{
    QList<QPointF> pts;
    if (m_g->traceVisible(Trace::Slip))
        TGraphChart::fillGraph(m_g->m_graphs[size_t(Trace::Slip)], slip(), lower, upper, columns, 0, pts);
    if (!m_overlay.isOpen())
        return;
    const double off = m_overlay.offset;
    for (const TraceInfo &info : TraceTable)
        if (m_g->traceVisible(info.trace))
            TGraphChart::fillGraph(m_overlayGraphs[size_t(info.trace)], m_overlay.channels[info.trace], lower, upper,
                                   columns, off, pts);
    if (m_g->traceVisible(Trace::Slip))
        TGraphChart::fillGraph(m_overlayGraphs[size_t(Trace::Slip)], m_overlay.slip, lower, upper, columns, off, pts);
}

void GraphAnalysis::placeThresholds()
{
    for (size_t k = 0; k < m_lines.size(); ++k) {
        const double v = m_settings.assertAt[k];
        m_lines[k]->point1->setCoords(0, v);
        m_lines[k]->point2->setCoords(1, v);
        m_labels[k]->position->setCoords(0.995, v);
        m_labels[k]->setText(QStringLiteral("Sequence %1: %2 %").arg(k + 1).arg(v));
    }
}

void GraphAnalysis::slipShown(bool on)
{
    m_slipAxis->setVisible(on);
    for (size_t k = 0; k < m_lines.size(); ++k) {
        m_lines[k]->setVisible(on);
        m_labels[k]->setVisible(on);
    }
    m_overlayGraphs[size_t(Trace::Slip)]->setVisible(on && m_overlay.isOpen());
}

void GraphAnalysis::traceShown(Trace t, bool on)
{
    m_overlayGraphs[size_t(t)]->setVisible(on && m_overlay.isOpen());
    if (t == Trace::Slip)
        slipShown(on);
    m_g->m_drawn = {};  // a trace shown again takes its points
}

void GraphAnalysis::traceColoured(Trace t)
{
    QColor faded = m_g->traceColour(t);
    faded.setAlpha(OverlayAlpha);
    m_overlayGraphs[size_t(t)]->setPen(QPen(faded, 1));
}

void GraphAnalysis::setCursor2Shown(bool shown)
{
    placeCursor2();
    if (!shown)
        m_cursor2Line->setVisible(false);
}

void GraphAnalysis::colourSlipAxis()
{
    const QColor c = m_g->traceColour(Trace::Slip);
    m_slipAxis->setTickLabelColor(c);
    m_slipAxis->setTickPen(QPen(c));
    m_slipAxis->setSubTickPen(QPen(c));
    m_slipAxis->setBasePen(QPen(c));
    m_slipAxis->setLabelColor(c);
    traceColoured(Trace::Slip);
}

void GraphAnalysis::redraw()
{
    m_g->m_drawn = {};
    m_g->applyAxes();
    cursorMoved();
}

void GraphAnalysis::liveFrame(const std::array<quint8, 6> &frame)
{
    const std::array<double, 4> w{double(frame[0]), double(frame[1]), double(frame[2]), double(frame[3])};
    m_g->m_panel[size_t(Trace::Slip)].readout->setText(QString::number(Slip::of(w, m_settings.axleOf, m_driven), 'f', 1));
}

void GraphAnalysis::runStopped(double secondsPerFrame)
{
    m_liveSecondsPerSample = secondsPerFrame;
    m_liveRevision = m_g->m_channels.revision();
}

double GraphAnalysis::secondsPerSample() const
{
    if (m_liveRevision == m_g->m_channels.revision() && m_liveSecondsPerSample > 0)
        return m_liveSecondsPerSample;
    return m_settings.loggerSecondsPerSample();
}

QString GraphAnalysis::paceText() const
{
    const double spp = secondsPerSample();
    const QString hz = QString::number(1 / spp, 'f', 1);
    if (m_liveRevision == m_g->m_channels.revision() && m_liveSecondsPerSample > 0)
        return QStringLiteral("%1 Hz, measured over the live run").arg(hz);
    const int position = ratePositionFromCode(quint16(m_settings.rateCode));
    return QStringLiteral("%1 Hz, the logger's sample rate%2")
        .arg(hz, position >= 0 ? QStringLiteral(" (%1)").arg(rateItems()[position]) : QString());
}

std::optional<double> GraphAnalysis::slipAt(const Channels &channels, double t) const
{
    const auto i = channels[Trace::WheelSpeedFL].indexAtTime(t);
    if (!i)
        return std::nullopt;
    return Slip::of(Slip::wheelsAt(channels, *i), m_settings.axleOf, m_driven);
}

void GraphAnalysis::cursorMoved()
{
    // A step of the cursor touches only the cells it changes: every change to a table whose
    // headers size to their contents lays out all its cells again.
    const double a = m_g->cursor();
    const auto slipText = [](std::optional<double> v) { return v ? QString::number(*v, 'f', 1) : QStringLiteral(" "); };
    // blank with the six when the cursor stands where there is no sample
    m_g->m_panel[size_t(Trace::Slip)].readout->setText(slipText(slipAt(m_g->m_channels, a)));
    if (!m_dock->isVisible())
        return;
    const bool overlayOpen = m_overlay.isOpen();
    const auto hide = [this](int col, bool hidden) {
        if (m_table->isColumnHidden(col) != hidden)
            m_table->setColumnHidden(col, hidden);
    };
    hide(OverlayAtCursor, !overlayOpen);
    hide(OverlayAtCursor2, !overlayOpen || !m_cursor2);
    hide(AtCursor2, !m_cursor2);
    hide(Difference, !m_cursor2);
    std::array<bool, ColumnCount> changed{};
    for (size_t r = 0; r < TableRows.size(); ++r) {
        const Trace t = TableRows[r].first;
        const bool isSlip = t == Trace::Slip;
        const auto valueAt = [&](const Channels &chs, double time) {
            return isSlip ? slipAt(chs, time) : valueAtTime(chs[t], time);
        };
        const auto text = isSlip ? +slipText : +shown;  // slip to a tenth, like its readout
        const auto va = valueAt(m_g->m_channels, a);
        const auto vb = m_cursor2 ? valueAt(m_g->m_channels, *m_cursor2) : std::nullopt;
        std::array<QString, ColumnCount> texts{text(va), text(vb), va && vb ? text(*vb - *va) : QStringLiteral(" "),
                                               QStringLiteral(" "), QStringLiteral(" ")};
        if (overlayOpen) {
            texts[OverlayAtCursor] = text(valueAt(m_overlay.channels, m_overlay.timeUnder(a)));
            if (m_cursor2)
                texts[OverlayAtCursor2] = text(valueAt(m_overlay.channels, m_overlay.timeUnder(*m_cursor2)));
        }
        for (int col = 0; col < ColumnCount; ++col) {
            QTableWidgetItem *item = m_table->item(int(r), col);
            if (item->text() != texts[size_t(col)]) {
                item->setText(texts[size_t(col)]);
                changed[size_t(col)] = true;
            }
        }
    }
    for (int col = 0; col < ColumnCount; ++col)
        if (changed[size_t(col)])
            m_table->resizeColumnToContents(col);
    QString span;
    if (m_cursor2) {
        const qsizetype n = samplesBetween(a, *m_cursor2);
        span = QStringLiteral("Span: %1 samples, %2 s").arg(n).arg(QString::number(double(n) * secondsPerSample(), 'f', 3));
    } else {
        span = QStringLiteral("Ctrl+click the chart to place the second cursor");
    }
    if (overlayOpen)
        span += QStringLiteral("\nOverlay: %1, shifted %2 samples").arg(QFileInfo(m_overlay.path).fileName()).arg(m_overlay.offset);
    m_span->setText(span + QStringLiteral("\nTime base: ") + paceText());
}

void GraphAnalysis::updatePanelVisibility()
{
    const bool want = m_cursor2.has_value() || m_overlay.isOpen();
    if (want != m_dock->isVisible())
        m_dock->setVisible(want);
}

void GraphAnalysis::setCursor2(std::optional<double> x, bool showPanel)
{
    m_cursor2 = x ? std::optional<double>(std::trunc(*x)) : std::nullopt;
    placeCursor2();
    if (showPanel)
        updatePanelVisibility();
    m_g->m_chart->layer(QStringLiteral("cursor"))->replot();
    cursorMoved();
}

void GraphAnalysis::placeCursor2()
{
    const double x = m_cursor2.value_or(0);
    m_cursor2Line->point1->setCoords(x, 0);
    m_cursor2Line->point2->setCoords(x, 1);
    m_cursor2Line->setVisible(m_cursor2 && !m_g->runActive());
}

bool GraphAnalysis::openOverlay(const QString &path)
{
    if (GraphFiles::kindOf(path) == GraphFiles::Kind::Unknown) {
        Dialogs::instance().message(QStringLiteral("Unable to load file, unknown file type"), m_g);
        return false;
    }
    Overlay loaded;
    const GraphFiles::LoadResult r = GraphFiles::load(path, loaded.channels);
    using R = GraphFiles::LoadResult;
    if (r.status == R::TooShort)
        Dialogs::instance().message(QStringLiteral("Error"), m_g);
    else if (r.status == R::Failed)
        Dialogs::instance().error(r.error, m_g);
    if (r.status != R::Loaded)
        return false;  // the overlay on display, if any, stays
    loaded.path = path;
    m_overlay = std::move(loaded);
    m_overlaySlipFor.reset();
    for (const TraceInfo &info : TraceTable) {
        traceColoured(info.trace);
        m_overlayGraphs[size_t(info.trace)]->setVisible(m_g->traceVisible(info.trace));
    }
    traceColoured(Trace::Slip);
    slipShown(m_g->traceVisible(Trace::Slip));
    m_align->setEnabled(true);
    m_closeOverlay->setEnabled(true);
    updatePanelVisibility();
    redraw();
    return true;
}

void GraphAnalysis::closeOverlay()
{
    m_overlay.close();
    for (QCPGraph *g : m_overlayGraphs) {
        g->data()->clear();
        g->setVisible(false);
    }
    m_align->setEnabled(false);
    m_closeOverlay->setEnabled(false);
    updatePanelVisibility();
    redraw();
}

void GraphAnalysis::alignOverlay()
{
    if (!m_overlay.isOpen() || !m_cursor2) {
        Dialogs::instance().message(
            QStringLiteral("Place the cursor on the current run and the second cursor on the same moment of the overlay first."),
            m_g);
        return;
    }
    m_overlay.alignAt(m_g->cursor(), *m_cursor2);
    setCursor2(m_g->cursor());  // both now stand on the aligned moment
    redraw();
}

RunStats GraphAnalysis::stats()
{
    update();
    std::optional<RunStats::Span> span;
    if (m_cursor2)
        span = RunStats::Span{m_g->cursor(), *m_cursor2};
    return RunStats::of(m_g->m_channels, slip(), m_settings, m_driven, secondsPerSample(), span);
}

void GraphAnalysis::showStatistics()
{
    if (!m_stats) {  // a window of its own that may stay open while the cursors move
        m_stats = new QDialog(m_g);
        m_stats->setObjectName(QStringLiteral("RunStatistics"));
        m_stats->setWindowTitle(QStringLiteral("Run Statistics"));
        auto *v = new QVBoxLayout(m_stats);
        m_statsText = new QPlainTextEdit(m_stats);
        m_statsText->setObjectName(QStringLiteral("StatisticsText"));
        m_statsText->setAccessibleName(QStringLiteral("Run Statistics"));
        m_statsText->setReadOnly(true);
        m_statsText->setMinimumSize(440, 380);
        v->addWidget(m_statsText);
        auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, m_stats);
        buttons->button(QDialogButtonBox::Close)->setAccessibleName(QStringLiteral("Close"));
        connect(buttons, &QDialogButtonBox::rejected, m_stats, &QDialog::reject);
        v->addWidget(buttons);
    }
    const RunStats s = stats();
    m_statsText->setPlainText((m_cursor2 ? QStringLiteral("Between the two cursors\n") : QStringLiteral("The whole run\n")) +
                              s.text() + QStringLiteral("Time base: ") + paceText() + u'\n');
    m_stats->show();
    m_stats->raise();
}

double GraphAnalysis::timeAt(double px) const { return m_g->m_chart->xAxis->pixelToCoord(px); }

bool GraphAnalysis::mousePress(QMouseEvent *m)
{
    if (m->button() != Qt::LeftButton || m_g->runActive())
        return false;
    if (m->modifiers() & Qt::ControlModifier) {
        m_drag = Drag::Cursor2;
        setCursor2(timeAt(m->position().x()), false);
        return true;
    }
    if ((m->modifiers() & Qt::ShiftModifier) && m_overlay.isOpen()) {
        m_drag = Drag::Overlay;
        m_dragTime = timeAt(m->position().x());
        return true;
    }
    return false;
}

bool GraphAnalysis::mouseMove(QMouseEvent *m)
{
    const double t = timeAt(m->position().x());
    if (m_drag == Drag::Cursor2) {
        setCursor2(t, false);
        return true;
    }
    if (m_drag == Drag::Overlay) {
        m_overlay.offset += t - m_dragTime;
        m_dragTime = t;
        m_g->m_drawn = {};
        m_g->applyAxes();
        return true;
    }
    return false;
}

bool GraphAnalysis::mouseRelease(QMouseEvent *m)
{
    const Drag drag = m_drag;
    m_drag = Drag::None;
    if (drag == Drag::None)
        return false;
    if (drag == Drag::Overlay) {
        m_overlay.snap();
        redraw();
    } else {
        setCursor2(timeAt(m->position().x()));
    }
    return true;
}
