#pragma once

#include "graph/Channels.h"
#include "graph/Navigation.h"
#include "link/LivePoll.h"
#include "widgets/Dialogs.h"

#include <QMainWindow>

#include <array>
#include <functional>

class QCustomPlot;
class QCPAxis;
class QCPGraph;
class QCPItemStraightLine;
class QCPItemRect;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTimer;
class QFrame;
class QAction;
class QToolBar;
class ToolbarDock;
class SettingsImage;
class GraphAnalysis;

// The graph window. It owns the seven traces; the chart only ever holds about two points per
// pixel column of what is in view, refreshed from the channels before each replot.
class TGraphChart : public QMainWindow {
    Q_OBJECT
public:
    explicit TGraphChart(QWidget *parent = nullptr);

    Channels &channels() { return m_channels; }
    Navigation &navigation() { return m_nav; }
    QCustomPlot *chart() const { return m_chart; }
    QTimer *timer1() const { return m_poll->Timer1(); }
    LivePoll &realTime() { return *m_poll; }
    // Slip, thresholds, the second cursor, the overlay and statistics.
    GraphAnalysis &analysis() { return *m_analysis; }
    // Settings the assignment labels are read from (the main window's TractionMemory).
    void setSettingsSource(std::function<const SettingsImage &()> source) { m_settings = std::move(source); }
    // Discards what waits on the serial input (the port form's DrainInput); none by default.
    void setDrainInput(std::function<void()> drain) { m_poll->setDrainInput(std::move(drain)); }
    // Sends one byte to the unit (the port form's SendChar); nothing is sent without it.
    void setSendChar(std::function<bool(quint8)> send) { m_poll->setSendChar(std::move(send)); }

    // Trace visibility: wheel traces are attached/detached, RPM and CutLevel active or not.
    bool traceVisible(Trace t) const;
    void setTraceVisible(Trace t, bool on);
    QColor traceColour(Trace t) const;
    void setTraceColour(Trace t, const QColor &c);
    void colourPanel(Trace t);            // a channel's panel texts in its colour (or grey)
    void colourRightAxis();                // the RPM axis takes RPM's colour
    void colourCutAxis();                  // the cut level axis takes CutLevel's colour

    // Pushes the axis ranges of navigation() to the chart and redraws.
    void applyAxes();
    void Clear1Click();
    void DisplayCursorValues();
    double cursor() const { return m_cursor; }
    void setCursor(double x);
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

protected:
    void showEvent(QShowEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class GraphAnalysis;
    struct PanelEntry {
        QGroupBox *box = nullptr;
        QLabel *label = nullptr;
        QLabel *assignment = nullptr;
        QLineEdit *readout = nullptr;
    };
    void buildChart();
    void buildPanel(QWidget *panel2);
    void buildActions();
    void refreshTraces();
    // A trace's points for the view [lower, upper] on 'columns' pixel columns, from a channel
    // drawn 'shift' samples later than it holds them.
    static void fillGraph(QCPGraph *g, const Channel &c, double lower, double upper, int columns, double shift,
                          QList<QPointF> &pts);
    void FormShow();
    bool chartEvent(QEvent *event);
    void Chart1KeyDown(int key, bool shift);
    void MoveCursor(int key, bool shift);
    void Chart1MouseUp(double x);
    void placeCursorLine();
    void readLayout();
    void writeLayout();
    void setToolbarsLocked(bool locked);
    void showFloatingBars(bool on);
    double timeAt(double px) const;
    void buildRealTime();
    static Dialogs::FileRequest saveRequest();  // the save dialog of "&Save" and the log
    void setRunCommands(bool running);
    void redrawLive();

    struct TracesDrawn {
        double lower = 0, upper = 0;
        int columns = 0;
        quint64 revision = ~quint64(0);
        bool operator==(const TracesDrawn &) const = default;
    };
    Channels m_channels;
    TracesDrawn m_drawn;  // what the chart's points were taken for
    Navigation m_nav;
    QCustomPlot *m_chart = nullptr;
    QCPAxis *m_cutAxis = nullptr;
    std::array<QCPGraph *, WindowTraceCount> m_graphs{};
    std::array<QColor, WindowTraceCount> m_colours;
    std::array<bool, WindowTraceCount> m_visible{};
    std::array<PanelEntry, WindowTraceCount> m_panel;
    QCPItemStraightLine *m_cursorLine = nullptr;
    QCPItemRect *m_band = nullptr;
    QWidget *m_panel1 = nullptr;
    QWidget *m_panel2 = nullptr;
    QFrame *m_shape1 = nullptr;
    LivePoll *m_poll = nullptr;
    GraphAnalysis *m_analysis = nullptr;
    static constexpr int LiveRedrawMs = 40;
    QTimer *m_redraw = nullptr;  // frames come faster than the screen shows them
    QLabel *m_lostFrames = nullptr;
    ToolbarDock *m_menuBar2 = nullptr;
    ToolbarDock *m_navigator = nullptr;
    QAction *m_lock = nullptr;
    QAction *m_free = nullptr;
    double m_cursor = 0;
    bool m_runActive = false;
    bool m_shownOnce = false;
    // mouse gesture in progress
    enum class Drag { None, Zoom, Cursor, Pan } m_drag = Drag::None;
    QPointF m_pressPos;
    std::function<const SettingsImage &()> m_settings;
    class TWheelSpeedSetup *m_wheelSetup = nullptr;
    class TRPMSetup *m_rpmSetup = nullptr;
    class TCutLevelSetup *m_cutSetup = nullptr;
    class TTimeSetup *m_timeSetup = nullptr;
};
