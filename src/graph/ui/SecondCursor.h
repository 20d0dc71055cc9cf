#pragma once

#include "graph/ui/ChartGesture.h"

#include <QObject>
#include <QString>

#include <array>
#include <optional>

class OverlayTraces;
class QCPItemStraightLine;
class QDockWidget;
class QLabel;
class QTableWidget;
class RunPace;
class SlipTrace;
class TGraphChart;

// A second cursor (Ctrl with the left button places and drags it) and the "Cursors" panel: the
// values at both cursors, their differences, the overlay's under both, and the span between them
// in samples and seconds. Hidden during a live run and while printing, as the first cursor.
class SecondCursor : public QObject, public ChartGesture {
    Q_OBJECT
public:
    SecondCursor(TGraphChart &graph, const SlipTrace &slip, const OverlayTraces &overlay, const RunPace &pace);

    bool press(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, double t) override;
    void move(double t) override;
    void release(double t) override;

    std::optional<double> position() const { return m_x; }
    // The panel shows once a drag is over: appearing under the mouse, it would move the chart.
    void set(std::optional<double> x, bool showPanel = true);

    QDockWidget *panel() const { return m_dock; }
    QTableWidget *table() const { return m_table; }
    QLabel *spanLabel() const { return m_span; }

private:
    enum Column { AtCursor, AtCursor2, Difference, OverlayAtCursor, OverlayAtCursor2, ColumnCount };
    using RowTexts = std::array<QString, ColumnCount>;
    void buildPanel();
    void place(bool shown = true);
    void updatePanelVisibility();
    // The cells, touching only those that change: every change to a table whose headers size
    // to their contents lays out all its cells again.
    void refresh();
    RowTexts rowTexts(size_t row, double a) const;
    QString spanText(double a) const;

    TGraphChart &m_g;
    const SlipTrace &m_slip;
    const OverlayTraces &m_overlay;
    const RunPace &m_pace;
    QCPItemStraightLine *m_line = nullptr;
    std::optional<double> m_x;
    QDockWidget *m_dock = nullptr;
    QTableWidget *m_table = nullptr;
    QLabel *m_span = nullptr;
};
