#pragma once

#include "runs/RunComparison.h"

#include <QDialog>

class ComparisonView;
class QLabel;
class QTableWidget;

// Two runs side by side: their figures with the difference, and the settings changed between
// them in the comparison box. It stays open beside the graph window.
class RunComparisonDialog : public QDialog {
    Q_OBJECT
public:
    explicit RunComparisonDialog(QWidget *parent = nullptr);
    void show(const RunComparison &comparison);

    QTableWidget *figures() const { return m_figures; }
    ComparisonView *changes() const { return m_changes; }
    QLabel *heading() const { return m_heading; }

private:
    QLabel *m_heading = nullptr;
    QTableWidget *m_figures = nullptr;
    QLabel *m_changesLabel = nullptr;
    ComparisonView *m_changes = nullptr;
};
