#pragma once

#include "link/TerminalText.h"

#include <QElapsedTimer>
#include <QFrame>
#include <QStringList>
#include <QTimer>

#include <functional>

class QPlainTextEdit;

// The terminal page (Frame2): one memo that shows what the unit sends and sends what is typed in it.
// Text from the unit is appended, never set anew, so a long session costs no more per line than a
// short one; nothing of it is dropped until Clear. What arrives is drawn at once when the memo has
// been quiet, otherwise at most ten times a second: the unit talks in bursts of single characters,
// and drawing after each would cost more than all the rest of the program.
class TBFrame : public QFrame {
    Q_OBJECT
public:
    explicit TBFrame(QWidget *parent = nullptr);

    QPlainTextEdit *RecievedData() const { return m_memo; }

    // Where a key's byte goes (the port's SendChar); without one keys send nothing.
    void setSendChar(std::function<bool(quint8)> sendChar) { m_sendChar = std::move(sendChar); }

    // Text from the unit with its line ends mended (CR LF).
    void showReceived(const QByteArray &shown);
    // The memo's Lines.Add: a line of its own after whatever the memo ends with.
    void addLine(const QString &line);
    // The memo's lines, for the printout; text still waiting to be drawn is drawn first.
    QStringList lines();

    void Clear1Execute();
    void ClipBoardCopy1Execute();
    // Keeps the end in view.
    void RecievedDataChange();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The receive side gathers a round of 80 ms, so a streaming unit's text is drawn once a round,
    // within 100 ms of its arrival; text that comes sooner after a drawing (a key's echo) waits the
    // rest of this, since each drawing of the memo costs far more than a gathering.
    static constexpr int DrawIntervalMs = 60;

    void append(const QString &text);
    void drawPending();

    QPlainTextEdit *m_memo;
    TerminalLines m_lines;
    std::function<bool(quint8)> m_sendChar;
    QString m_pending;  // received, not drawn yet
    QTimer m_draw;
    QElapsedTimer m_drawn;
};
