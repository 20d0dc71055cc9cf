#include "graph/ui/GraphForm.h"

#include "graph/ui/ChartCanvas.h"
#include "graph/ui/ChartMouse.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <qcustomplot.h>

#include <cmath>

void TGraphChart::placeCursorLine()
{
    m_cursorLine->point1->setCoords(m_cursor, 0);
    m_cursorLine->point2->setCoords(m_cursor, 1);
    m_cursorLine->setVisible(!m_runActive);
}

void TGraphChart::setCursor(double x)
{
    m_cursor = x;
    placeCursorLine();
    m_chart->layer(QStringLiteral("cursor"))->replot();  // the traces are not redrawn
}

void TGraphChart::setRunActive(bool active)
{
    m_runActive = active;
    placeCursorLine();
    emit runActiveChanged(active);
    m_chart->replot();
}

void TGraphChart::DisplayCursorValues()
{
    m_framesShown = false;
    emit cursorValuesChanged();
    static constexpr std::array<Trace, 6> order{Trace::WheelSpeedFL, Trace::WheelSpeedFR, Trace::WheelSpeedRL,
                                                Trace::WheelSpeedRR, Trace::RPM,          Trace::CutLevel};
    std::array<QString, 6> texts;
    for (size_t i = 0; i < order.size(); ++i) {
        const Channel &c = m_channels[order[i]];
        const auto at = c.indexAtTime(m_cursor);  // by time value: uploads start at 1
        if (!at) {
            for (Trace t : order)
                readout(t)->setText(QStringLiteral(" "));
            return;
        }
        texts[i] = formatGeneral(c.y(*at));
    }
    for (size_t i = 0; i < order.size(); ++i)
        readout(order[i])->setText(texts[i]);
}

double TGraphChart::timeAt(double px) const { return m_chart->xAxis->pixelToCoord(px); }

void TGraphChart::Chart1KeyDown(int key, bool shift)
{
    switch (key) {
    case Qt::Key_Home:
        setCursor(m_nav.axes.time.min);
        DisplayCursorValues();
        break;
    case Qt::Key_End:
        setCursor(m_nav.axes.time.max);
        DisplayCursorValues();
        break;
    case Qt::Key_Up:
        m_cursor = m_nav.zoomIn(shift);
        applyAxes();
        break;
    case Qt::Key_Down:
        m_nav.zoomOut(shift);
        applyAxes();
        break;
    case Qt::Key_Left:
    case Qt::Key_Right: MoveCursor(key, shift); break;
    default: break;
    }
}

void TGraphChart::MoveCursor(int key, bool shift)
{
    double p = m_chart->xAxis->coordToPixel(m_cursor);
    const double s = shift ? 10 : 1;
    if (key == Qt::Key_Right)
        p += s;
    else if (p >= s)
        p -= s;
    const AxisRange before = m_nav.axes.time;
    const Channel &rpm = m_channels[Trace::RPM];
    const double x = m_nav.checkValidCursorPosition(timeAt(p), rpm.isEmpty() ? 0 : rpm.lastX());
    if (!(m_nav.axes.time == before)) {
        m_cursor = x;
        applyAxes();
    } else {
        setCursor(x);
    }
    DisplayCursorValues();
}

void TGraphChart::Chart1MouseUp(double x)
{
    setCursor(m_nav.clickCursor(x));
    const double k = std::trunc(x);
    const double keep = m_cursor;
    m_cursor = k;  // the readout reads the unclamped time
    DisplayCursorValues();
    m_cursor = keep;
}

void TGraphChart::addGesture(ChartGesture *gesture) { m_mouse->addGesture(gesture); }

// Keys and mouse on the chart; false for what the chart should handle itself.
bool TGraphChart::chartEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto *k = static_cast<QKeyEvent *>(event);
        Chart1KeyDown(k->key(), k->modifiers() & Qt::ShiftModifier);
        return true;
    }
    case QEvent::Wheel: return true;  // no wheel zoom on the chart
    default: return m_mouse->event(event);
    }
}
