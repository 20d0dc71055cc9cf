#pragma once

// Something drawn on the graph window's chart from the channels beside its seven traces (the
// slip trace, an overlaid run). The window asks it before each refresh of the chart's points.
class TraceSource {
public:
    virtual ~TraceSource() = default;
    // True when what it draws changed since the points were last taken.
    virtual bool update() = 0;
    // Its points for the time range [lower, upper] on 'columns' pixel columns.
    virtual void fillTraces(double lower, double upper, int columns) = 0;
};
