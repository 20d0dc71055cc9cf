#pragma once

#include "graph/Channels.h"
#include "graph/LiveFrames.h"
#include "graph/Navigation.h"
#include "graph/ui/CommandTable.h"
#include "link/LivePoll.h"
#include "widgets/Dialogs.h"

#include <QMainWindow>

#include <QElapsedTimer>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class ChartCanvas;
class QCustomPlot;
class QCPAxis;
class QCPGraph;
class QCPItemStraightLine;
class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTimer;
class QFrame;
class ToolbarDock;
class SettingsImage;
class ChartGesture;
class ChartMouse;
class GraphAnalysis;
class TraceSource;
class TRegistryRoutines;

// The graph window. It owns the seven traces; the chart only ever holds about two points per
// pixel column of what is in view, refreshed from the channels before each replot. What it adds
// for reading a run (slip, overlay, second cursor, statistics) builds on its public surface.
class TGraphChart : public QMainWindow {
    Q_OBJECT
public:
    // 'options' keeps the window's layout and the driven axle; it must outlive the window.
    explicit TGraphChart(TRegistryRoutines &options, QWidget *parent = nullptr);
    ~TGraphChart() override;

    TRegistryRoutines &options() const { return m_options; }
    Channels &channels() { return m_channels; }
    const Channels &channels() const { return m_channels; }
    Navigation &navigation() { return m_nav; }
    QCustomPlot *chart() const;
    LineTimer *timer1() const { return m_poll->Timer1(); }
    LivePoll &realTime() { return *m_poll; }
    LiveFrames &liveFrames() { return m_liveFrames; }
    // Slip, thresholds, the second cursor, the overlay and statistics.
    GraphAnalysis &analysis() { return *m_analysis; }
    // Settings the assignment labels are read from (the main window's TractionMemory).
    void setSettingsSource(std::function<const SettingsImage &()> source) { m_settings = std::move(source); }
    // Which settings the analysis takes ("settings of the run, read 10:32"); empty: the pages'.
    void setSettingsNamed(std::function<QString()> named) { m_settingsNamed = std::move(named); }
    QString settingsNamed() const;
    SettingsImage settings() const;
    // Discards what waits on the serial input (the port form's DrainInput); none by default.
    void setDrainInput(std::function<void()> drain) { m_poll->setDrainInput(std::move(drain)); }
    // Sends one byte to the unit (the port form's SendChar); nothing is sent without it.
    void setSendChar(std::function<bool(quint8)> send) { m_poll->setSendChar(std::move(send)); }
    // Asked with true before a live run starts (false refuses it: another exchange holds the
    // line) and told false when it ends.
    void setRunGate(std::function<bool(bool start)> gate) { m_runGate = std::move(gate); }

    // Trace visibility: wheel traces are attached/detached, RPM and CutLevel active or not.
    bool traceVisible(Trace t) const;
    void setTraceVisible(Trace t, bool on);
    QColor traceColour(Trace t) const;
    QCPGraph *traceGraph(Trace t) const { return m_graphs[size_t(t)]; }
    void setTraceColour(Trace t, const QColor &c);
    void colourPanel(Trace t);  // a channel's panel texts in its colour (or grey)
    void colourAxis(Trace t);   // an axis of one trace takes its colour; the shared one keeps its own

    // What a feature adds to the window.
    enum class AxisColour { None, Ticks, Whole };
    // A trace drawn from the channels by its owner (through a TraceSource); shown, hidden and
    // coloured as the seven are. 'axisColour' says how much of its axis takes its colour.
    QCPGraph *addTrace(Trace t, const char *series, const QString &title, QCPAxis *axis, const QColor &colour,
                       bool visible, AxisColour axisColour);
    // A value axis whose range navigation() holds.
    QCPAxis *addValueAxis(QCPAxis *axis, AxisRange Navigation::Axes::*range);
    struct PanelRow {
        Trace trace;
        int left;  // in Panel1; negative: left of Panel1, outside it
        const char *box, *label, *caption, *assignment, *readout;
        const char *initial;  // the widest text the readout must show whole; it starts empty
        int width, maxLength;
        const char *spoken;  // the readout's name for a screen reader: which channel it shows
    };
    // A box with the trace's name and readout on the panel under the chart; a click on any part
    // of it runs 'clicked'.
    QLineEdit *addPanelEntry(const PanelRow &row, std::function<void()> clicked);
    void addTraceSource(TraceSource *source) { m_sources.push_back(source); }
    void addGesture(ChartGesture *gesture);
    // A setup dialog: the live frames pause while one is shown.
    void addSetupDialog(QDialog *dialog) { m_setups.push_back(dialog); }
    // The points are taken again at the next replot.
    void invalidateTraces();
    // Points taken again, chart replotted, the features' readouts refreshed.
    void redraw();
    // A trace's points for the view [lower, upper] on 'columns' pixel columns, from a channel
    // drawn 'shift' samples later than it holds them.
    static void fillGraph(QCPGraph *g, const Channel &c, double lower, double upper, int columns, double shift,
                          QList<QPointF> &pts);

    // Pushes the axis ranges of navigation() to the chart and redraws.
    void applyAxes();
    void Clear1Click();
    void DisplayCursorValues();
    double cursor() const { return m_cursor; }
    void setCursor(double x);
    // A click released at time x: the cursor goes there, the readouts read there.
    void Chart1MouseUp(double x);
    // The run state of the live poll: cursor hidden and inert, mouse zoom off.
    void setRunActive(bool active);
    bool runActive() const { return m_runActive; }

    void Load3Execute();
    void Save3Execute();
    void Print3Execute();
    void Export3Execute();
    void RPMSetup1Execute();
    void WS_Setup1Execute();
    void CutLevelSetup1Execute();
    void TimeSetup1Execute();
    void SlipSetup1Execute();
    void RealTimeStart3Execute();
    void RealTimeStop3Execute();
    // After a live run: every frame kept of it in the window, which Save then writes whole.
    void WholeRun3Execute();
    // The pace of the live run going on (or last), measured; 0 before its first frame.
    double liveSecondsPerFrame() const;
    // The port went away under a live run: stopped as Stop does, traces kept, and said in the
    // window's own box. False when no run was going (the caller says the loss itself).
    bool stopForLostPort(const QString &portName);
    void ViewNavigatorBar3Execute();
    void setToolbarsLocked(bool locked);

    // The receive handler's real-time path: while the window is shown and no setup dialog is,
    // every six bytes are a frame.
    bool setupDialogVisible() const;
    void liveFrame(const std::array<quint8, 6> &frame);

    // What the readout boxes show, in panel order (for tests and the screenshot).
    QLineEdit *readout(Trace t) const;
    QWidget *activeBar() const;  // Shape1
    ToolbarDock *menuBarDock() const { return m_menuBar2; }
    ToolbarDock *navigatorDock() const { return m_navigator; }
    bool toolbarsLocked() const;

signals:
    void traceShown(Trace t, bool on);
    void traceColoured(Trace t);
    // The cursor moved or what stands under it changed.
    void cursorValuesChanged();
    // The channels changed during a live run (the readouts show the frames, not the cursor).
    void dataChanged();
    void runActiveChanged(bool active);
    // The chart is being printed: the cursors hide meanwhile.
    void printing(bool on);
    void liveFrameShown(const std::array<quint8, 6> &frame);
    // A live run ended, having taken a frame every 'secondsPerFrame'.
    void runStopped(double secondsPerFrame);
    // The channels now hold a graph file's samples, taken at the rate kept with the run if known.
    void fileLoaded(std::optional<double> recordedSecondsPerSample);

protected:
    void showEvent(QShowEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TRegistryRoutines &m_options;
    struct PanelEntry {
        QGroupBox *box = nullptr;
        QLabel *label = nullptr;
        QLabel *assignment = nullptr;
        QLineEdit *readout = nullptr;
        std::function<void()> clicked;
        bool outside = false;  // left of Panel1
    };
    void buildChart();
    void buildPanel();
    void buildActions();
    void buildMenus(const CommandActions &actions);
    void refreshTraces();
    void FormShow();
    void showAssignments(const SettingsImage &image);
    void placePanel();
    bool chartEvent(QEvent *event);
    void Chart1KeyDown(int key, bool shift);
    void MoveCursor(int key, bool shift);
    void placeCursorLine();
    void readLayout();
    void writeLayout();
    void showFloatingBars(bool on);
    double timeAt(double px) const;
    void buildRealTime();
    static Dialogs::FileRequest saveRequest();  // the save dialog of "&Save" and the log
    void setRunCommands(bool running);
    void redrawLive();
    void applyTimeAxis();  // the live run's redraw: only the time axis has moved
    void showFrameRate();
    void showLastFrame();
    void updateWholeRun();

    struct TracesDrawn {
        double lower = 0, upper = 0;
        int columns = 0;
        quint64 revision = ~quint64(0);
        bool operator==(const TracesDrawn &) const = default;
    };
    struct RangedAxis {
        QCPAxis *axis;
        AxisRange Navigation::Axes::*range;
    };
    Channels m_channels;
    TracesDrawn m_drawn;  // what the chart's points were taken for
    Navigation m_nav;
    LiveFrames m_liveFrames{m_channels, m_nav.axes.time};
    ChartCanvas *m_chart = nullptr;
    QCPAxis *m_cutAxis = nullptr;
    std::vector<RangedAxis> m_axes;
    std::array<QCPGraph *, WindowTraceCount> m_graphs{};
    std::array<QColor, WindowTraceCount> m_colours;
    std::array<bool, WindowTraceCount> m_visible{};
    std::array<AxisColour, WindowTraceCount> m_axisColour{};
    std::array<PanelEntry, WindowTraceCount> m_panel;
    std::vector<TraceSource *> m_sources;
    std::vector<QDialog *> m_setups;
    QCPItemStraightLine *m_cursorLine = nullptr;
    QWidget *m_panel1 = nullptr;
    QWidget *m_panel2 = nullptr;
    QFrame *m_shape1 = nullptr;
    LivePoll *m_poll = nullptr;
    std::unique_ptr<ChartMouse> m_mouse;
    GraphAnalysis *m_analysis = nullptr;
    static constexpr int LiveRedrawMs = 50;
    QTimer *m_redraw = nullptr;  // frames come faster than the screen shows them
    QLabel *m_lostFrames = nullptr;
    QLabel *m_frameRate = nullptr;
    QAction *m_wholeRun = nullptr;
    std::array<quint8, 6> m_lastFrame{};
    bool m_readoutsDue =
        false;  // a frame came that the readouts do not show yet  // the run's measured rate, above the lost frames
    QElapsedTimer m_rateClock;
    quint64 m_rateFrames = 0;
    quint64 m_runEndRevision = 0;  // the channels as the last run left them
    ToolbarDock *m_menuBar2 = nullptr;
    ToolbarDock *m_navigator = nullptr;
    QAction *m_lock = nullptr;
    QAction *m_free = nullptr;
    double m_cursor = 0;
    bool m_runActive = false;
    std::function<bool(bool)> m_runGate;
    bool m_runLogs = false;       // the run going on (or last) writes a log
    bool m_followQueued = false;  // the cursor values are to follow new data
    bool m_framesShown = false;   // the readouts show the last frame, not the cursor
    bool m_shownOnce = false;
    std::function<const SettingsImage &()> m_settings;
    std::function<QString()> m_settingsNamed;
    class TWheelSpeedSetup *m_wheelSetup = nullptr;
    class TRPMSetup *m_rpmSetup = nullptr;
    class TCutLevelSetup *m_cutSetup = nullptr;
    class TTimeSetup *m_timeSetup = nullptr;
};
