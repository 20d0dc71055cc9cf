#pragma once

#include "runs/RunsLibrary.h"
#include "runs/ui/RunsWindow.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

class MainMessages;
class QMenu;
class QWidget;
class RunComparisonDialog;
class SlipResponseDialog;
class TGraphChart;
class TractionLink;
class TRegistryRoutines;

// The runs library in the main window: each complete logger upload and each logged live run kept
// with the settings image in force, View "Runs" to look at them, and what opening, overlaying and
// comparing them does in the graph window. All its use of the graph window is here.
class MainRuns : public QObject {
    Q_OBJECT
public:
    // What it works with: the menus its items join (File and Options locked mean an exchange
    // runs), the option store (the runs' folder, the tune history), the graph window, the link,
    // the settings image and file name, the message area and the window its boxes belong to.
    struct Parts {
        QMenu *fileMenu;
        QMenu *viewMenu;
        QMenu *optionsMenu;
        TRegistryRoutines &options;
        TGraphChart *graph;
        TractionLink &link;
        const SettingsImage &image;
        std::function<QString()> fileName;
        MainMessages &messages;
        QWidget *window;
        std::function<void(const QString &chapter)> showManual;  // F1 in the runs window
    };
    MainRuns(const Parts &parts, QObject *parent);

    // A whole logger memory has just come; also a live run's closed log file.
    void uploaded(const QByteArray &logImage);
    void liveRunLogged(const QString &path, double secondsPerFrame);

    void Runs1Execute();
    void RunsFolder1Execute();
    RunsWindow *runsWindow() const;
    RunComparisonDialog *comparisonDialog() const { return m_comparison; }
    SlipResponseDialog *slipResponse() const { return m_slipResponse; }

    // In the graph window: a kept run as the run, read with its own settings; as the overlay;
    // two runs, the older as the run and the newer as the overlay, aligned at their first launch.
    bool openRun(const RunRecord &run);
    bool overlayRun(const RunRecord &run);
    bool compareRuns(const RunRecord &a, const RunRecord &b);
    // The unit's settings, read now, recorded as those of a run that had none.
    void attachSettings(const RunRecord &run);

private:
    void keep(RunRecord::Kind kind, const QByteArray &dosBytes, double secondsPerFrame);
    void showWhenIdle(const QString &error);
    const SettingsImage &graphSettings();
    void showRunTitle(bool shown);

    Parts m_parts;
    QPointer<RunsWindow> m_runsWindow;
    RunComparisonDialog *m_comparison = nullptr;
    SlipResponseDialog *m_slipResponse = nullptr;
    // the kept run on display in the graph window, while its channels hold it
    struct Shown {
        RunRecord run;
        quint64 revision;
    };
    std::optional<Shown> m_shown;
    QString m_graphTitle;
};
