#pragma once

#include <QByteArray>
#include <QString>

// The unit ends its lines LF CR; the terminal shows CR LF. Everything that arrives while the terminal
// is shown passes through here, with TerminalCarry (empty or one LF) held back in between, so that
// a CR arriving with the next notification still completes the pair.
QByteArray repairLineEnds(QByteArray &TerminalCarry, const QByteArray &received);

// Shown bytes as text with '\n' line breaks: CR LF, a lone CR and a lone LF each end one line, also
// when the pair is split between two calls; NUL shows nothing.
class TerminalLines {
public:
    QString text(const QByteArray &shown);
    void reset() { m_afterCr = false; }

private:
    bool m_afterCr = false;
};
