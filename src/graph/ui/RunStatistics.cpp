#include "graph/ui/RunStatistics.h"

#include "graph/RunPace.h"
#include "graph/ui/GraphForm.h"
#include "graph/ui/SecondCursor.h"
#include "graph/ui/SlipTrace.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

RunStatistics::RunStatistics(TGraphChart &graph, SlipTrace &slip, const SecondCursor &cursor2, const RunPace &pace)
    : QObject(&graph), m_g(graph), m_slip(slip), m_cursor2(cursor2), m_pace(pace)
{
}

RunStats RunStatistics::stats()
{
    m_slip.update();  // the settings may have changed since the last redraw
    std::optional<RunStats::Span> span;
    if (const auto b = m_cursor2.position())
        span = RunStats::Span{m_g.cursor(), *b};
    return RunStats::of(m_g.channels(), m_slip.slip(), m_slip.settings(), m_slip.driven(), m_pace.secondsPerSample(),
                        span);
}

void RunStatistics::build()
{
    m_dialog = new QDialog(&m_g);
    m_dialog->setObjectName(QStringLiteral("RunStatistics"));
    m_dialog->setWindowTitle(QStringLiteral("Run Statistics"));
    auto *v = new QVBoxLayout(m_dialog);
    m_text = new QPlainTextEdit(m_dialog);
    m_text->setObjectName(QStringLiteral("StatisticsText"));
    m_text->setAccessibleName(QStringLiteral("Run Statistics"));
    m_text->setReadOnly(true);
    m_text->setMinimumSize(440, 380);
    v->addWidget(m_text);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, m_dialog);
    buttons->button(QDialogButtonBox::Close)->setAccessibleName(QStringLiteral("Close"));
    connect(buttons, &QDialogButtonBox::rejected, m_dialog, &QDialog::reject);
    v->addWidget(buttons);
}

void RunStatistics::show()
{
    if (!m_dialog)
        build();
    const RunStats s = stats();
    const QString scope = m_cursor2.position() ? QStringLiteral("Between the two cursors\n")
                                               : QStringLiteral("The whole run\n");
    m_text->setPlainText(scope + s.text() + QStringLiteral("Time base: ") + m_pace.text() +
                         QStringLiteral("\nSettings: ") + m_g.settingsNamed() + u'\n');
    m_dialog->show();
    m_dialog->raise();
}
