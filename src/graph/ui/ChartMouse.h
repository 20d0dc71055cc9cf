#pragma once

#include <Qt>

#include <vector>

class ChartGesture;
class QCPItemRect;
class QEvent;
class QMouseEvent;
class TGraphChart;

// The mouse on the graph window's chart, one drag at a time: the right button pans, the left
// drags the cursor when pressed on it and else draws a zoom band (rightwards zooms in, leftwards
// undoes the zoom); a release of the left button places the cursor. A feature's gesture (the
// second cursor, the overlay) takes the drag first. During a live run only panning and the
// features' gestures work, and the features refuse theirs.
class ChartMouse {
public:
    enum class State { Idle, Pan, Cursor, Zoom, Gesture };

    explicit ChartMouse(TGraphChart &graph);

    // Asked in the order added.
    void addGesture(ChartGesture *gesture) { m_gestures.push_back(gesture); }
    // A mouse event on the chart: true when it was used.
    bool event(QEvent *event);
    State state() const { return m_state; }

private:
    void press(const QMouseEvent *m);
    void move(double px);
    void release(Qt::MouseButton button, double px);
    double timeAt(double px) const;

    TGraphChart &m_g;
    QCPItemRect *m_band;
    std::vector<ChartGesture *> m_gestures;
    ChartGesture *m_gesture = nullptr;
    State m_state = State::Idle;
    double m_pressX = 0;
};
