#pragma once

#include "graph/AxisRange.h"

#include <optional>

// The chart's axis ranges and the one saved view, with the zoom and scroll arithmetic of the
// keyboard and mouse. The window turns pixels into time values and calls in here.
class Navigation {
public:
    struct Axes {
        AxisRange time{0, 250};
        AxisRange wheel{0, 200};
        AxisRange rpm{0, 7500};
        AxisRange top{0, 250};  // hidden, but part of a saved view
        AxisRange cut{0, 6};    // never saved with a view
        AxisRange slip{0, 50};  // nor is this
    };
    struct View {
        AxisRange time, wheel, rpm, top;
    };

    Axes axes;

    bool hasSavedView() const { return m_saved.has_value(); }
    const std::optional<View> &savedView() const { return m_saved; }
    void saveViewIfNone();
    // Restores the saved view, if any, and leaves none saved.
    void undoZoom();

    // Keyboard zoom: a hundredth of the span per side, a twentieth for a big step.
    // zoomIn returns the time value at which the cursor goes (the middle of the new view).
    double zoomIn(bool big);
    void zoomOut(bool big);

    // The time value at which a cursor moved to x goes; scrolls the view by 20 when x is outside
    // it. lastRpmX: the largest time held by the RPM channel (0 when empty).
    double checkValidCursorPosition(double x, double lastRpmX);

    // Mouse: zoom the time axis to a dragged span, or shift it by dt (both save the view first).
    void zoomTimeTo(double a, double b);
    void panTime(double dt);

    // Where a click at time x puts the cursor: truncated, then kept within the view.
    double clickCursor(double x) const;

private:
    std::optional<View> m_saved;
};
