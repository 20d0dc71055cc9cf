#pragma once

#include "graph/RunStats.h"

#include <QObject>

class QDialog;
class QPlainTextEdit;
class RunPace;
class SecondCursor;
class SlipTrace;
class TGraphChart;

// "Run Statistics": the run's figures, between the two cursors when the second is placed, in a
// window of its own that may stay open while the cursors move.
class RunStatistics : public QObject {
    Q_OBJECT
public:
    RunStatistics(TGraphChart &graph, SlipTrace &slip, const SecondCursor &cursor2, const RunPace &pace);

    RunStats stats();
    void show();
    QPlainTextEdit *text() const { return m_text; }

private:
    void build();

    TGraphChart &m_g;
    SlipTrace &m_slip;
    const SecondCursor &m_cursor2;
    const RunPace &m_pace;
    QDialog *m_dialog = nullptr;
    QPlainTextEdit *m_text = nullptr;
};
