#include "link/TerminalText.h"

#include <utility>

QByteArray repairLineEnds(QByteArray &TerminalCarry, const QByteArray &received)
{
    QByteArray t = TerminalCarry + received;
    const qsizetype length = t.size();
    for (qsizetype i = 0; i + 1 < length; ++i) {
        if (t[i] == '\n' && t[i + 1] == '\r' && (i == 0 || t[i - 1] != '\r')) {
            t[i] = '\r';
            t[i + 1] = '\n';
        }
    }
    if (t.endsWith('\n') && (length == 1 || t[length - 2] != '\r')) {
        TerminalCarry = QByteArray(1, '\n');
        t.chop(1);
    } else {
        TerminalCarry.clear();
    }
    return t;
}

QString TerminalLines::text(const QByteArray &shown)
{
    QString out;
    out.reserve(shown.size());
    for (const char c : shown) {
        const bool afterCr = std::exchange(m_afterCr, c == '\r');
        if (c == '\r' || (c == '\n' && !afterCr))
            out += QLatin1Char('\n');
        else if (c != '\n' && c != '\0')
            out += QChar(uchar(c));
    }
    return out;
}
