#include "app/MainStatusBar.h"

#include "print/AppFonts.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>

namespace {

constexpr int BarHeight = 20;
constexpr int ProgressWidth = 200 - 8;
constexpr int CancelWidth = 56;
const QString ClickHint = QStringLiteral("\n(click to read all messages)");

// A panel of the bar at its fixed place: left edges 0, 200, 400, 625 and 700.
QWidget *panel(QWidget *bar, const char *name, int left, int width)
{
    auto *box = new QWidget(bar);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(left, 0, width, BarHeight);
    return box;
}

QLabel *textPanel(QWidget *bar, const char *name, const char *labelName, int left, int width)
{
    auto *label = new QLabel(panel(bar, name, left, width));
    label->setObjectName(QLatin1String(labelName));
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    label->setGeometry(0, 2, width - 2, BarHeight - 2);
    return label;
}

}  // namespace

MainStatusBar::MainStatusBar(QWidget *parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("StatusBar1"));
    setFixedHeight(BarHeight);
    setSizeGripEnabled(false);
    // The bars' face and size: the texts fit the bar's 20 pixels and the message area its width.
    setFont(windowsFont(QStringLiteral("Tahoma"), 11));
    setContentsMargins(0, 0, 0, 0);

    // The panels sit at fixed places; QStatusBar's own layout would add gaps between them.
    QWidget *messagePanel = panel(this, "MessagePanel", 0, 200);
    m_message = new QLabel(messagePanel);
    m_message->setObjectName(QStringLiteral("MessageArea"));
    m_message->setAutoFillBackground(true);
    // the coloured rectangle; the text starts 10 pixels into the panel
    m_message->setGeometry(2, 3, 200 - 4, BarHeight - 5);
    m_message->setContentsMargins(8, 0, 0, 0);
    m_message->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    m_message->installEventFilter(this);
    m_message->setAccessibleName(QStringLiteral("Message"));
    m_message->setToolTip(QString());

    QWidget *progressPanel = panel(this, "ProgressPanel", 200, 200);
    m_progress = new QProgressBar(progressPanel);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setAccessibleName(QStringLiteral("Progress"));
    m_progress->setGeometry(4, 6, ProgressWidth, BarHeight - 10);
    m_progress->setRange(0, 256);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), progressPanel);
    m_cancel->setObjectName(QStringLiteral("CancelButton"));
    m_cancel->setAccessibleName(m_cancel->text());
    m_cancel->setToolTip(QStringLiteral("Stop the exchange (Esc)"));
    m_cancel->setGeometry(200 - CancelWidth - 2, 1, CancelWidth, BarHeight - 2);
    m_cancel->setShortcut(Qt::Key_Escape);
    m_cancel->hide();

    m_modified = textPanel(this, "Panel3", "ModifiedPanel", 400, 225);
    m_firmware = textPanel(this, "Panel4", "FirmwarePanel", 625, 75);
    m_version = textPanel(this, "Panel5", "VersionPanel", 700, 50);
    m_version->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    applyTone();
}

void MainStatusBar::showMessage(const QString &text, Tone tone)
{
    m_tone = tone;
    m_message->setText(text);
    m_message->setToolTip(text.isEmpty() ? QString() : text + ClickHint);
    applyTone();
}

QString MainStatusBar::messageText() const { return m_message->text(); }

void MainStatusBar::offerCancel(bool on)
{
    m_progress->setFixedWidth(on ? ProgressWidth - CancelWidth - 4 : ProgressWidth);
    m_cancel->setEnabled(on);
    m_cancel->setVisible(on);
}

bool MainStatusBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_message && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
        emit messageAreaClicked();
    return QStatusBar::eventFilter(watched, event);
}

void MainStatusBar::setMessageDetail(const QString &detail)
{
    const QString shown = detail.isEmpty() ? m_message->text() : m_message->text() + QStringLiteral(": ") + detail;
    m_message->setToolTip(shown + ClickHint);
}

QString MainStatusBar::messageToolTip() const { return m_message->toolTip(); }

void MainStatusBar::setModifiedText(const QString &text) { m_modified->setText(text); }
QString MainStatusBar::modifiedText() const { return m_modified->text(); }
void MainStatusBar::setFirmwareText(const QString &text) { m_firmware->setText(text); }
QString MainStatusBar::firmwareText() const { return m_firmware->text(); }
void MainStatusBar::setVersionText(const QString &text) { m_version->setText(text); }
QString MainStatusBar::versionText() const { return m_version->text(); }

QColor MainStatusBar::background(Tone tone)
{
    switch (tone) {
    case Tone::Ok: return QColor(90, 200, 100);
    case Tone::Error: return QColor(250, 40, 40);
    case Tone::Neutral: break;
    }
    return QApplication::palette().color(QPalette::Button);
}

QColor MainStatusBar::foreground(Tone tone)
{
    if (tone == Tone::Neutral)
        return QApplication::palette().color(QPalette::WindowText);
    return Qt::white;
}

void MainStatusBar::applyTone()
{
    QPalette pal = m_message->palette();
    pal.setColor(QPalette::Window, background(m_tone));
    pal.setColor(QPalette::WindowText, foreground(m_tone));
    m_message->setPalette(pal);
}

void MainStatusBar::changeEvent(QEvent *event)
{
    // The neutral colours follow the desktop's palette when it changes.
    if (event->type() == QEvent::PaletteChange && m_message)
        applyTone();
    QStatusBar::changeEvent(event);
}
