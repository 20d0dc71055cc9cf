#include "app/About.h"

#include "platform/Maker.h"
#include "platform/OsInfo.h"
#include "platform/Shell.h"
#include "print/AppFonts.h"
#include "print/PagePainter.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QUrl>

namespace {

QFont face(const char *family, int pixels, bool bold = false)
{
    QFont font = windowsFont(QLatin1String(family), pixels);
    font.setBold(bold);
    return font;
}

// The print page's logo, whole and in its proportions, in the picture's place.
class Picture final : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        PagePainter::paintWholeLogo(painter, rect());
    }
};

constexpr int Width = 370;
constexpr int Height = 355;
constexpr int RuleLeft = (Width - 297) / 2;

}  // namespace

TAboutForm::TAboutForm(QWidget *parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(Caption(QCoreApplication::applicationFilePath()));
    setAccessibleName(windowTitle());
    setFixedSize(Width, Height);

    m_panel = new QFrame(this);
    m_panel->setObjectName(QStringLiteral("Panel1"));
    m_panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_panel->setLineWidth(1);
    m_panel->setGeometry(0, 0, Width, Height);

    m_picture = new Picture(m_panel);
    m_picture->setObjectName(QStringLiteral("ProgramIcon"));
    m_picture->setAccessibleName(QStringLiteral("Veltorane logo"));
    m_picture->setGeometry((Width - 352) / 2, 8, 352, 153);
    m_picture->installEventFilter(this);

    QLabel *version = addLine("Version", VersionLine(ProgramVersion::current()), 176, face("Arial", 16, true));
    QPalette blue = version->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    version->setPalette(blue);

    const QFont plain = face("MS Sans Serif", 11);
    addLine("Maker", QLatin1String(Maker::Name), 209, plain);
    addLine("Address", QLatin1String(Maker::Address), 223, plain);
    const QString email = QLatin1String(Maker::SupportEmail);
    const QString web = QLatin1String(Maker::WebPage);
    addLink("Email", QStringLiteral("email : "), email, QStringLiteral("mailto:") + email, 238);
    addLink("Website", QStringLiteral("website : "), web, QStringLiteral("http://") + web, 252);

    for (int top : {280, 352}) {
        auto *rule = new QFrame(m_panel);
        rule->setFrameStyle(QFrame::HLine | QFrame::Sunken);
        rule->setGeometry(RuleLeft, top, 297, 2);
    }

    addLine("WindowsVersion", OsInfo::GetWinVer(), 296, plain);
    const auto memory = OsInfo::physicalMemory();
    addLine("TotalMemory",
            memory ? OsInfo::kilobytes(memory->totalBytes) + QStringLiteral(" total physical memory in kilobytes")
                   : QString(),
            312, plain);
    addLine("AvailableMemory",
            memory
                ? OsInfo::kilobytes(memory->availableBytes) + QStringLiteral(" available physical memory in kilobytes")
                : QString(),
            328, plain);

    m_creditTimer.setTimerType(Qt::PreciseTimer);
    m_creditTimer.setInterval(5);
    connect(&m_creditTimer, &QTimer::timeout, this, &TAboutForm::creditStep);

    if (QScreen *desktop = screen())
        move(desktop->availableGeometry().center() - rect().center());
}

QString TAboutForm::VersionLine(const ProgramVersion &v)
{
    return QStringLiteral("Software Version :- %1.%2.%3 (Build %4)")
        .arg(v.major)
        .arg(v.minor)
        .arg(v.release)
        .arg(v.build);
}

QString TAboutForm::Caption(const QString &programFile)
{
    QString name = QFileInfo(programFile).fileName();
    if (name.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
        name.chop(4);
    return QStringLiteral("About ") + name;
}

QLabel *TAboutForm::label(const char *name) const { return m_panel->findChild<QLabel *>(QLatin1String(name)); }

QLabel *TAboutForm::addLine(const char *name, const QString &text, int top, const QFont &font)
{
    auto *line = new QLabel(text, m_panel);
    line->setObjectName(QLatin1String(name));
    line->setAccessibleName(text);
    line->setFont(font);
    line->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    line->setGeometry(2, top, Width - 4, QFontMetrics(font).height() + 1);
    return line;
}

QLabel *TAboutForm::addLink(const char *name, const QString &caption, const QString &text, const QString &url, int top)
{
    QFont font = face("MS Sans Serif", 11);
    font.setUnderline(true);
    QLabel *link = addLine(name, caption + text, top, font);
    QPalette palette = link->palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    link->setPalette(palette);
    link->setCursor(Qt::PointingHandCursor);
    link->setToolTip(url);
    link->setProperty("url", url);
    link->installEventFilter(this);
    // only the text is the link, not the whole width of the line
    const int width = QFontMetrics(font).horizontalAdvance(link->text()) + 4;
    link->setGeometry((Width - width) / 2, top, width, link->height());
    return link;
}

bool TAboutForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::MouseButtonPress)
        return QDialog::eventFilter(watched, event);
    const auto *press = static_cast<QMouseEvent *>(event);
    if (watched == m_picture && press->button() == Qt::RightButton && (press->modifiers() & Qt::ShiftModifier)) {
        startCredits();
        return true;
    }
    const QVariant url = watched->property("url");
    if (url.isValid()) {
        Shell::instance().openUrl(QUrl(url.toString()));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// A click closes the box; a right-button press (a context-menu habit) does not.
void TAboutForm::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    m_creditTimer.stop();
    accept();
}

void TAboutForm::startCredits()
{
    if (m_step >= 0)
        return;
    const QFontMetrics metrics(face("Arial", 19));
    m_lastStep = 10 * metrics.height() + 225;
    m_step = 0;
    m_panel->hide();
    m_creditTimer.start();
    update();
}

void TAboutForm::creditStep()
{
    if (++m_step > m_lastStep) {
        m_creditTimer.stop();
        m_step = -1;
        m_panel->show();
    }
    update();
}

void TAboutForm::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    if (m_step < 0)
        return;
    QPainter painter(this);
    const QFont font = face("Arial", 19);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetrics metrics(font);
    const int h = metrics.height();
    const int ascent = metrics.ascent();
    const QString name = QStringLiteral("Veltorane ") + windowTitle().mid(6);
    painter.drawText(40, 300 - m_step + ascent, QStringLiteral("CREDITS"));
    painter.drawText(40, 300 + 2 * h - m_step + ascent, name);
}
