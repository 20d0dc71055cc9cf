#include "graph/ui/GraphForm.h"

#include "graph/ui/GraphAnalysis.h"

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
    m_analysis->setCursor2Shown(true);
    m_chart->replot();
}

void TGraphChart::DisplayCursorValues()
{
    m_analysis->cursorMoved();
    static constexpr std::array<Trace, 6> order{Trace::WheelSpeedFL, Trace::WheelSpeedFR,
                                                Trace::WheelSpeedRL, Trace::WheelSpeedRR,
                                                Trace::RPM,          Trace::CutLevel};
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
    case Qt::Key_Right:
        MoveCursor(key, shift);
        break;
    default:
        break;
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

// Keys and mouse on the chart; false for what the chart should handle itself.
bool TGraphChart::chartEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto *k = static_cast<QKeyEvent *>(event);
        Chart1KeyDown(k->key(), k->modifiers() & Qt::ShiftModifier);
        return true;
    }
    case QEvent::Wheel:
        return true;  // no wheel zoom on the chart
    case QEvent::MouseButtonPress: {
        auto *m = static_cast<QMouseEvent *>(event);
        m_pressPos = m->position();
        m_chart->setFocus();
        if (m_analysis->mousePress(m)) {  // the second cursor or the overlay
            m_drag = Drag::None;
            return true;
        }
        if (m->button() == Qt::RightButton) {
            m_drag = Drag::Pan;  // the view is saved once it actually moves
        } else if (m->button() == Qt::LeftButton) {
            const double cx = m_chart->xAxis->coordToPixel(m_cursor);
            m_drag = !m_runActive && std::abs(cx - m_pressPos.x()) <= 3 ? Drag::Cursor
                     : m_runActive                                      ? Drag::None
                                                                        : Drag::Zoom;
        }
        return true;
    }
    case QEvent::MouseMove: {
        auto *m = static_cast<QMouseEvent *>(event);
        const double px = m->position().x();
        if (m_analysis->mouseMove(m))
            return true;
        if (m_drag == Drag::Pan && px != m_pressPos.x()) {
            m_nav.panTime(timeAt(m_pressPos.x()) - timeAt(px));
            m_pressPos.setX(px);
            applyAxes();
        } else if (m_drag == Drag::Cursor) {
            setCursor(timeAt(px));
            DisplayCursorValues();  // ChartTool1Change
        } else if (m_drag == Drag::Zoom) {
            const QRect r = m_chart->axisRect()->rect();
            m_band->topLeft->setCoords(std::min(px, m_pressPos.x()), r.top());
            m_band->bottomRight->setCoords(std::max(px, m_pressPos.x()), r.bottom());
            m_band->setVisible(px > m_pressPos.x());
            m_chart->layer(QStringLiteral("cursor"))->replot();
        }
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto *m = static_cast<QMouseEvent *>(event);
        const double px = m->position().x();
        if (m_analysis->mouseRelease(m))
            return true;
        const Drag drag = m_drag;
        m_drag = Drag::None;
        m_band->setVisible(false);
        if (m->button() != Qt::LeftButton) {
            applyAxes();
            return true;
        }
        if (drag == Drag::Zoom && px - m_pressPos.x() > 16) {
            m_nav.zoomTimeTo(timeAt(m_pressPos.x()), timeAt(px));
            applyAxes();
        } else if (drag == Drag::Zoom && m_pressPos.x() - px > 16) {
            m_nav.undoZoom();
            applyAxes();
        }
        if (!m_runActive)
            Chart1MouseUp(timeAt(px));
        m_chart->layer(QStringLiteral("cursor"))->replot();
        return true;
    }
    default:
        return false;
    }
}
