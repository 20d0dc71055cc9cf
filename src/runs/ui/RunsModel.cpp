#include "runs/ui/RunsModel.h"

namespace {

constexpr const char *Titles[] = {"Pinned",
                                  "Date and time",
                                  "Kind",
                                  "Duration",
                                  "Version",
                                  "Tune",
                                  "Peak wheel speed",
                                  "Peak slip",
                                  "Above Sequence 1",
                                  "Above Sequence 2",
                                  "Above Sequence 3",
                                  "0-100 km/h",
                                  "Note"};
static_assert(std::size(Titles) == RunsModel::ColumnCount);

QString seconds(double s) { return QString::number(s, 'f', 2) + QStringLiteral(" s"); }

}  // namespace

RunsModel::RunsModel(QObject *parent) : QAbstractTableModel(parent) {}

void RunsModel::setRuns(QList<RunRecord> runs)
{
    beginResetModel();
    m_runs = std::move(runs);
    endResetModel();
}

void RunsModel::replace(int row, const RunRecord &record)
{
    m_runs[row] = record;
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

int RunsModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : int(m_runs.size()); }
int RunsModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : ColumnCount; }

QString RunsModel::text(const RunRecord &r, int column) const
{
    const RunRecord::Summary &s = r.summary;
    switch (column) {
    case Pinned: return r.pinned ? QStringLiteral("pinned") : QString();
    case Time: return r.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case Kind: return r.kindText();
    case Duration: return seconds(r.seconds());
    case Version: return r.version;
    case Tune: return r.tuneText();
    case PeakWheel: return QString::number(s.peakWheel, 'f', 0) + QStringLiteral(" km/h");
    case PeakSlip: return QString::number(s.peakSlip, 'f', 1) + QStringLiteral(" %");
    case Above1:
    case Above2:
    case Above3: {
        const auto k = size_t(column - Above1);
        return QStringLiteral("%1 (%2 %)").arg(seconds(s.secondsAtOrAbove[k])).arg(s.assertAt[k]);
    }
    case ZeroTo100: return s.zeroTo100 ? seconds(*s.zeroTo100) : QStringLiteral("-");
    case Note: return r.note;
    }
    return {};
}

QVariant RunsModel::sortValue(const RunRecord &r, int column) const
{
    switch (column) {
    case Pinned: return r.pinned;
    case Time: return r.time;
    case Duration: return r.seconds();
    case PeakWheel: return r.summary.peakWheel;
    case PeakSlip: return r.summary.peakSlip;
    case Above1:
    case Above2:
    case Above3: return r.summary.secondsAtOrAbove[size_t(column - Above1)];
    case ZeroTo100: return r.summary.zeroTo100.value_or(1e9);  // none sorts after every time
    }
    return text(r, column);
}

QVariant RunsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_runs.size())
        return {};
    const RunRecord &r = m_runs[index.row()];
    if (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::AccessibleTextRole)
        return text(r, index.column());
    if (role == SortRole)
        return sortValue(r, index.column());
    if (role == Qt::TextAlignmentRole && index.column() >= Duration && index.column() != Version &&
        index.column() != Tune && index.column() != Note)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::ToolTipRole && index.column() == Tune)
        return r.settingsText();
    return {};
}

QVariant RunsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) &&
        section < ColumnCount)
        return QString::fromLatin1(Titles[section]);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags RunsModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.column() == Note)
        f |= Qt::ItemIsEditable;
    return f;
}

bool RunsModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || index.column() != Note || index.row() >= m_runs.size())
        return false;
    RunRecord changed = m_runs[index.row()];
    changed.note = value.toString();
    if (changed.note == m_runs[index.row()].note || (m_store && !m_store(changed)))
        return false;
    replace(index.row(), changed);
    return true;
}
