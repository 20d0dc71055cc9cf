#include "graph/ui/SetupForm.h"

#include "widgets/Dialogs.h"
#include "widgets/NumberKeyFilter.h"
#include "graph/ui/GraphForm.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

SetupForm::SetupForm(TGraphChart *graph, const Shape &shape, QWidget *parent)
    : QDialog(parent), m_graph(graph), m_keys(new NumberKeyFilter(this)), m_axis(shape.axis)
{
    setObjectName(QString::fromLatin1(shape.name));
    setWindowTitle(QString::fromLatin1(shape.caption));
    if (!parent)  // nobody else would delete it
        connect(graph, &QObject::destroyed, this, &QObject::deleteLater);
    m_grid = new QGridLayout(this);
    auto *label = new QLabel(QStringLiteral("Maximum Displayed Value"), this);
    m_grid->addWidget(label, 0, 0);
    Edit1 = new QLineEdit(QString::fromLatin1(shape.initial), this);
    label->setBuddy(Edit1);
    Edit1->setAccessibleName(label->text());
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->installEventFilter(this);
    m_grid->addWidget(Edit1, 0, 1);
    if (*shape.unit)
        m_grid->addWidget(new QLabel(QString::fromLatin1(shape.unit), this), 0, 2);
    int line = 1;
    for (const TraceRow &row : shape.rows)
        addRow(row, line++);
    OK = new QPushButton(QStringLiteral("OK"), this);
    OK->setObjectName(QStringLiteral("OK"));
    OK->setAutoDefault(false);
    m_grid->addWidget(OK, line, 1);
    connect(OK, &QPushButton::clicked, this, &QDialog::accept);  // OKClick
}

void SetupForm::addRow(const TraceRow &row, int line)
{
    auto *button = new QPushButton(QString::fromLatin1(row.caption), this);
    button->setObjectName(QString::fromLatin1(row.button));
    button->setAutoDefault(false);
    button->setLayoutDirection(Qt::RightToLeft);  // the sample sits in the caption's trailing spaces
    auto *box = new QCheckBox(QStringLiteral("Visible"), this);
    box->setObjectName(QString::fromLatin1(row.box));
    m_rows.push_back({row.trace, button, box});
    const Row &r = m_rows.back();
    paintButton(r);
    m_grid->addWidget(button, line, 0);
    m_grid->addWidget(box, line, 1);

    connect(button, &QPushButton::clicked, this, [this, r] {
        if (auto c = Dialogs::instance().color(m_graph->traceColour(r.trace), this)) {
            m_graph->setTraceColour(r.trace, *c);
            paintButton(r);
        }
    });
    // toggled, not clicked: filling the box restates the state through the same path
    connect(box, &QCheckBox::toggled, this, [this, t = row.trace](bool on) {
        m_graph->setTraceVisible(t, on);  // at once, before the dialog closes
        if (t != Trace::RPM && t != Trace::CutLevel)
            m_graph->colourPanel(t);
    });
}

void SetupForm::paintButton(const Row &row)
{
    QPixmap sample(14, 14);
    sample.fill(m_graph->traceColour(row.trace));
    row.button->setIcon(QIcon(sample));
}

void SetupForm::fill()
{
    Edit1->setText(formatGeneral((m_graph->navigation().axes.*m_axis).max));
    m_saved.clear();
    for (const Row &row : m_rows) {
        row.box->setChecked(m_graph->traceVisible(row.trace));
        paintButton(row);
        m_saved.push_back({m_graph->traceVisible(row.trace), m_graph->traceColour(row.trace)});
    }
}

void SetupForm::addCancel()
{
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setAccessibleName(m_cancel->text());
    m_cancel->setObjectName(QStringLiteral("Cancel"));
    m_cancel->setAutoDefault(false);
    int row, column, rows, columns;
    m_grid->getItemPosition(m_grid->indexOf(OK), &row, &column, &rows, &columns);
    m_grid->addWidget(m_cancel, row, column + 1);
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        for (size_t i = 0; i < m_rows.size() && i < m_saved.size(); ++i) {
            const Row &row = m_rows[i];
            m_graph->setTraceColour(row.trace, m_saved[i].colour);
            row.box->setChecked(m_saved[i].visible);  // shows or hides it through the same path
            m_graph->setTraceVisible(row.trace, m_saved[i].visible);
            m_graph->colourAxis(row.trace);
            paintButton(row);
        }
        cancelled();
        m_graph->applyAxes();
        m_graph->realTime().resume();
        QDialog::done(Rejected);
    });
}

void SetupForm::showEvent(QShowEvent *e)
{
    if (!m_shownOnce && parentWidget()) {  // centred on the main window the first time
        m_shownOnce = true;
        const QWidget *main = m_graph->parentWidget() ? m_graph->parentWidget()->window() : m_graph;
        move(main->geometry().center() - rect().center());
    }
    m_graph->realTime().pause();  // bytes arriving now are not live samples
    QDialog::showEvent(e);
}

bool SetupForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Edit1 && event->type() == QEvent::KeyPress)
        return Edit1KeyPress(static_cast<QKeyEvent *>(event));
    return QDialog::eventFilter(watched, event);
}

bool SetupForm::Edit1KeyPress(const QKeyEvent *key)
{
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        close();  // applies, or stays open on a bad number
        return true;
    }
    return m_keys->refuses(Edit1, key);
}

void SetupForm::keyPressEvent(QKeyEvent *e)
{
    // Without a Cancel button Escape would read as one, yet every close applies: it does nothing
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        e->accept();
        if (m_cancel)
            m_cancel->click();
        return;
    }
    QDialog::keyPressEvent(e);
}

void SetupForm::done(int r)
{
    if (FormClose())
        QDialog::done(r);
}

bool SetupForm::FormClose()
{
    for (const Row &row : m_rows)  // before the number is converted
        m_graph->colourAxis(row.trace);
    double v;
    if (!parseLocaleDouble(Edit1->text(), &v)) {
        Dialogs::instance().error(notAFloatMessage(Edit1->text()), this);
        return false;
    }
    m_graph->navigation().axes.*m_axis = AxisRange::rule(0, maximum(v));
    for (const Row &row : m_rows)  // a hidden wheel channel's texts turn grey
        m_graph->colourPanel(row.trace);
    m_graph->applyAxes();
    m_graph->realTime().resume();  // what came meanwhile is drained first
    return true;
}
