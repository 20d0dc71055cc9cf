#include "widgets/ComparisonView.h"

#include "widgets/CutPatternBoxes.h"

#include <QAbstractButton>
#include <QHeaderView>

namespace {

QTableWidgetItem *cell(const QString &text)
{
    auto *made = new QTableWidgetItem(text);
    made->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return made;
}

}  // namespace

ComparisonView::ComparisonView(QWidget *parent) : QTableWidget(0, ColumnCount, parent)
{
    setObjectName(QStringLiteral("ComparisonView"));
    setAccessibleName(QStringLiteral("Changes"));
    setHorizontalHeaderLabels({QStringLiteral("Page"), QStringLiteral("Setting"), QStringLiteral("Before"),
                               QStringLiteral("After"), QStringLiteral("Unit")});
    setEditTriggers(NoEditTriggers);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setWordWrap(false);
    verticalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setAccessibleName(QStringLiteral("Columns"));
    verticalHeader()->setAccessibleName(QStringLiteral("Rows"));
    for (QAbstractButton *corner : findChildren<QAbstractButton *>())
        corner->setAccessibleName(QStringLiteral("Select all"));
}

void ComparisonView::setChanges(const QList<SettingChange> &changes)
{
    m_changes = changes;
    clearContents();
    setRowCount(int(changes.size()));
    for (int row = 0; row < rowCount(); ++row) {
        const SettingChange &c = changes[row];
        setItem(row, Page, cell(c.page.isEmpty() ? QStringLiteral("Not shown") : c.page));
        setItem(row, Setting, cell(c.group.isEmpty() ? c.label : c.group + QStringLiteral(" / ") + c.label));
        setItem(row, Before, cell(c.before));
        setItem(row, After, cell(c.after));
        setItem(row, Unit, cell(c.unit));
        if (c.pattern) {
            // The boxes stand in the cell; the item keeps the cells for a screen reader only.
            for (const Column column : {Before, After}) {
                QTableWidgetItem *under = item(row, column);
                under->setData(Qt::AccessibleTextRole, under->text());
                under->setText(QString());
            }
            setCellWidget(row, Before, new CutPatternBoxes(c.before, c.after));
            setCellWidget(row, After, new CutPatternBoxes(c.after, c.before));
        }
    }
    resizeColumnsToContents();
    const int boxes = CutPatternBoxes(QString(20, QLatin1Char('0')), {}).sizeHint().width() + 8;
    for (const Column column : {Before, After})
        setColumnWidth(column, qMax(columnWidth(column), boxes));
    resizeRowsToContents();
}

QSize ComparisonView::sizeHint() const
{
    int width = frameWidth() * 2 + 4;
    for (int column = 0; column < ColumnCount; ++column)
        width += columnWidth(column);
    const int rows = qBound(4, rowCount(), 14);
    const int rowHeight = rowCount() > 0 ? this->rowHeight(0) : 24;
    return {qMin(width, 900), horizontalHeader()->height() + rows * rowHeight + frameWidth() * 2 + 4};
}
