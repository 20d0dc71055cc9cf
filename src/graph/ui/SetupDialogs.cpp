#include "graph/ui/SetupDialogs.h"

#include "app/Dialogs.h"
#include "graph/ui/GraphForm.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTimer>

#include <QScreen>

namespace {
constexpr std::array<Trace, 4> Wheels{Trace::WheelSpeedFL, Trace::WheelSpeedFR, Trace::WheelSpeedRL,
                                      Trace::WheelSpeedRR};
}

SetupDialog::SetupDialog(TGraphChart *graph, const QString &caption, const QString &unit,
                         QWidget *parent)
    : QDialog(parent), m_graph(graph)
{
    setWindowTitle(caption);
    m_grid = new QGridLayout(this);
    m_grid->addWidget(new QLabel(QStringLiteral("Maximum Displayed Value"), this), 0, 0);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->installEventFilter(this);
    m_grid->addWidget(Edit1, 0, 1);
    if (!unit.isEmpty())
        m_grid->addWidget(new QLabel(unit, this), 0, 2);
    OK = new QPushButton(QStringLiteral("OK"), this);
    OK->setObjectName(QStringLiteral("OK"));
    OK->setAutoDefault(false);
    m_grid->addWidget(OK, 10, 1);
    connect(OK, &QPushButton::clicked, this, &QDialog::accept);
}

void SetupDialog::showEvent(QShowEvent *e)
{
    if (!m_shownOnce && parentWidget()) {  // centred on the main window the first time
        m_shownOnce = true;
        move(parentWidget()->window()->geometry().center() - rect().center());
    }
    m_graph->timer1()->stop();
    QDialog::showEvent(e);
}

bool SetupDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Edit1 && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            close();
            return true;
        }
        const QString text = key->text();
        if (text.isEmpty() || key->key() == Qt::Key_Backspace || text.at(0) == QChar(8))
            return false;  // editing keys pass
        const QString sep = QLocale().decimalPoint();
        const QChar c = text.at(0);
        if (c.isDigit() && c.unicode() < 128)
            return false;
        if (text == sep && !Edit1->text().contains(sep))
            return false;
        return true;  // anything else is discarded
    }
    return QDialog::eventFilter(watched, event);
}

void SetupDialog::done(int r)
{
    if (!FormClose())
        return;  // stays open
    QDialog::done(r);
}

bool SetupDialog::readEdit(double *v)
{
    if (parseLocaleDouble(Edit1->text(), v))
        return true;
    Dialogs::instance().error(notAFloatMessage(Edit1->text()), this);
    return false;
}

void SetupDialog::resumePoll()
{
    if (m_graph->drainInput())
        m_graph->drainInput()();
    m_graph->timer1()->start();
}

void SetupDialog::paintButton(QPushButton *b, Trace t)
{
    QPixmap swatch(14, 14);
    swatch.fill(m_graph->traceColour(t));
    b->setIcon(QIcon(swatch));
    b->setLayoutDirection(Qt::RightToLeft);  // the sample sits in the caption's trailing spaces
}

QPushButton *SetupDialog::colourButton(const QString &name, const QString &caption, Trace t)
{
    auto *b = new QPushButton(caption, this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    paintButton(b, t);
    connect(b, &QPushButton::clicked, this, [this, b, t] {
        if (auto c = Dialogs::instance().color(m_graph->traceColour(t), this)) {
            m_graph->setTraceColour(t, *c);
            paintButton(b, t);
        }
    });
    return b;
}

QCheckBox *SetupDialog::visibleBox(const QString &name, Trace t)
{
    auto *box = new QCheckBox(QStringLiteral("Visible"), this);
    box->setObjectName(name);
    connect(box, &QCheckBox::toggled, this, [this, t](bool on) {
        m_graph->setTraceVisible(t, on);  // at once, before the dialog closes
        if (t != Trace::RPM && t != Trace::CutLevel)
            m_graph->colourPanel(t);
    });
    return box;
}

TWheelSpeedSetup::TWheelSpeedSetup(TGraphChart *graph, QWidget *parent)
    : SetupDialog(graph, QStringLiteral("Wheel Speed Setup"), QStringLiteral("Kph"), parent)
{
    setObjectName(QStringLiteral("WheelSpeedSetup"));
    Edit1->setText(QStringLiteral("200"));
    for (int n = 0; n < 4; ++n) {
        buttons[size_t(n)] = colourButton(QStringLiteral("ButtonColor%1").arg(n + 1),
                                          QStringLiteral("CH%1 Colour     ").arg(n + 1), Wheels[size_t(n)]);
        boxes[size_t(n)] = visibleBox(QStringLiteral("CheckBox%1").arg(n + 1), Wheels[size_t(n)]);
        m_grid->addWidget(buttons[size_t(n)], 1 + n, 0);
        m_grid->addWidget(boxes[size_t(n)], 1 + n, 1);
    }
}

void TWheelSpeedSetup::fill()
{
    Edit1->setText(formatGeneral(m_graph->navigation().axes.wheel.max));
    for (int n = 0; n < 4; ++n) {
        boxes[size_t(n)]->setChecked(m_graph->traceVisible(Wheels[size_t(n)]));
        paintButton(buttons[size_t(n)], Wheels[size_t(n)]);
    }
}

bool TWheelSpeedSetup::FormClose()
{
    double v;
    if (!readEdit(&v))
        return false;
    m_graph->navigation().axes.wheel = AxisRange::rule(0, v);
    for (Trace t : Wheels)
        m_graph->colourPanel(t);
    m_graph->applyAxes();
    resumePoll();
    return true;
}

TRPMSetup::TRPMSetup(TGraphChart *graph, QWidget *parent)
    : SetupDialog(graph, QStringLiteral("RPM Setup"), QStringLiteral("RPM"), parent)
{
    setObjectName(QStringLiteral("RPMSetup"));
    Edit1->setText(QStringLiteral("7500"));
    colour = colourButton(QStringLiteral("BackgroundColourButtonPen1"), QStringLiteral("Colour     "),
                          Trace::RPM);
    CheckBox1 = visibleBox(QStringLiteral("CheckBox1"), Trace::RPM);
    m_grid->addWidget(colour, 1, 0);
    m_grid->addWidget(CheckBox1, 1, 1);
}

void TRPMSetup::fill()
{
    CheckBox1->setChecked(m_graph->traceVisible(Trace::RPM));
    Edit1->setText(formatGeneral(m_graph->navigation().axes.rpm.max));
    paintButton(colour, Trace::RPM);
}

bool TRPMSetup::FormClose()
{
    m_graph->colourRightAxis();
    double v;
    if (!readEdit(&v))
        return false;
    m_graph->navigation().axes.rpm = AxisRange::rule(0, v);
    m_graph->colourPanel(Trace::RPM);
    m_graph->applyAxes();
    resumePoll();
    return true;
}

TCutLevelSetup::TCutLevelSetup(TGraphChart *graph, QWidget *parent)
    : SetupDialog(graph, QStringLiteral("Cut Level Setup"), QString(), parent)
{
    setObjectName(QStringLiteral("CutLevelSetup"));
    Edit1->setText(QStringLiteral("6"));
    colour = colourButton(QStringLiteral("BackgroundColourButtonPen1"), QStringLiteral("Colour     "),
                          Trace::CutLevel);
    CheckBox1 = visibleBox(QStringLiteral("CheckBox1"), Trace::CutLevel);
    m_grid->addWidget(colour, 1, 0);
    m_grid->addWidget(CheckBox1, 1, 1);
}

void TCutLevelSetup::fill()
{
    CheckBox1->setChecked(m_graph->traceVisible(Trace::CutLevel));
    Edit1->setText(formatGeneral(m_graph->navigation().axes.cut.max));
    paintButton(colour, Trace::CutLevel);
}

bool TCutLevelSetup::FormClose()
{
    m_graph->colourCutAxis();
    double v;
    if (!readEdit(&v))
        return false;
    m_graph->navigation().axes.cut = AxisRange::rule(0, v);
    m_graph->colourPanel(Trace::CutLevel);
    m_graph->applyAxes();
    resumePoll();
    return true;
}

TTimeSetup::TTimeSetup(TGraphChart *graph, QWidget *parent)
    : SetupDialog(graph, QStringLiteral("Time Base Setup"), QString(), parent)
{
    setObjectName(QStringLiteral("TimeSetup"));
    Edit1->setText(QStringLiteral("250"));
}

void TTimeSetup::showEvent(QShowEvent *e)
{
    SetupDialog::showEvent(e);  // stops Timer1
    m_graph->Clear1Click();
    Edit1->setText(formatGeneral(m_graph->navigation().axes.time.max));
    Edit1->setFocus();
}

bool TTimeSetup::FormClose()
{
    double v;
    if (!readEdit(&v))
        return false;
    // a window narrower than one sample would scroll past itself
    m_graph->navigation().axes.time = AxisRange::rule(0, std::max(v, 1.0));
    m_graph->applyAxes();
    resumePoll();
    return true;
}
