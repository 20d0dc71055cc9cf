#include "settings/ui/TuneHistoryDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

TuneHistoryDialog::TuneHistoryDialog(const TuneHistory &history, QWidget *parent) : QDialog(parent), m_history(history)
{
    setObjectName(QStringLiteral("TuneHistoryDialog"));
    setWindowTitle(QStringLiteral("History"));
    auto *layout = new QVBoxLayout(this);
    auto *caption = new QLabel(
        QStringLiteral("Tunes kept from every read, write and save (the last %1):").arg(TuneHistory::MaxEntries), this);
    layout->addWidget(caption);

    m_list = new QTableWidget(0, 3, this);
    m_list->setObjectName(QStringLiteral("HistoryList"));
    m_list->setAccessibleName(QStringLiteral("Tunes kept"));
    m_list->setHorizontalHeaderLabels(
        {QStringLiteral("Time"), QStringLiteral("Action"), QStringLiteral("Unit version")});
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_list);
    m_empty = new QLabel(QStringLiteral("No tune kept yet: reading, writing or saving settings keeps one."), this);
    layout->addWidget(m_empty);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_load = buttons->addButton(QStringLiteral("&Load into the pages"), QDialogButtonBox::ActionRole);
    m_load->setObjectName(QStringLiteral("HistoryLoad"));
    m_load->setAccessibleName(QStringLiteral("Load into the pages"));
    m_compare = buttons->addButton(QStringLiteral("&Compare with the pages"), QDialogButtonBox::ActionRole);
    m_compare->setObjectName(QStringLiteral("HistoryCompare"));
    m_compare->setAccessibleName(QStringLiteral("Compare with the pages"));
    buttons->button(QDialogButtonBox::Close)->setAccessibleName(QStringLiteral("Close"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QTableWidget::itemSelectionChanged, this, &TuneHistoryDialog::selectionChanged);
    connect(m_load, &QPushButton::clicked, this, [this] {
        if (const TuneHistory::Entry *e = selected()) {
            emit loadRequested(e->image, e->what());
            accept();
        }
    });
    connect(m_compare, &QPushButton::clicked, this, [this] {
        if (const TuneHistory::Entry *e = selected())
            emit compareRequested(e->image);
    });
    resize(560, 360);
    fill();
}

void TuneHistoryDialog::fill()
{
    m_entries = m_history.entries();
    std::reverse(m_entries.begin(), m_entries.end());
    m_list->setRowCount(int(m_entries.size()));
    for (int row = 0; row < m_entries.size(); ++row) {
        const TuneHistory::Entry &e = m_entries[row];
        const QStringList cells{e.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), e.what(),
                                e.version};
        for (int column = 0; column < cells.size(); ++column)
            m_list->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    m_list->resizeColumnsToContents();
    m_list->setVisible(!m_entries.isEmpty());
    m_empty->setVisible(m_entries.isEmpty());
    if (!m_entries.isEmpty())
        m_list->selectRow(0);
    selectionChanged();
}

const TuneHistory::Entry *TuneHistoryDialog::selected() const
{
    const auto rows = m_list->selectionModel()->selectedRows();
    if (rows.isEmpty() || rows.first().row() >= m_entries.size())
        return nullptr;
    return &m_entries[rows.first().row()];
}

void TuneHistoryDialog::selectionChanged()
{
    const bool any = selected() != nullptr;
    m_load->setEnabled(any);
    m_compare->setEnabled(any);
}
