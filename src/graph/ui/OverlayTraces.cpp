#include "graph/ui/OverlayTraces.h"

#include "graph/ui/GraphFileOpen.h"
#include "graph/ui/GraphForm.h"
#include "graph/ui/SlipTrace.h"

#include <qcustomplot.h>

namespace {
constexpr int OverlayAlpha = 70;
}  // namespace

OverlayTraces::OverlayTraces(TGraphChart &graph, SlipTrace &slip) : QObject(&graph), m_g(graph), m_slip(slip)
{
    QCustomPlot *c = graph.chart();
    // the second run behind the first: a layer under the traces
    c->addLayer(QStringLiteral("secondrun"), c->layer(QStringLiteral("grid")), QCustomPlot::limAbove);
    const auto add = [&](Trace t, QCPAxis *axis, const QString &name) {
        QCPGraph *o = c->addGraph(c->xAxis, axis);
        o->setObjectName(name);
        o->setLayer(QStringLiteral("secondrun"));
        o->setVisible(false);
        m_graphs[size_t(t)] = o;
    };
    for (const TraceInfo &info : TraceTable)
        add(info.trace, graph.traceGraph(info.trace)->valueAxis(),
            QStringLiteral("Overlay%1").arg(QLatin1String(info.series)));
    add(Trace::Slip, slip.axis(), QStringLiteral("OverlaySlipSeries"));
    colour(Trace::Slip);
    graph.addTraceSource(this);
    graph.addGesture(this);
    connect(&graph, &TGraphChart::traceShown, this,
            [this](Trace t, bool on) { m_graphs[size_t(t)]->setVisible(on && m_overlay.isOpen()); });
    connect(&graph, &TGraphChart::traceColoured, this, &OverlayTraces::colour);
}

void OverlayTraces::colour(Trace t)
{
    QColor faded = m_g.traceColour(t);
    faded.setAlpha(OverlayAlpha);
    m_graphs[size_t(t)]->setPen(QPen(faded, 1));
}

bool OverlayTraces::update()
{
    // the cursor table reads its slip sample by sample, so it is kept whole
    if (!m_overlay.isOpen() || !m_g.traceVisible(Trace::Slip))
        return false;
    const std::pair key{m_slip.settings().axleOf, m_slip.driven()};
    if (m_slipFor == key)
        return false;
    m_slip.compute(m_overlay.channels, m_overlay.slip);
    m_slipFor = key;
    return true;
}

void OverlayTraces::fillTraces(double lower, double upper, int columns)
{
    if (!m_overlay.isOpen())
        return;
    QList<QPointF> pts;
    const double off = m_overlay.offset;
    for (const TraceInfo &info : TraceTable)
        if (m_g.traceVisible(info.trace))
            TGraphChart::fillGraph(m_graphs[size_t(info.trace)], m_overlay.channels[info.trace], lower, upper, columns,
                                   off, pts);
    if (m_g.traceVisible(Trace::Slip))
        TGraphChart::fillGraph(m_graphs[size_t(Trace::Slip)], m_overlay.slip, lower, upper, columns, off, pts);
}

void OverlayTraces::showGraphs()
{
    for (size_t t = 0; t < m_graphs.size(); ++t)
        m_graphs[t]->setVisible(m_overlay.isOpen() && m_g.traceVisible(Trace(t)));
}

bool OverlayTraces::open(const QString &path)
{
    Overlay loaded;
    if (GraphFileOpen::load(path, loaded.channels, &m_g).status != GraphFiles::LoadResult::Loaded)
        return false;  // the overlay on display, if any, stays
    loaded.path = path;
    m_overlay = std::move(loaded);
    m_slipFor.reset();
    for (const TraceInfo &info : TraceTable)
        colour(info.trace);
    colour(Trace::Slip);
    showGraphs();
    emit changed();
    m_g.redraw();
    return true;
}

void OverlayTraces::close()
{
    m_overlay.close();
    for (QCPGraph *g : m_graphs)
        g->data()->clear();
    showGraphs();
    emit changed();
    m_g.redraw();
}

void OverlayTraces::alignAt(double currentCursor, double overlayCursor)
{
    m_overlay.alignAt(currentCursor, overlayCursor);
}

bool OverlayTraces::press(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, double t)
{
    // Ctrl places the second cursor, Shift or not
    if (button != Qt::LeftButton || m_g.runActive() || (modifiers & Qt::ControlModifier) ||
        !(modifiers & Qt::ShiftModifier) || !m_overlay.isOpen())
        return false;
    m_dragTime = t;
    return true;
}

void OverlayTraces::move(double t)
{
    m_overlay.offset += t - *m_dragTime;
    m_dragTime = t;
    m_g.invalidateTraces();
    m_g.applyAxes();
}

void OverlayTraces::release(double)
{
    m_dragTime.reset();
    m_overlay.snap();
    emit changed();
    m_g.redraw();
}
