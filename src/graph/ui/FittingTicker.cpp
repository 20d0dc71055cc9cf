#include "graph/ui/FittingTicker.h"

#include <QFontMetrics>

#include <cmath>

void FittingTicker::install(QCPAxis *axis, double step)
{
    auto ticker = QSharedPointer<FittingTicker>::create(axis, step);
    axis->setTicker(ticker);
    // A replot places the ticks before it lays the chart out, so they suit the axis length of the
    // replot before: after a change of length one more replot puts them right.
    QCustomPlot *plot = axis->parentPlot();
    QObject::connect(plot, &QCustomPlot::afterReplot, plot, [plot, weak = ticker.toWeakRef()] {
        const auto t = weak.toStrongRef();
        if (t && t->m_axis->parentPlot() == plot && t->axisLength() != t->m_lengthUsed)
            plot->replot(QCustomPlot::rpQueuedReplot);
    });
}

double FittingTicker::axisLength() const
{
    const QCPAxisRect *rect = m_axis->axisRect();
    return m_axis->orientation() == Qt::Vertical ? rect->height() : rect->width();
}

double FittingTicker::getTickStep(const QCPRange &range)
{
    const double length = m_lengthUsed = axisLength();
    // a line of label text and a little air between two labels
    const double room = QFontMetrics(m_axis->tickLabelFont()).height() + 2;
    if (length <= 0 || !(range.size() > 0) || !std::isfinite(range.size()))
        return m_step;
    for (double decade = 1;; decade *= 10) {
        for (const double factor : {1.0, 2.0, 5.0}) {
            const double step = m_step * factor * decade;
            if (range.size() / step * room <= length || step >= range.size())
                return step;
        }
    }
}

namespace {

// The painter and its cache are the axis's own; a pointer to a protected member, taken in a class
// derived from its owner, reaches them without touching anything else.
struct AxisPainterOf : QCPAxis {
    static constexpr auto painter = &AxisPainterOf::mAxisPainter;
};
struct LabelCacheOf : QCPAxisPainterPrivate {
    static constexpr auto cache = &LabelCacheOf::mLabelCache;
};

}  // namespace

void keepTickLabels(QCustomPlot *chart)
{
    constexpr int Labels = 64;
    for (QCPAxis *axis : chart->axisRect()->axes())
        if (QCPAxisPainterPrivate *painter = axis->*AxisPainterOf::painter)
            (painter->*LabelCacheOf::cache).setMaxCost(Labels);
}
