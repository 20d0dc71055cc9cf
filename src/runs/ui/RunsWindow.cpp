#include "runs/ui/RunsWindow.h"

#include "graph/ChartExport.h"
#include "runs/ui/RunsModel.h"
#include "widgets/Dialogs.h"

#include <QBoxLayout>
#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QSortFilterProxyModel>
#include <QTableView>

namespace {

constexpr char Caption[] = "Runs";

}  // namespace

RunsWindow::RunsWindow(RunsLibrary library, QWidget *parent) : QDialog(parent), m_library(std::move(library))
{
    setObjectName(QStringLiteral("RunsWindow"));
    setWindowTitle(QLatin1String(Caption));
    setAttribute(Qt::WA_DeleteOnClose, false);
    m_model = new RunsModel(this);
    m_model->setNoteStore([this](const RunRecord &r) {
        QString error;
        if (m_library.update(r, &error))
            return true;
        Dialogs::instance().error(QStringLiteral("The note could not be stored:\n%1").arg(error), this);
        return false;
    });
    m_sorted = new QSortFilterProxyModel(this);
    m_sorted->setSourceModel(m_model);
    m_sorted->setSortRole(RunsModel::SortRole);

    auto *v = new QVBoxLayout(this);
    auto *where = new QLabel(QStringLiteral("Kept in %1").arg(QDir::toNativeSeparators(m_library.folder())), this);
    where->setObjectName(QStringLiteral("RunsFolder"));
    where->setTextInteractionFlags(Qt::TextSelectableByMouse);
    v->addWidget(where);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("RunsTable"));
    m_table->setAccessibleName(QLatin1String(Caption));
    m_table->setModel(m_sorted);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(RunsModel::Time, Qt::DescendingOrder);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
    m_table->setTabKeyNavigation(false);  // Tab leaves the table for the buttons
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setAccessibleName(QStringLiteral("Columns"));
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->installEventFilter(this);
    v->addWidget(m_table, 1);
    auto *row = new QHBoxLayout;
    buildButtons(row);
    v->addLayout(row);
    connect(m_table, &QAbstractItemView::activated, this, [this](const QModelIndex &index) {
        if (index.column() != RunsModel::Note)  // Enter on the note edits it
            openSelected();
    });
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this, &RunsWindow::updateButtons);
    resize(1100, 460);
    reload();
}

void RunsWindow::buildButtons(QBoxLayout *row)
{
    const std::initializer_list<std::pair<const char *, void (RunsWindow::*)()>> buttons{
        {"&Open", &RunsWindow::openSelected},       {"Open as O&verlay", &RunsWindow::overlaySelected},
        {"&Compare", &RunsWindow::compareSelected}, {"&Export CSV...", &RunsWindow::exportSelected},
        {"&Pin", &RunsWindow::pinSelected},         {"&Delete", &RunsWindow::deleteSelected}};
    for (const auto &[caption, slot] : buttons) {
        auto *b = new QPushButton(QString::fromLatin1(caption), this);
        b->setAccessibleName(QString::fromLatin1(caption).remove(u'&'));
        b->setObjectName(QStringLiteral("Runs") + b->accessibleName().remove(u' ').remove(QStringLiteral("...")));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        row->addWidget(b);
        m_buttons.append(b);
    }
    auto *attach = new QPushButton(QStringLiteral("Attach &Settings"), this);
    attach->setAccessibleName(QStringLiteral("Attach Settings"));
    attach->setObjectName(QStringLiteral("RunsAttachSettings"));
    attach->setToolTip(
        QStringLiteral("Records the unit's settings, read now, as those of a run whose settings are unknown"));
    attach->setAutoDefault(false);
    connect(attach, &QPushButton::clicked, this, [this] {
        if (const auto r = single())
            emit attachRequested(*r);
    });
    m_buttons.append(attach);
    row->addWidget(attach);
    row->addStretch(1);
    auto *close = new QPushButton(QStringLiteral("Close"), this);
    close->setAccessibleName(QStringLiteral("Close"));
    close->setObjectName(QStringLiteral("RunsClose"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    m_buttons.append(close);
    row->addWidget(close);
}

QPushButton *RunsWindow::button(const QString &accessibleName) const
{
    for (QPushButton *b : m_buttons)
        if (b->accessibleName() == accessibleName)
            return b;
    return nullptr;
}

void RunsWindow::reload()
{
    QStringList selected;
    for (const RunRecord &r : selectedRuns())
        selected.append(r.id);
    m_model->setRuns(m_library.runs());
    for (int row = 0; row < m_model->rowCount(); ++row)
        if (selected.contains(m_model->run(row).id))
            m_table->selectionModel()->select(m_sorted->mapFromSource(m_model->index(row, 0)),
                                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
    if (!m_table->selectionModel()->hasSelection() && m_model->rowCount())
        m_table->setCurrentIndex(m_sorted->index(0, RunsModel::Time));
    m_table->resizeColumnsToContents();
    updateButtons();
}

QList<RunRecord> RunsWindow::selectedRuns() const
{
    QList<RunRecord> runs;
    for (const QModelIndex &index : m_table->selectionModel()->selectedRows())
        runs.append(m_model->run(m_sorted->mapToSource(index).row()));
    return runs;
}

int RunsWindow::modelRow(const RunRecord &run) const
{
    for (int row = 0; row < m_model->rowCount(); ++row)
        if (m_model->run(row).id == run.id)
            return row;
    return -1;
}

void RunsWindow::updateButtons()
{
    const QList<RunRecord> runs = selectedRuns();
    const bool one = runs.size() == 1;
    button(QStringLiteral("Open"))->setEnabled(one);
    button(QStringLiteral("Open as Overlay"))->setEnabled(one);
    button(QStringLiteral("Compare"))->setEnabled(runs.size() == 2);
    button(QStringLiteral("Export CSV..."))->setEnabled(one);
    button(QStringLiteral("Delete"))->setEnabled(!runs.isEmpty());
    button(QStringLiteral("Attach Settings"))->setEnabled(one && !runs[0].image);
    QPushButton *pin = button(QStringLiteral("Pin"));
    pin->setEnabled(!runs.isEmpty());
    const bool allPinned = !runs.isEmpty() &&
                           std::all_of(runs.begin(), runs.end(), [](const RunRecord &r) { return r.pinned; });
    pin->setText(allPinned ? QStringLiteral("Un&pin") : QStringLiteral("&Pin"));
}

std::optional<RunRecord> RunsWindow::single()
{
    const QList<RunRecord> runs = selectedRuns();
    if (runs.size() == 1)
        return runs[0];
    Dialogs::instance().message(QStringLiteral("Select one run."), this);
    return std::nullopt;
}

void RunsWindow::openSelected()
{
    if (const auto r = single())
        emit openRequested(*r);
}

void RunsWindow::overlaySelected()
{
    if (const auto r = single())
        emit overlayRequested(*r);
}

void RunsWindow::compareSelected()
{
    const QList<RunRecord> runs = selectedRuns();
    if (runs.size() != 2) {
        Dialogs::instance().message(QStringLiteral("Select the two runs to compare."), this);
        return;
    }
    emit compareRequested(runs[0], runs[1]);
}

void RunsWindow::exportSelected()
{
    const auto r = single();
    if (!r)
        return;
    Dialogs::FileRequest request;
    request.title = QStringLiteral("Export CSV");
    request.filters = {QStringLiteral("CSV file (*.csv)")};
    request.defaultSuffix = QStringLiteral("csv");
    request.fileName = r->id + QStringLiteral(".csv");
    const QString path = Dialogs::instance().saveFile(request, this);
    if (path.isEmpty())
        return;
    Channels channels;
    QString error;
    if (!loadRun(*r, channels, &error)) {
        Dialogs::instance().error(error, this);
        return;
    }
    const QByteArray bytes = ChartExport::data(channels, ChartExport::csvPoints());
    QSaveFile file(path);  // a failed write leaves what was there
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        Dialogs::instance().error(QStringLiteral("File failed to save\n%1: %2").arg(path, file.errorString()), this);
}

void RunsWindow::pinSelected()
{
    const QList<RunRecord> runs = selectedRuns();
    const bool pin = !std::all_of(runs.begin(), runs.end(), [](const RunRecord &r) { return r.pinned; });
    for (RunRecord r : runs) {
        r.pinned = pin;
        QString error;
        if (!m_library.update(r, &error)) {
            Dialogs::instance().error(QStringLiteral("The run could not be changed:\n%1").arg(error), this);
            break;
        }
        m_model->replace(modelRow(r), r);
    }
    updateButtons();
}

void RunsWindow::deleteSelected()
{
    const QList<RunRecord> runs = selectedRuns();
    if (runs.isEmpty())
        return;
    const QString what = runs.size() == 1
                             ? QStringLiteral("the run of %1")
                                   .arg(runs[0].time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                             : QStringLiteral("these %1 runs").arg(runs.size());
    if (!Dialogs::instance().question(
            QStringLiteral("Delete %1? Its graph file and record are removed for good.").arg(what), this))
        return;
    for (const RunRecord &r : runs) {
        QString error;
        if (!m_library.remove(r, &error)) {
            Dialogs::instance().error(QStringLiteral("The run could not be deleted:\n%1").arg(error), this);
            break;
        }
    }
    reload();
}

bool RunsWindow::eventFilter(QObject *watched, QEvent *event)
{
    // while the note is edited, its keys go to the editor, not here
    if (watched == m_table && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Delete) {
            deleteSelected();
            return true;
        }
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            m_table->currentIndex().column() != RunsModel::Note) {
            openSelected();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
