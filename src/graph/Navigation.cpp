#include "graph/Navigation.h"

#include <cmath>

void Navigation::saveViewIfNone()
{
    if (!m_saved)
        m_saved = View{axes.time, axes.wheel, axes.rpm, axes.top};
}

void Navigation::undoZoom()
{
    if (m_saved) {
        axes.time = m_saved->time;
        axes.wheel = m_saved->wheel;
        axes.rpm = m_saved->rpm;
        axes.top = m_saved->top;
    }
    m_saved.reset();
}

double Navigation::zoomIn(bool big)
{
    const double step = axes.time.width() / (big ? 20 : 100);
    saveViewIfNone();
    axes.time.min += step;
    axes.time.max -= step;
    return axes.time.min + axes.time.width() / 2;
}

void Navigation::zoomOut(bool big)
{
    const double step = axes.time.width() / (big ? 20 : 100);
    saveViewIfNone();
    if (axes.time.min >= step) {
        axes.time.min -= step;
        axes.time.max += step;
    } else {
        undoZoom();
    }
}

double Navigation::checkValidCursorPosition(double x, double lastRpmX)
{
    const AxisRange old = axes.time;
    if (old.contains(x))
        return x;
    if (x < old.min) {
        axes.time = old.min > 20 ? AxisRange::rule(old.min - 20, old.max - 20) : AxisRange::rule(0, old.max - old.min);
        return old.min;
    }
    axes.time = lastRpmX - 20 > old.max ? AxisRange::rule(old.min + 20, old.max + 20)
                                        : AxisRange::rule(old.min + 20, lastRpmX);
    return old.max;
}

void Navigation::zoomTimeTo(double a, double b)
{
    saveViewIfNone();
    axes.time = AxisRange::rule(a, b);
}

void Navigation::panTime(double dt)
{
    saveViewIfNone();
    axes.time = AxisRange::rule(axes.time.min + dt, axes.time.max + dt);
}

double Navigation::clickCursor(double x) const
{
    double c = std::trunc(x);
    if (c < axes.time.min)
        c = axes.time.min;
    if (c > axes.time.max)
        c = axes.time.max;
    return c;
}
