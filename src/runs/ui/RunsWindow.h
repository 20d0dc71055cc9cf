#pragma once

#include "runs/RunsLibrary.h"

#include <QDialog>

#include <array>

class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class RunsModel;

// The runs kept by themselves, newest first, sortable by any column, the note edited in place.
// What the graph window does with a run is the caller's: the window only asks for it.
class RunsWindow : public QDialog {
    Q_OBJECT
public:
    explicit RunsWindow(RunsLibrary library, QWidget *parent = nullptr);

    // Reads the library again, keeping the sort and, where it is still there, the selection.
    void reload();
    QList<RunRecord> selectedRuns() const;
    QTableView *table() const { return m_table; }
    RunsModel *model() const { return m_model; }
    QPushButton *button(const QString &accessibleName) const;
    const RunsLibrary &library() const { return m_library; }

    void openSelected();
    void overlaySelected();
    void compareSelected();
    void exportSelected();
    void pinSelected();
    void deleteSelected();

signals:
    void openRequested(const RunRecord &run);
    void overlayRequested(const RunRecord &run);
    void compareRequested(const RunRecord &a, const RunRecord &b);
    // A run of unknown settings: the user asks for the unit's settings read now to be attached.
    void attachRequested(const RunRecord &run);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildButtons(class QBoxLayout *row);
    void updateButtons();
    // The one selected run, or a message and nothing.
    std::optional<RunRecord> single();
    int modelRow(const RunRecord &run) const;

    RunsLibrary m_library;
    RunsModel *m_model = nullptr;
    QSortFilterProxyModel *m_sorted = nullptr;
    QTableView *m_table = nullptr;
    QList<QPushButton *> m_buttons;
};
