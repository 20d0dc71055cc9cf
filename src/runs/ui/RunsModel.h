#pragma once

#include "runs/RunRecord.h"

#include <QAbstractTableModel>
#include <QList>

#include <functional>

// The kept runs as the runs window lists them, one row each; the note is edited in place.
class RunsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        Pinned,
        Time,
        Kind,
        Duration,
        Version,
        Tune,
        PeakWheel,
        PeakSlip,
        Above1,
        Above2,
        Above3,
        ZeroTo100,
        Note,
        ColumnCount
    };
    static constexpr int SortRole = Qt::UserRole;

    explicit RunsModel(QObject *parent = nullptr);

    void setRuns(QList<RunRecord> runs);
    const QList<RunRecord> &runs() const { return m_runs; }
    const RunRecord &run(int row) const { return m_runs[row]; }
    void replace(int row, const RunRecord &record);
    // Stores a changed note; false (nothing changed) when it could not be stored.
    void setNoteStore(std::function<bool(const RunRecord &)> store) { m_store = std::move(store); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

private:
    QVariant sortValue(const RunRecord &r, int column) const;
    QString text(const RunRecord &r, int column) const;

    QList<RunRecord> m_runs;
    std::function<bool(const RunRecord &)> m_store;
};
