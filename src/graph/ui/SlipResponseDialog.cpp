#include "graph/ui/SlipResponseDialog.h"

#include "graph/SlipResponse.h"
#include "graph/ui/GraphAnalysis.h"
#include "graph/ui/SecondCursor.h"
#include "graph/ui/SlipTrace.h"
#include "graph/RunPace.h"
#include "graph/ui/GraphForm.h"

#include <QAction>
#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

SlipResponseDialog::SlipResponseDialog(TGraphChart *graph) : QDialog(graph), m_graph(graph)
{
    setObjectName(QStringLiteral("SlipResponse"));
    setWindowTitle(QStringLiteral("Slip Response"));
    auto *v = new QVBoxLayout(this);
    m_scope = new QLabel(this);
    m_scope->setObjectName(QStringLiteral("SlipResponseScope"));
    v->addWidget(m_scope);
    m_table = new QTableWidget(SlipResponse::Bands, SlipResponse::Levels + 1, this);
    m_table->setObjectName(QStringLiteral("SlipResponseTable"));
    m_table->setAccessibleName(QStringLiteral("Share of each slip band's samples at each cut level"));
    QStringList headers;
    for (int level = 0; level < SlipResponse::Levels; ++level)
        headers << QStringLiteral("Cut %1").arg(level);
    m_table->setHorizontalHeaderLabels(headers << QStringLiteral("Samples"));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (QAbstractButton *corner : m_table->findChildren<QAbstractButton *>())
        corner->setAccessibleName(QStringLiteral("Select all"));
    m_table->horizontalHeader()->setAccessibleName(QStringLiteral("Cut levels"));
    m_table->verticalHeader()->setAccessibleName(QStringLiteral("Slip bands"));
    v->addWidget(m_table);
    m_delays = new QPlainTextEdit(this);
    m_delays->setObjectName(QStringLiteral("SlipResponseDelays"));
    m_delays->setAccessibleName(QStringLiteral("Delays"));
    m_delays->setReadOnly(true);
    v->addWidget(m_delays);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setAccessibleName(QStringLiteral("Close"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    v->addWidget(buttons);
    resize(720, 420);
}

SlipResponseDialog *SlipResponseDialog::install(TGraphChart *graph)
{
    auto *dialog = new SlipResponseDialog(graph);
    auto *action = new QAction(QStringLiteral("Slip &Response"), graph);
    action->setObjectName(QStringLiteral("SlipResponse1"));
    connect(action, &QAction::triggered, dialog, &SlipResponseDialog::refresh);
    QAction *stats = graph->findChild<QAction *>(QStringLiteral("RunStatistics1"));
    for (QObject *o : stats ? stats->associatedObjects() : QObjectList{})
        if (auto *menu = qobject_cast<QMenu *>(o)) {
            const auto actions = menu->actions();
            const qsizetype at = actions.indexOf(stats);
            menu->insertAction(at + 1 < actions.size() ? actions[at + 1] : nullptr, action);
        }
    return dialog;
}

void SlipResponseDialog::refresh()
{
    GraphAnalysis &a = m_graph->analysis();
    SlipTrace &slip = a.slipTrace();
    slip.update();
    std::optional<RunStats::Span> span;
    if (const auto second = a.secondCursor().position())
        span = RunStats::Span{m_graph->cursor(), *second};
    const SlipResponse r = SlipResponse::of(m_graph->channels(), slip.slip(), slip.settings(),
                                            a.pace().secondsPerSample(), span);
    m_scope->setText(
        (span ? QStringLiteral("Between the two cursors: %1 samples") : QStringLiteral("The whole run: %1 samples"))
            .arg(r.samples) +
        QStringLiteral("\nTime base: ") + a.pace().text());
    for (int band = 0; band < SlipResponse::Bands; ++band) {
        m_table->setVerticalHeaderItem(band, new QTableWidgetItem(r.bandName(band)));
        for (int col = 0; col <= SlipResponse::Levels; ++col) {
            const QString text = col < SlipResponse::Levels
                                     ? QString::number(r.share(band, col) * 100, 'f', 1) + QStringLiteral(" %")
                                     : QString::number(r.bandSamples[size_t(band)]);
            auto *item = new QTableWidgetItem(text);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_table->setItem(band, col, item);
        }
    }
    m_table->resizeColumnsToContents();
    m_delays->setPlainText(r.text().section(u'\n', SlipResponse::Bands + 3));
    show();
    raise();
}
