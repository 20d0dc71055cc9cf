#pragma once

#include <Qt>

// A drag on the chart that a feature of the graph window owns (placing the second cursor,
// sliding the overlay). Times are on the chart's time axis.
class ChartGesture {
public:
    virtual ~ChartGesture() = default;
    // A button went down at time t: true when the drag is this gesture's.
    virtual bool press(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, double t) = 0;
    virtual void move(double t) = 0;
    virtual void release(double t) = 0;
};
