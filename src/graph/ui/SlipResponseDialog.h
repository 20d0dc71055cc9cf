#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QTableWidget;
class TGraphChart;

// The slip response of the run on display, or of the span between the two cursors: the share of
// each slip band's samples at each cut level, and the delays from slip crossing a threshold to the
// cut level reaching its sequence. It reads the graph window's analysis, settings as it uses them.
class SlipResponseDialog : public QDialog {
    Q_OBJECT
public:
    explicit SlipResponseDialog(TGraphChart *graph);
    // Adds "Slip &Response" after "Run S&tatistics" in the graph window's menu.
    static SlipResponseDialog *install(TGraphChart *graph);

    void refresh();
    QTableWidget *table() const { return m_table; }
    QPlainTextEdit *delays() const { return m_delays; }
    QLabel *scope() const { return m_scope; }

private:
    TGraphChart *m_graph;
    QLabel *m_scope = nullptr;
    QTableWidget *m_table = nullptr;
    QPlainTextEdit *m_delays = nullptr;
};
