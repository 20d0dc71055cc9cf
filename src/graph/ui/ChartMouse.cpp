#include "graph/ui/ChartMouse.h"

#include "graph/ui/ChartGesture.h"
#include "graph/ui/GraphForm.h"

#include <QMouseEvent>
#include <qcustomplot.h>

#include <cmath>

namespace {
constexpr double CursorGrip = 3;   // pixels either side of the cursor line that grab it
constexpr double ZoomStroke = 16;  // a shorter band is a click
}  // namespace

ChartMouse::ChartMouse(TGraphChart &graph) : m_g(graph)
{
    m_band = new QCPItemRect(graph.chart());
    m_band->setLayer(QStringLiteral("cursor"));
    m_band->setPen(QPen(Qt::blue, 3));
    m_band->setBrush(QColor(0, 0, 255, 25));
    m_band->setVisible(false);
    m_band->topLeft->setType(QCPItemPosition::ptAbsolute);
    m_band->bottomRight->setType(QCPItemPosition::ptAbsolute);
}

double ChartMouse::timeAt(double px) const { return m_g.chart()->xAxis->pixelToCoord(px); }

bool ChartMouse::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: press(static_cast<QMouseEvent *>(event)); return true;
    case QEvent::MouseMove: move(static_cast<QMouseEvent *>(event)->position().x()); return true;
    case QEvent::MouseButtonRelease: {
        const auto *m = static_cast<QMouseEvent *>(event);
        release(m->button(), m->position().x());
        return true;
    }
    default: return false;
    }
}

void ChartMouse::press(const QMouseEvent *m)
{
    if (m_state == State::Gesture)
        return;  // a second button during a gesture: the gesture ends with the next release
    m_pressX = m->position().x();
    m_g.chart()->setFocus();
    for (ChartGesture *gesture : m_gestures) {
        if (gesture->press(m->button(), m->modifiers(), timeAt(m_pressX))) {
            m_gesture = gesture;
            m_state = State::Gesture;
            return;
        }
    }
    if (m->button() == Qt::RightButton) {
        m_state = State::Pan;  // the view is saved once it actually moves
    } else if (m->button() == Qt::LeftButton) {
        const double cursorX = m_g.chart()->xAxis->coordToPixel(m_g.cursor());
        if (m_g.runActive())
            m_state = State::Idle;
        else
            m_state = std::abs(cursorX - m_pressX) <= CursorGrip ? State::Cursor : State::Zoom;
    }
}

void ChartMouse::move(double px)
{
    switch (m_state) {
    case State::Gesture: m_gesture->move(timeAt(px)); break;
    case State::Pan:
        if (px != m_pressX) {
            m_g.navigation().panTime(timeAt(m_pressX) - timeAt(px));
            m_pressX = px;
            m_g.applyAxes();
        }
        break;
    case State::Cursor:
        m_g.setCursor(timeAt(px));
        m_g.DisplayCursorValues();  // ChartTool1Change
        break;
    case State::Zoom: {
        const QRect r = m_g.chart()->axisRect()->rect();
        m_band->topLeft->setCoords(std::min(px, m_pressX), r.top());
        m_band->bottomRight->setCoords(std::max(px, m_pressX), r.bottom());
        m_band->setVisible(px > m_pressX);
        m_g.chart()->layer(QStringLiteral("cursor"))->replot();
        break;
    }
    case State::Idle: break;
    }
}

void ChartMouse::release(Qt::MouseButton button, double px)
{
    const State was = m_state;
    m_state = State::Idle;
    if (was == State::Gesture) {
        m_gesture->release(timeAt(px));
        return;
    }
    m_band->setVisible(false);
    if (button != Qt::LeftButton) {
        m_g.applyAxes();
        return;
    }
    if (was == State::Zoom && px - m_pressX > ZoomStroke) {
        m_g.navigation().zoomTimeTo(timeAt(m_pressX), timeAt(px));
        m_g.applyAxes();
    } else if (was == State::Zoom && m_pressX - px > ZoomStroke) {
        m_g.navigation().undoZoom();
        m_g.applyAxes();
    }
    if (!m_g.runActive())
        m_g.Chart1MouseUp(timeAt(px));
    m_g.chart()->layer(QStringLiteral("cursor"))->replot();
}
