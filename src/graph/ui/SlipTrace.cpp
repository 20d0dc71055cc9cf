#include "graph/ui/SlipTrace.h"

#include "graph/Slip.h"
#include "graph/ui/GraphForm.h"
#include "graph/ui/SlipSetupForm.h"
#include "platform/RegistryRoutinesUnit.h"
#include "settings/SettingsImage.h"

#include <QLineEdit>
#include <qcustomplot.h>

namespace {

// 0 rear, 1 front; written only once the user picks an axle
constexpr RegistryValue DrivenAxleKey{"\\Options", "Graph Driven Axle", RegistryValue::Type::Integer, 0};
constexpr quint32 SlipColour = 0xFF8C00;  // orange: none of the six channels' colours
// its box stands left of the six, outside Panel1, which keeps its size and place
constexpr TGraphChart::PanelRow SlipPanel{Trace::Slip, -1,      "GroupBoxSlip",   "Chart_Label_Slip",
                                          Slip::Title, nullptr, "Real_Time_Slip", " ",
                                          65,          32767,   Slip::Title};

}  // namespace

SlipTrace::SlipTrace(TGraphChart &graph) : QObject(&graph), m_g(graph)
{
    int stored = 0;
    stored = graph.options().ReadWriteInteger(DrivenAxleKey.subKey, DrivenAxleKey.name, false,
                                              TRegistryRoutines::ReadMode, stored);
    m_driven = stored == 1 ? Axle::Front : Axle::Rear;
    QCustomPlot *c = graph.chart();
    m_axis = graph.addValueAxis(c->axisRect()->addAxis(QCPAxis::atRight), &Navigation::Axes::slip);  // outside RPM's
    m_axis->setLabel(QString::fromLatin1(Slip::Title));
    m_axis->grid()->setVisible(false);
    // the window opens as it always has: slip hidden
    m_graph = graph.addTrace(Trace::Slip, "SlipSeries", QString::fromLatin1(Slip::Title), m_axis,
                             QColor(QRgb(SlipColour)), false, TGraphChart::AxisColour::Whole);
    buildThresholds();
    m_readout = graph.addPanelEntry(SlipPanel, [&graph] { graph.SlipSetup1Execute(); });
    m_setup = new TSlipSetup(&graph, &graph);  // the graph window's own, as its other dialogs
    graph.addSetupDialog(m_setup);
    graph.addTraceSource(this);
    shown(false);
    connect(&graph, &TGraphChart::traceShown, this, [this](Trace t, bool on) {
        if (t == Trace::Slip)
            shown(on);
    });
    // blank with the six when the cursor stands where there is no sample
    connect(&graph, &TGraphChart::cursorValuesChanged, this,
            [this] { m_readout->setText(Slip::text(slipAt(m_g.channels(), m_g.cursor()))); });
    connect(&graph, &TGraphChart::liveFrameShown, this, [this](const std::array<quint8, 6> &frame) {
        const std::array<double, 4> w{double(frame[0]), double(frame[1]), double(frame[2]), double(frame[3])};
        m_readout->setText(Slip::text(Slip::of(w, m_settings.axleOf, m_driven)));
    });
}

void SlipTrace::buildThresholds()
{
    QCustomPlot *c = m_g.chart();
    const QColor colour = m_g.traceColour(Trace::Slip);
    for (size_t k = 0; k < m_lines.size(); ++k) {
        auto *line = new QCPItemStraightLine(c);
        line->setObjectName(QStringLiteral("SlipThreshold%1").arg(k + 1));
        line->point1->setAxes(c->xAxis, m_axis);
        line->point2->setAxes(c->xAxis, m_axis);
        line->setPen(QPen(colour.darker(130), 1, Qt::DashLine));
        auto *label = new QCPItemText(c);
        label->setObjectName(QStringLiteral("SlipThresholdLabel%1").arg(k + 1));
        label->position->setAxes(c->xAxis, m_axis);
        label->position->setTypeX(QCPItemPosition::ptAxisRectRatio);
        label->position->setTypeY(QCPItemPosition::ptPlotCoords);
        label->setPositionAlignment(Qt::AlignRight | Qt::AlignBottom);
        label->setColor(colour.darker(150));
        label->setClipToAxisRect(true);
        m_lines[k] = line;
        m_labels[k] = label;
    }
}

void SlipTrace::setDriven(Axle a)
{
    m_driven = a;
    m_g.options().write(DrivenAxleKey, a == Axle::Front ? 1 : 0);
    m_g.redraw();
}

bool SlipTrace::update()
{
    const RunSettings now = RunSettings::from(m_g.settings());
    const bool changed = !(now == m_settings);
    if (changed) {
        m_settings = now;
        placeThresholds();
    }
    bool redrawn = changed;
    if (m_g.traceVisible(Trace::Slip)) {
        const Key key{m_g.channels().revision(), m_settings.axleOf, m_driven};
        redrawn |= m_slipFor != key;
        slip();
    }
    return redrawn;
}

void SlipTrace::fillTraces(double lower, double upper, int columns)
{
    QList<QPointF> pts;
    if (m_g.traceVisible(Trace::Slip))
        TGraphChart::fillGraph(m_graph, slip(), lower, upper, columns, 0, pts);
}

const Channel &SlipTrace::slip()
{
    const Key key{m_g.channels().revision(), m_settings.axleOf, m_driven};
    if (m_slipFor != key) {
        compute(m_g.channels(), m_slip);
        m_slipFor = key;
    }
    return m_slip;
}

void SlipTrace::compute(const Channels &channels, Channel &out) const
{
    Slip::compute(channels, m_settings.axleOf, m_driven, out);
}

std::optional<double> SlipTrace::slipAt(const Channels &channels, double t) const
{
    const auto i = channels[Trace::WheelSpeedFL].indexAtTime(t);
    if (!i)
        return std::nullopt;
    return Slip::of(Slip::wheelsAt(channels, *i), m_settings.axleOf, m_driven);
}

void SlipTrace::placeThresholds()
{
    for (size_t k = 0; k < m_lines.size(); ++k) {
        const double v = m_settings.assertAt[k];
        m_lines[k]->point1->setCoords(0, v);
        m_lines[k]->point2->setCoords(1, v);
        m_labels[k]->position->setCoords(0.995, v);
        m_labels[k]->setText(QStringLiteral("Sequence %1: %2 %").arg(k + 1).arg(v));
    }
}

void SlipTrace::shown(bool on)
{
    m_axis->setVisible(on);
    for (size_t k = 0; k < m_lines.size(); ++k) {
        m_lines[k]->setVisible(on);
        m_labels[k]->setVisible(on);
    }
}
