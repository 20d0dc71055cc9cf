#include "runs/ui/RunComparisonDialog.h"

#include "widgets/ComparisonView.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

RunComparisonDialog::RunComparisonDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("RunComparison"));
    setWindowTitle(QStringLiteral("Compare Runs"));
    auto *v = new QVBoxLayout(this);
    m_heading = new QLabel(this);
    m_heading->setObjectName(QStringLiteral("RunComparisonHeading"));
    m_heading->setAccessibleName(QStringLiteral("Runs compared"));
    m_heading->setTextInteractionFlags(Qt::TextSelectableByMouse);
    v->addWidget(m_heading);
    m_figures = new QTableWidget(0, 3, this);
    m_figures->setObjectName(QStringLiteral("RunComparisonFigures"));
    m_figures->setAccessibleName(QStringLiteral("Figures"));
    m_figures->setHorizontalHeaderLabels(
        {QStringLiteral("Run"), QStringLiteral("Overlay"), QStringLiteral("Difference")});
    m_figures->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (QAbstractButton *corner : m_figures->findChildren<QAbstractButton *>())
        corner->setAccessibleName(QStringLiteral("Select all"));
    m_figures->horizontalHeader()->setAccessibleName(QStringLiteral("Runs"));
    m_figures->verticalHeader()->setAccessibleName(QStringLiteral("Figures"));
    v->addWidget(m_figures, 3);
    m_changesLabel = new QLabel(QStringLiteral("Settings changed"), this);
    v->addWidget(m_changesLabel);
    m_changes = new ComparisonView(this);
    m_changes->setObjectName(QStringLiteral("RunComparisonChanges"));
    m_changes->setAccessibleName(QStringLiteral("Settings changed"));
    m_changesLabel->setBuddy(m_changes);
    v->addWidget(m_changes, 2);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setAccessibleName(QStringLiteral("Close"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    v->addWidget(buttons);
    resize(620, 640);
}

void RunComparisonDialog::show(const RunComparison &c)
{
    const auto line = [](const char *role, const RunRecord &r) {
        return QStringLiteral("%1: %2, %3, %4")
            .arg(QLatin1String(role), r.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                 r.kindText(), r.tuneText());
    };
    m_heading->setText(
        line("Run", c.older) + u'\n' + line("Overlay", c.newer) + u'\n' +
        (c.olderLaunch && c.newerLaunch
             ? QStringLiteral("Aligned at the first launch: the overlay shifted %1 samples").arg(c.offset)
             : QStringLiteral("Not aligned: a run holds no launch from standstill")));
    const QList<RunComparison::Row> rows = c.rows();
    m_figures->setRowCount(int(rows.size()));
    for (int i = 0; i < rows.size(); ++i) {
        m_figures->setVerticalHeaderItem(i, new QTableWidgetItem(rows[i].name));
        const QString cells[] = {rows[i].older, rows[i].newer, rows[i].difference};
        for (int col = 0; col < 3; ++col) {
            auto *item = new QTableWidgetItem(cells[col]);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_figures->setItem(i, col, item);
        }
    }
    m_figures->resizeColumnsToContents();
    m_changesLabel->setText(!c.settingsKnown      ? QStringLiteral("Settings changed: settings unknown")
                            : c.changes.isEmpty() ? QStringLiteral("Settings changed: none")
                                                  : QStringLiteral("Settings changed"));
    m_changes->setChanges(c.changes);
    QDialog::show();
    raise();
}
