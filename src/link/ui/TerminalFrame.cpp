#include "link/ui/TerminalFrame.h"

#include "link/TerminalKeys.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

#include <optional>
#include <utility>

namespace {

// The memo's scroll bar, repainted only when it would look different. A streaming unit moves the
// end of a long text by less than a pixel of the handle at most drawings, and repainting the bar
// cost a fifth of each drawing. Each change is weighed against the one before it, not against what
// was last painted: a paint may cover part of the bar only.
class SteadyScrollBar : public QScrollBar {
public:
    using QScrollBar::QScrollBar;

protected:
    void sliderChange(SliderChange change) override
    {
        const Look now = look();
        const bool same = m_last == now;
        m_last = now;
        if (same && (change == SliderValueChange || change == SliderRangeChange))
            return;
        QScrollBar::sliderChange(change);
    }

    void resizeEvent(QResizeEvent *event) override
    {
        m_last.reset();  // repainted whole anyway
        QScrollBar::resizeEvent(event);
    }

private:
    struct Look {
        QRect handle;
        bool empty, atStart, atEnd;
        bool operator==(const Look &) const = default;
    };

    Look look() const
    {
        QStyleOptionSlider option;
        initStyleOption(&option);
        return {style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this),
                minimum() == maximum(), value() == minimum(), value() == maximum()};
    }

    std::optional<Look> m_last;
};

}  // namespace

TBFrame::TBFrame(QWidget *parent) : QFrame(parent), m_memo(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("Frame2"));
    setFixedSize(760, 440);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_memo);

    m_memo->setObjectName(QStringLiteral("RecievedData"));
    m_memo->setAccessibleName(QStringLiteral("Terminal"));
    // "Courier New" where it is installed; its metric twin otherwise, so columns line up the same.
    QFont font;
    font.setFamilies(
        {QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")});
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(8);
    m_memo->setFont(font);
    m_memo->setVerticalScrollBar(new SteadyScrollBar(Qt::Vertical, m_memo));
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab leaves the memo, as in any other field; it sends nothing to the unit.
    m_memo->setTabChangesFocus(true);
    // A session may run for hours: an undo history would keep a second copy of all of it.
    m_memo->setUndoRedoEnabled(false);
    m_memo->installEventFilter(this);
    connect(m_memo, &QPlainTextEdit::textChanged, this, &TBFrame::RecievedDataChange);
    m_draw.setSingleShot(true);
    m_draw.setTimerType(Qt::PreciseTimer);
    connect(&m_draw, &QTimer::timeout, this, &TBFrame::drawPending);
}

void TBFrame::append(const QString &text)
{
    if (text.isEmpty())
        return;
    QTextCursor end(m_memo->document());
    end.movePosition(QTextCursor::End);
    end.insertText(text);
}

void TBFrame::showReceived(const QByteArray &shown)
{
    m_pending += m_lines.text(shown);
    if (m_pending.isEmpty() || m_draw.isActive())
        return;
    const qint64 since = m_drawn.isValid() ? m_drawn.elapsed() : DrawIntervalMs;
    if (since >= DrawIntervalMs)
        drawPending();  // no timer, no extra pass of the event loop
    else
        m_draw.start(int(DrawIntervalMs - since));
}

void TBFrame::drawPending()
{
    m_draw.stop();
    if (m_pending.isEmpty())
        return;
    m_drawn.start();
    append(std::exchange(m_pending, QString()));
}

void TBFrame::addLine(const QString &line)
{
    drawPending();
    // An unfinished last line is finished first; an empty memo or a finished line takes the line
    // and its end.
    const QTextBlock last = m_memo->document()->lastBlock();
    append(last.length() > 1 ? u'\n' + line : line + u'\n');
    m_lines.reset();
}

QStringList TBFrame::lines()
{
    drawPending();
    QStringList out = m_memo->toPlainText().split(u'\n');
    if (out.size() > 1 && out.last().isEmpty())
        out.removeLast();  // the end of the last line starts no line of its own
    return out;
}

void TBFrame::Clear1Execute()
{
    m_draw.stop();
    m_pending.clear();
    m_memo->clear();
    m_lines.reset();
}

void TBFrame::ClipBoardCopy1Execute()
{
    drawPending();
    m_memo->selectAll();
    m_memo->copy();
    QTextCursor cursor = m_memo->textCursor();
    cursor.movePosition(QTextCursor::End);
    m_memo->setTextCursor(cursor);
    m_memo->setFocus();
}

void TBFrame::RecievedDataChange()
{
    QScrollBar *bar = m_memo->verticalScrollBar();
    if (bar->value() != bar->maximum())
        bar->setValue(bar->maximum());
}

bool TBFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_memo && event->type() == QEvent::KeyPress) {
        // The memo still takes the key as well: typed text shows where it was typed.
        const auto *key = static_cast<QKeyEvent *>(event);
        const int vk = TerminalKeys::virtualKey(key->key(), key->modifiers());
        if (const auto byte = TerminalKeys::keyByte(vk, key->modifiers() & Qt::ShiftModifier); byte && m_sendChar)
            m_sendChar(*byte);
    }
    return QFrame::eventFilter(watched, event);
}
