#pragma once

#include <QObject>

#include <memory>

class OverlayTraces;
class QMenu;
class RunPace;
class RunStatistics;
class SecondCursor;
class SlipTrace;
class TGraphChart;

// What the graph window adds for reading a run, each behind its own command: the slip of the
// driven wheels with the unit's "Assert at" thresholds over it, a second cursor with the values
// at both and their differences, a second run overlaid behind the current one, and statistics.
// The computations live in the core (Slip, RunStats, Overlay, RunPace), shared with tractionctl;
// each piece here builds on the window's public surface.
class GraphAnalysis : public QObject {
    Q_OBJECT
public:
    explicit GraphAnalysis(TGraphChart &graph);
    ~GraphAnalysis() override;

    // The "Analysis" menu's commands.
    void fillMenu(QMenu *menu);
    // "Seconds on the Time Axis", kept between runs of the program (off at first).
    void addTimeAxisOption(QMenu *view);

    TGraphChart &graph() const { return m_g; }
    SlipTrace &slipTrace() const { return *m_slip; }
    OverlayTraces &overlay() const { return *m_overlay; }
    SecondCursor &secondCursor() const { return *m_cursor2; }
    RunStatistics &statistics() const { return *m_stats; }
    RunPace &pace() const { return *m_pace; }

    // Asks for a graph file and lays it behind the run.
    void openOverlay();
    // Shifts the overlay so that what the second cursor marks on it comes under the first.
    void alignOverlay();

private:
    TGraphChart &m_g;
    SlipTrace *m_slip;
    OverlayTraces *m_overlay;
    std::unique_ptr<RunPace> m_pace;
    SecondCursor *m_cursor2;
    RunStatistics *m_stats;

    void showSeconds(bool on);
};
