#include "app/MainStatusBar.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>

namespace {

constexpr int BarHeight = 20;
// QStatusBar keeps 3 pixels above its items and 2 below; taller items are cut off at the bottom.
constexpr int ItemHeight = BarHeight - 5;

// A fixed-width panel holding one widget, with the inset the message area and the bar need.
QWidget *panel(QWidget *content, int width, const QMargins &inset, const char *name)
{
    auto *box = new QWidget;
    box->setObjectName(QLatin1String(name));
    box->setFixedSize(width, ItemHeight);
    auto *layout = new QHBoxLayout(box);
    layout->setContentsMargins(inset);
    layout->addWidget(content);
    return box;
}

QLabel *textPanel(const char *name)
{
    auto *label = new QLabel;
    label->setObjectName(QLatin1String(name));
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    return label;
}

}  // namespace

MainStatusBar::MainStatusBar(QWidget *parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("StatusBar1"));
    setFixedHeight(BarHeight);
    setSizeGripEnabled(false);
    // The size of the bars' font, so the texts fit the bar's 20 pixels.
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
    setContentsMargins(0, 0, 0, 0);

    m_message = new QLabel;
    m_message->setObjectName(QStringLiteral("MessageArea"));
    m_message->setAutoFillBackground(true);
    m_message->setContentsMargins(8, 0, 4, 0);
    m_message->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    m_progress = new QProgressBar;
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setRange(0, 256);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);

    m_modified = textPanel("ModifiedPanel");
    m_firmware = textPanel("FirmwarePanel");
    m_version = textPanel("VersionPanel");
    m_version->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    addWidget(panel(m_message, 200, QMargins(2, 0, 2, 0), "MessagePanel"));
    addWidget(panel(m_progress, 200, QMargins(4, 3, 4, 2), "ProgressPanel"));
    addWidget(panel(m_modified, 225, QMargins(), "Panel3"));
    addWidget(panel(m_firmware, 75, QMargins(), "Panel4"));
    addWidget(panel(m_version, 50, QMargins(), "Panel5"), 1);
    applyTone();
}

void MainStatusBar::showMessage(const QString &text, Tone tone)
{
    m_tone = tone;
    m_message->setText(text);
    m_message->setToolTip(text);
    applyTone();
}

QString MainStatusBar::messageText() const { return m_message->text(); }

void MainStatusBar::setMessageDetail(const QString &detail)
{
    m_message->setToolTip(detail.isEmpty() ? m_message->text() : m_message->text() + QStringLiteral(": ") + detail);
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
    case Tone::Ok:
        return QColor(90, 200, 100);
    case Tone::Error:
        return QColor(250, 40, 40);
    case Tone::Neutral:
        break;
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
    QFont font = m_message->font();
    font.setBold(m_tone != Tone::Neutral);
    m_message->setFont(font);
}

void MainStatusBar::changeEvent(QEvent *event)
{
    // The neutral colours follow the desktop's palette when it changes.
    if (event->type() == QEvent::PaletteChange && m_message)
        applyTone();
    QStatusBar::changeEvent(event);
}
