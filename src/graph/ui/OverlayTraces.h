#pragma once

#include "graph/Overlay.h"
#include "graph/RunSettings.h"
#include "graph/ui/ChartGesture.h"
#include "graph/ui/TraceSource.h"

#include <QObject>

#include <array>
#include <optional>
#include <utility>

class QCPGraph;
class SlipTrace;
class TGraphChart;

// A second run drawn faded behind the current one, trace for trace as the current run's are
// shown, its slip under the same settings. Shift with the left button drags it along the time
// axis; it lands on whole samples.
class OverlayTraces : public QObject, public TraceSource, public ChartGesture {
    Q_OBJECT
public:
    OverlayTraces(TGraphChart &graph, SlipTrace &slip);

    bool update() override;
    void fillTraces(double lower, double upper, int columns) override;

    bool press(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, double t) override;
    void move(double t) override;
    void release(double t) override;

    const Overlay &run() const { return m_overlay; }
    bool isOpen() const { return m_overlay.isOpen(); }
    bool open(const QString &path);  // false, with the message shown, when it did not load
    void close();
    // What shows under 'overlayCursor' comes under 'currentCursor'.
    void alignAt(double currentCursor, double overlayCursor);
    QCPGraph *graph(Trace t) const { return m_graphs[size_t(t)]; }

signals:
    // Opened, closed or moved.
    void changed();

private:
    void colour(Trace t);
    void showGraphs();

    TGraphChart &m_g;
    SlipTrace &m_slip;
    std::array<QCPGraph *, WindowTraceCount> m_graphs{};
    Overlay m_overlay;
    std::optional<std::pair<std::array<Axle, 4>, Axle>> m_slipFor;
    std::optional<double> m_dragTime;
};
