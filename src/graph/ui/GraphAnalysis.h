#pragma once

#include "graph/Overlay.h"
#include "graph/RunSettings.h"
#include "graph/RunStats.h"

#include <QObject>

#include <array>
#include <optional>

class QAction;
class QCPAxis;
class QCPGraph;
class QCPItemStraightLine;
class QCPItemText;
class QDialog;
class QDockWidget;
class QPlainTextEdit;
class QLabel;
class QMenu;
class QMouseEvent;
class QTableWidget;
class TGraphChart;
class TSlipSetup;

// What the graph window adds for reading a run, each behind its own command: the slip of the
// driven wheels with the unit's "Assert at" thresholds over it, a second cursor with the values
// at both and their differences, a second run overlaid behind the current one, and statistics.
// The computations live in the core (Slip, RunStats, Overlay), shared with tractionctl.
class GraphAnalysis : public QObject {
    Q_OBJECT
public:
    explicit GraphAnalysis(TGraphChart *graph);

    void fillMenu(QMenu *menu);
    TSlipSetup *slipSetup() const { return m_setup; }

    // Before each refresh of the chart's points: rereads the settings and recomputes what they
    // or the channels changed; true when the drawn points must be taken again.
    bool update();
    // The slip and overlay points of the time range [lower, upper] on 'columns' pixel columns.
    void fillTraces(double lower, double upper, int columns);
    // The cursor moved or the data changed under it: the slip readout and the cursor table.
    void cursorMoved();
    void liveFrame(const std::array<quint8, 6> &frame);
    // A run ended: its own pace gives the seconds until the channels change.
    void runStopped(double secondsPerFrame);
    // A trace was shown, hidden or recoloured: its overlay follows, slip brings its axis and lines.
    void traceShown(Trace t, bool on);
    void traceColoured(Trace t);
    // The second cursor is hidden during a run and while printing, as the first.
    void setCursor2Shown(bool shown);
    void colourSlipAxis();

    // Ctrl with the left button places the second cursor; Shift with it drags the overlay.
    // True when the event was theirs.
    bool mousePress(QMouseEvent *m);
    bool mouseMove(QMouseEvent *m);
    bool mouseRelease(QMouseEvent *m);

    Axle driven() const { return m_driven; }
    void setDriven(Axle a);
    const RunSettings &settings() const { return m_settings; }
    const Channel &slip();  // computed on demand
    std::optional<double> cursor2() const { return m_cursor2; }
    // The panel shows once a drag is over: appearing under the mouse, it would move the chart.
    void setCursor2(std::optional<double> x, bool showPanel = true);
    Overlay &overlay() { return m_overlay; }
    bool openOverlay(const QString &path);  // false, with the message shown, when it did not load
    void closeOverlay();
    void alignOverlay();
    // The time one sample stands for: the measured pace of the live run on display, else the
    // logger's at the settings' rate.
    double secondsPerSample() const;
    QString paceText() const;
    RunStats stats();
    void showStatistics();

    QDockWidget *cursorPanel() const { return m_dock; }
    QTableWidget *cursorTable() const { return m_table; }
    QLabel *spanLabel() const { return m_span; }
    const std::array<QCPItemStraightLine *, 3> &thresholdLines() const { return m_lines; }
    const std::array<QCPItemText *, 3> &thresholdLabels() const { return m_labels; }
    QCPGraph *overlayGraph(Trace t) const { return m_overlayGraphs[size_t(t)]; }
    QCPAxis *slipAxis() const { return m_slipAxis; }
    QPlainTextEdit *statisticsText() const { return m_statsText; }

private:
    void buildChart();
    void buildPanel();
    void placeThresholds();
    void placeCursor2();
    void slipShown(bool on);
    void redraw();  // points taken again, chart replotted
    void updatePanelVisibility();
    double timeAt(double px) const;
    // The slip at time t of these channels' wheels, from that one sample; none outside the run.
    std::optional<double> slipAt(const Channels &channels, double t) const;

    TGraphChart *m_g;
    QCPAxis *m_slipAxis = nullptr;
    std::array<QCPItemStraightLine *, 3> m_lines{};
    std::array<QCPItemText *, 3> m_labels{};
    std::array<QCPGraph *, WindowTraceCount> m_overlayGraphs{};
    QCPItemStraightLine *m_cursor2Line = nullptr;
    std::optional<double> m_cursor2;
    QDockWidget *m_dock = nullptr;
    QTableWidget *m_table = nullptr;
    QLabel *m_span = nullptr;
    TSlipSetup *m_setup = nullptr;
    QDialog *m_stats = nullptr;
    QPlainTextEdit *m_statsText = nullptr;
    QAction *m_align = nullptr;
    QAction *m_closeOverlay = nullptr;

    RunSettings m_settings;
    Axle m_driven = Axle::Rear;
    Channel m_slip;
    struct SlipKey {
        quint64 revision;
        std::array<Axle, 4> axleOf;
        Axle driven;
        bool operator==(const SlipKey &) const = default;
    };
    std::optional<SlipKey> m_slipFor, m_overlaySlipFor;
    Overlay m_overlay;
    // the pace of the last live run, while the channels hold what it left
    double m_liveSecondsPerSample = 0;
    std::optional<quint64> m_liveRevision;

    enum class Drag { None, Cursor2, Overlay } m_drag = Drag::None;
    double m_dragTime = 0;
};
