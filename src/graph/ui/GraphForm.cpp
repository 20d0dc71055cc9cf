#include "graph/ui/GraphForm.h"

#include "widgets/ActiveBar.h"
#include "widgets/ToolbarDock.h"
#include "graph/ui/ChartCanvas.h"
#include "graph/ui/ChartMouse.h"
#include "graph/ui/CutLevelSetupForm.h"
#include "graph/ui/FittingTicker.h"
#include "graph/ui/GraphAnalysis.h"
#include "graph/ui/RPMSetupForm.h"
#include "graph/ui/TimeSetupForm.h"
#include "graph/ui/TraceSource.h"
#include "graph/ui/WheelSpeedSetupForm.h"
#include "settings/FieldConversions.h"
#include "settings/SettingsImage.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <qcustomplot.h>

#include <cmath>

namespace {

// clang-format off
constexpr std::array<TGraphChart::PanelRow, 6> PanelRows{{
    {Trace::WheelSpeedFL, 16, "Chart_Label_FL_GB", "Chart_Label_FL", "CH1", "Label_CH1_assignment", "Real_Time_Wheel1", "1000000.0", 65, 10, "CH1 wheel speed"},
    {Trace::WheelSpeedFR, 108, "Chart_Label_FR_GB", "Chart_Label_FR", "CH2", "Label_CH2_assignment", "Real_Time_Wheel2", "2000000.0", 65, 10, "CH2 wheel speed"},
    {Trace::WheelSpeedRL, 204, "Chart_Label_RL_GB", "Chart_Label_RL", "CH3", "Label_CH3_assignment", "Real_Time_Wheel3", "3000000.0", 65, 10, "CH3 wheel speed"},
    {Trace::WheelSpeedRR, 300, "Chart_Label_RR_GB", "Chart_Label_RR", "CH4", "Label_CH4_assignment", "Real_Time_Wheel4", "4000000.0", 65, 10, "CH4 wheel speed"},
    {Trace::RPM, 400, "GroupBox1", "Chart_Label_Rev", "RPM", nullptr, "Real_Time_Engine_RPM", "0000000.0", 65, 10, "RPM engine speed"},
    {Trace::CutLevel, 496, "GroupBox2", "Chart_Label_Cut", "Cut", nullptr, "Real_Time_Status2", "0", 33, 4, "Cut level"},
}};
// clang-format on
constexpr int BoxWidth = 89, BoxHeight = 41, ReadoutTop = 43, ReadoutHeight = 21;
constexpr int Gap = 8, CounterWidth = 120, OneRowHeight = 77;

// A one-pixel pen: a wider one costs the raster engine about three times as much per redraw.
QPen tracePen(const QColor &c) { return QPen(c, 1); }

bool isWheel(Trace t) { return t >= Trace::WheelSpeedFL && t <= Trace::WheelSpeedRR; }

QCPRange safe(const AxisRange &r)  // the chart refuses an empty span
{
    return r.max - r.min < AxisRange::MinimumSpan ? QCPRange(r.min, r.min + AxisRange::MinimumSpan)
                                                  : QCPRange(r.min, r.max);
}

}  // namespace

TGraphChart::TGraphChart(TRegistryRoutines &options, QWidget *parent) : QMainWindow(parent), m_options(options)
{
    setObjectName(QStringLiteral("GraphChart"));
    setWindowTitle(QStringLiteral("GraphChart"));
    if (parent) {  // a window of its own, modal over the main window
        setWindowFlags(Qt::Window);
        setWindowModality(Qt::WindowModal);
    }
    resize(877, 586);
    // The setup dialogs are this window's own: parented to the main window, closing one brought
    // the main window up over this modal one, where it took no click.
    m_wheelSetup = new TWheelSpeedSetup(this, this);
    m_rpmSetup = new TRPMSetup(this, this);
    m_cutSetup = new TCutLevelSetup(this, this);
    m_timeSetup = new TTimeSetup(this, this);
    m_setups = {m_wheelSetup, m_rpmSetup, m_cutSetup, m_timeSetup};
    m_poll = new LivePoll(m_liveFrames, this);

    auto *body = new QWidget(this);
    auto *v = new QVBoxLayout(body);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    m_shape1 = new QFrame(body);
    m_shape1->setObjectName(QStringLiteral("Shape1"));
    m_shape1->setFixedHeight(5);
    m_shape1->setAutoFillBackground(true);
    v->addWidget(m_shape1);
    m_chart = new ChartCanvas(body);
    m_chart->setObjectName(QStringLiteral("Chart1"));
    v->addWidget(m_chart, 1);
    m_panel2 = new QWidget(body);
    m_panel2->setObjectName(QStringLiteral("Panel2"));
    m_panel2->setFixedHeight(OneRowHeight);
    m_panel2->installEventFilter(this);  // Panel1 is centred once Panel2 has its new width
    v->addWidget(m_panel2);
    setCentralWidget(body);
    buildChart();
    m_mouse = std::make_unique<ChartMouse>(*this);
    buildPanel();
    m_analysis = new GraphAnalysis(*this);
    buildActions();
    buildRealTime();
    readLayout();
    applyAxes();
}

TGraphChart::~TGraphChart() = default;

QCustomPlot *TGraphChart::chart() const { return m_chart; }

void TGraphChart::buildChart()
{
    QCustomPlot *c = m_chart;
    c->setBackground(Qt::white);
    c->setFocusPolicy(Qt::StrongFocus);
    c->setAccessibleName(QStringLiteral("Graph"));
    c->installEventFilter(this);
    c->setNoAntialiasingOnDrag(true);
    c->setPlottingHint(QCP::phFastPolylines, true);
    // No legend is shown, yet each trace in it would be measured at every layout of the chart.
    c->setAutoAddPlottableToLegend(false);
    QPen silver(QColor(192, 192, 192), 0, Qt::DotLine);
    c->xAxis->setLabel(QStringLiteral("Time"));
    c->xAxis->setTickLabels(false);
    c->xAxis->grid()->setPen(silver);
    // The time axis, its grid and the traces are all that move in a live run: they share a layer
    // that is drawn alone then. The grid goes first, under the traces.
    c->xAxis->grid()->setLayer(QStringLiteral("main"));
    addValueAxis(c->yAxis, &Navigation::Axes::wheel)->setLabel(QStringLiteral("Wheel Speed (Kmh)"));
    FittingTicker::install(c->yAxis, 10);
    c->yAxis->grid()->setPen(silver);
    c->yAxis2->setVisible(true);
    addValueAxis(c->yAxis2, &Navigation::Axes::rpm)->setLabel(QStringLiteral("Revolutions (RPM)"));
    FittingTicker::install(c->yAxis2, 100);
    c->yAxis2->setSubTicks(false);
    c->yAxis2->grid()->setVisible(false);
    // outside the wheel speed axis
    m_cutAxis = addValueAxis(c->axisRect()->addAxis(QCPAxis::atLeft), &Navigation::Axes::cut);
    m_cutAxis->setLabel(QStringLiteral("Cut Level"));
    m_cutAxis->grid()->setVisible(false);
    c->xAxis2->setVisible(false);
    // Nothing here uses the library's selection band, the only thing its overlay layer is for: a
    // buffer of its own would be cleared and copied at every redraw for nothing.
    c->layer(QStringLiteral("overlay"))->setMode(QCPLayer::lmLogical);
    for (const TraceInfo &info : TraceTable) {
        QCPAxis *valueAxis = info.axis == ValueAxis::Right  ? c->yAxis2
                             : info.axis == ValueAxis::Left ? c->yAxis
                                                            : m_cutAxis;
        // the left axis is shared by five traces and keeps its own colour
        addTrace(info.trace, info.series, QString::fromLatin1(info.title), valueAxis, QColor(QRgb(info.colour)), true,
                 info.axis == ValueAxis::Left ? AxisColour::None : AxisColour::Ticks);
    }
    m_cutAxis->setBasePen(QPen(traceColour(Trace::CutLevel)));  // the axis line keeps its first colour
    c->xAxis->setLayer(QStringLiteral("main"));
    keepTickLabels(c);
    // the cursor and the zoom band live on a layer of their own, redrawn without the traces
    c->addLayer(QStringLiteral("cursor"), nullptr, QCustomPlot::limAbove);
    c->layer(QStringLiteral("cursor"))->setMode(QCPLayer::lmBuffered);
    m_cursorLine = new QCPItemStraightLine(c);
    m_cursorLine->setLayer(QStringLiteral("cursor"));
    m_cursorLine->setPen(QPen(QColor(20, 20, 20), 1, Qt::SolidLine));
    m_cursorLine->setClipToAxisRect(true);
    // After the layout, not before the replot: the first replot after a resize (or of a window
    // filled while hidden) must take its points for the new width.
    connect(c, &QCustomPlot::afterLayout, this, &TGraphChart::refreshTraces);
    placeCursorLine();
}

QCPAxis *TGraphChart::addValueAxis(QCPAxis *axis, AxisRange Navigation::Axes::*range)
{
    m_axes.push_back({axis, range});
    return axis;
}

QCPGraph *TGraphChart::addTrace(Trace t, const char *series, const QString &title, QCPAxis *axis, const QColor &colour,
                                bool visible, AxisColour axisColour)
{
    QCPGraph *g = m_chart->addGraph(m_chart->xAxis, axis);
    g->setName(title);
    g->setObjectName(QString::fromLatin1(series));
    g->setPen(tracePen(colour));
    g->setAdaptiveSampling(true);
    g->setVisible(visible);
    m_graphs[size_t(t)] = g;
    m_colours[size_t(t)] = colour;
    m_visible[size_t(t)] = visible;
    m_axisColour[size_t(t)] = axisColour;
    colourAxis(t);
    return g;
}

void TGraphChart::buildPanel()
{
    m_panel1 = new QWidget(m_panel2);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_panel1->setGeometry(0, 6, 601, 65);
    for (const PanelRow &row : PanelRows) {
        addPanelEntry(row, [this, t = row.trace] {
            if (isWheel(t))
                WS_Setup1Execute();
            else if (t == Trace::RPM)
                RPMSetup1Execute();
            else
                CutLevelSetup1Execute();
        });
    }
}

QLineEdit *TGraphChart::addPanelEntry(const PanelRow &row, std::function<void()> clicked)
{
    PanelEntry &e = m_panel[size_t(row.trace)];
    e.clicked = std::move(clicked);
    e.outside = row.left < 0;
    QWidget *parent = e.outside ? m_panel2 : m_panel1;
    e.box = new QGroupBox(parent);
    e.box->setObjectName(QString::fromLatin1(row.box));
    e.box->setGeometry(row.left, 0, BoxWidth, BoxHeight);
    e.label = new QLabel(QString::fromLatin1(row.caption), e.box);
    e.label->setObjectName(QString::fromLatin1(row.label));
    QFont bold = e.label->font();
    bold.setBold(true);
    e.label->setFont(bold);
    if (row.assignment) {
        e.label->setGeometry(6, 2, 80, 16);
        e.assignment = new QLabel(QStringLiteral("-"), e.box);
        e.assignment->setObjectName(QString::fromLatin1(row.assignment));
        e.assignment->setAttribute(Qt::WA_NoMousePropagation);  // a click here opens nothing
        e.assignment->setGeometry(8, 20, 80, 16);
    } else {
        e.label->setGeometry(0, 12, BoxWidth, 16);
        e.label->setAlignment(Qt::AlignCenter);
    }
    e.readout = new QLineEdit(parent);  // empty until there is data to read
    e.readout->setObjectName(QString::fromLatin1(row.readout));
    e.readout->setReadOnly(true);
    e.readout->setAccessibleName(QString::fromLatin1(row.spoken));
    e.readout->setFocusPolicy(Qt::NoFocus);
    e.readout->setMaxLength(row.maxLength);
    e.readout->setAlignment(Qt::AlignRight);
    // a face narrow enough that the widest reading ('initial') fits the box whole
    QFont narrow(QStringLiteral("Liberation Sans"));
    narrow.setPixelSize(12);
    e.readout->setFont(narrow);
    e.readout->setTextMargins(0, 0, 0, 0);
    e.readout->setGeometry(row.left + (BoxWidth - row.width) / 2, ReadoutTop, row.width, ReadoutHeight);
    for (QWidget *w :
         {static_cast<QWidget *>(e.box), static_cast<QWidget *>(e.label), static_cast<QWidget *>(e.readout)})
        w->installEventFilter(this);
    colourPanel(row.trace);
    if (e.outside)
        placePanel();
    return e.readout;
}

void TGraphChart::placePanel()
{
    const int width = m_panel2->width();
    m_panel1->move(width / 2 - m_panel1->width() / 2, m_panel1->y());
    // The boxes' span inside Panel1, and what sits beside it: the added boxes left, the counter right.
    int first = m_panel1->width(), last = 0, outside = 0;
    for (const PanelEntry &e : m_panel) {
        if (!e.box)
            continue;
        if (e.outside) {
            outside += BoxWidth + Gap;
        } else {
            first = std::min(first, e.box->x());
            last = std::max(last, e.box->x() + e.box->width());
        }
    }
    const bool counter = m_lostFrames && !m_lostFrames->isHidden();
    const int counterWidth = counter ? CounterWidth + Gap : 0;
    const int boxesLeft = m_panel1->x() + first, boxesRight = m_panel1->x() + last;
    // Centred in one row while the sides fit; narrower (the Cursors panel open), they take a
    // second row under the boxes rather than leave the window or cover a readout.
    // Before the window is first laid out its width means nothing: one row, as it will open.
    const bool oneRow = !isVisible() || (boxesLeft - outside >= 0 && boxesRight + counterWidth <= width);
    const int rowTop = oneRow ? m_panel1->y() : m_panel1->y() + m_panel1->height() + 4;
    const int height = oneRow ? OneRowHeight : OneRowHeight + m_panel1->height() + 4;
    if (m_panel2->height() != height)
        m_panel2->setFixedHeight(height);
    int left = oneRow ? boxesLeft : std::max(0, boxesLeft) + outside;
    for (const PanelEntry &e : m_panel) {
        if (!e.box || !e.outside)
            continue;
        left -= BoxWidth + Gap;
        e.box->setGeometry(left, rowTop, BoxWidth, BoxHeight);
        const int w = e.readout->width();
        e.readout->setGeometry(left + (BoxWidth - w) / 2, rowTop + ReadoutTop, w, ReadoutHeight);
    }
    if (m_lostFrames) {  // right of the boxes, level with the readouts; the rate above
        const int x = oneRow ? width - CounterWidth - Gap : std::min(width, boxesRight) - CounterWidth;
        m_lostFrames->setGeometry(x, rowTop + ReadoutTop, CounterWidth, ReadoutHeight);
        m_frameRate->setGeometry(x, rowTop + ReadoutTop - ReadoutHeight - 1, CounterWidth, ReadoutHeight);
    }
}

bool TGraphChart::traceVisible(Trace t) const { return m_visible[size_t(t)]; }

void TGraphChart::setTraceVisible(Trace t, bool on)
{
    m_visible[size_t(t)] = on;
    m_graphs[size_t(t)]->setVisible(on);  // hidden traces keep and receive their points
    emit traceShown(t, on);
    invalidateTraces();  // a trace shown again takes its points
    m_chart->replot();
}

QColor TGraphChart::traceColour(Trace t) const { return m_colours[size_t(t)]; }

void TGraphChart::setTraceColour(Trace t, const QColor &c)
{
    m_colours[size_t(t)] = c;
    m_graphs[size_t(t)]->setPen(tracePen(c));
    emit traceColoured(t);
    m_chart->replot();
}

void TGraphChart::colourPanel(Trace t)
{
    PanelEntry &e = m_panel[size_t(t)];
    if (!e.label)
        return;
    const QColor c = !(isWheel(t) || t == Trace::Slip) || traceVisible(t)
                         ? traceColour(t)
                         : QApplication::palette().color(QPalette::Inactive, QPalette::Mid);
    const QString style = QStringLiteral("color: %1;").arg(c.name());
    e.label->setStyleSheet(style);
    e.readout->setStyleSheet(style);
    if (e.assignment)
        e.assignment->setStyleSheet(style);
}

void TGraphChart::colourAxis(Trace t)
{
    const AxisColour how = m_axisColour[size_t(t)];
    if (how == AxisColour::None)
        return;
    const QColor c = traceColour(t);
    QCPAxis *a = m_graphs[size_t(t)]->valueAxis();
    a->setTickLabelColor(c);
    a->setTickPen(QPen(c));
    a->setLabelColor(c);
    if (how == AxisColour::Whole) {
        a->setSubTickPen(QPen(c));
        a->setBasePen(QPen(c));
    }
}

void TGraphChart::applyAxes()
{
    for (const RangedAxis &a : m_axes)
        a.axis->setRange(safe(m_nav.axes.*a.range));
    m_chart->xAxis->setRange(safe(m_nav.axes.time));
    m_cutAxis->setOffset(int(m_chart->width() * 0.08) - 40 > 0 ? int(m_chart->width() * 0.08) - 40 : 0);
    placeCursorLine();
    m_chart->replot();
}

void TGraphChart::applyTimeAxis()
{
    // Whatever else changed during the run was drawn whole where it changed.
    m_chart->xAxis->setRange(safe(m_nav.axes.time));
    refreshTraces();
    m_chart->replotLive();
}

void TGraphChart::invalidateTraces() { m_drawn = {}; }

void TGraphChart::redraw()
{
    invalidateTraces();
    applyAxes();
    emit cursorValuesChanged();
}

void TGraphChart::refreshTraces()
{
    // about two points per pixel column of the visible time range
    const QCPRange r = m_chart->xAxis->range();
    const int columns = std::max(1, m_chart->axisRect()->width());
    const TracesDrawn now{r.lower, r.upper, columns, m_channels.revision()};
    bool sourcesChanged = false;
    for (TraceSource *source : m_sources)
        sourcesChanged |= source->update();
    if (now == m_drawn && !sourcesChanged)
        return;  // a repaint of the same view: the chart still holds the right points
    if (now.revision != m_drawn.revision && !m_followQueued) {
        // New data under the cursors (an upload, a file, frames): their values follow, once the
        // replot that found it is over.
        m_followQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_followQueued = false;
                if (m_runActive || m_framesShown)  // the readouts show the frames themselves
                    emit dataChanged();
                else
                    DisplayCursorValues();
            },
            Qt::QueuedConnection);
    }
    if (now.revision != m_drawn.revision && !m_runActive)
        updateWholeRun();
    m_drawn = now;
    QList<QPointF> pts;
    for (const TraceInfo &info : TraceTable)
        fillGraph(m_graphs[size_t(info.trace)], m_channels[info.trace], r.lower, r.upper, columns, 0, pts);
    for (TraceSource *source : m_sources)
        source->fillTraces(r.lower, r.upper, columns);
}

void TGraphChart::fillGraph(QCPGraph *g, const Channel &c, double lower, double upper, int columns, double shift,
                            QList<QPointF> &pts)
{
    c.visiblePoints(lower - shift, upper - shift, columns, pts);
    QVector<QCPGraphData> data(pts.size());
    for (qsizetype i = 0; i < pts.size(); ++i)
        data[i] = QCPGraphData(pts[i].x() + shift, pts[i].y());
    g->data()->set(data, true);
    // Smoothed only where the samples stand apart: over the dense min/max columns it shows
    // nothing and costs a third of each redraw.
    g->setAntialiased(pts.size() <= columns);
}

QWidget *TGraphChart::activeBar() const { return m_shape1; }

QLineEdit *TGraphChart::readout(Trace t) const { return m_panel[size_t(t)].readout; }

void TGraphChart::Clear1Click()
{
    m_channels.clearSix();
    m_framesShown = false;
    m_nav.axes.time = AxisRange::rule(0, m_nav.axes.time.width());
    applyAxes();
}

bool TGraphChart::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_panel2 && event->type() == QEvent::Resize)
        placePanel();
    if (watched == m_chart) {
        if (chartEvent(event))
            return true;
    } else if (event->type() == QEvent::MouseButtonRelease) {
        for (const PanelEntry &e : m_panel) {
            if (e.box && (watched == e.box || watched == e.label || watched == e.readout)) {
                e.clicked();
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

SettingsImage TGraphChart::settings() const { return m_settings ? m_settings() : SettingsImage::defaults(); }

void TGraphChart::FormShow()
{
    for (const PanelRow &row : PanelRows) {  // texts in the trace colour, hidden or not
        const PanelEntry &e = m_panel[size_t(row.trace)];
        const QString style = QStringLiteral("color: %1;").arg(traceColour(row.trace).name());
        e.label->setStyleSheet(style);
        e.readout->setStyleSheet(style);
        if (e.assignment)
            e.assignment->setStyleSheet(style);
    }
    fillActiveBar(m_shape1, true);
    showAssignments(settings());
}

// Which wheel each sensor channel reads, under its name.
void TGraphChart::showAssignments(const SettingsImage &image)
{
    for (int n = 0; n < ChannelCount; ++n) {
        const quint8 fr = image.byte(channelFrontOffset(n)), lr = image.byte(channelLeftOffset(n));
        const QString text = QString(fr == 0x00   ? "Rear "
                                     : fr == 0xFF ? "Front "
                                                  : "?? ") +
                             (lr == 0x00   ? "Right"
                              : lr == 0xFF ? "Left"
                                           : "??");
        const PanelEntry &e = m_panel[size_t(PanelRows[size_t(n)].trace)];
        e.assignment->setText(text);
        const int w = e.assignment->fontMetrics().horizontalAdvance(text);
        e.assignment->setGeometry(int(unsigned(std::max(0, BoxWidth - w)) / 2), 20, w + 2, 16);
    }
}

void TGraphChart::showEvent(QShowEvent *e)
{
    if (!m_shownOnce) {
        m_shownOnce = true;
        if (QScreen *s = QApplication::primaryScreen())
            move(s->availableGeometry().center() - rect().center());
    }
    FormShow();
    applyAxes();  // the settings may have changed while it was closed: slip and its thresholds
    QMainWindow::showEvent(e);
    showFloatingBars(true);
}

void TGraphChart::resizeEvent(QResizeEvent *e)
{
    QMainWindow::resizeEvent(e);
    applyAxes();
}

void TGraphChart::closeEvent(QCloseEvent *e)
{
    RealTimeStop3Execute();
    writeLayout();
    showFloatingBars(false);
    QMainWindow::closeEvent(e);
}

QString TGraphChart::settingsNamed() const
{
    const QString named = m_settingsNamed ? m_settingsNamed() : QString();
    return named.isEmpty() ? QStringLiteral("the settings on the pages") : named;
}
