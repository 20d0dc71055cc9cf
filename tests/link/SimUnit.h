#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// Bytes the menu return may send: ESC each round, 'D' to quiet a talking screen, 'E' as its fallback
// when an ESC drew no answer in time (as on a busy machine). It ends with the ESC that found the root.
inline bool rootMenuBytes(const QByteArray &bytes)
{
    for (const char c : bytes)
        if (c != '\x1b' && c != 'D' && c != 'E')
            return false;
    return bytes.endsWith('\x1b');
}

// The unit simulator as its own process, with its memory and trace files in a temporary folder.
// The program's side opens `path` like any serial device.
class SimUnit {
public:
    explicit SimUnit(const QStringList &flags = {}, const QByteArray &memory = {})
    {
        if (!memory.isEmpty()) {
            QFile f(memoryPath());
            if (f.open(QIODevice::WriteOnly))
                f.write(memory);
        }
        // A real unit keeps its pace however busy the machine running the tests is.
        QStringList args{"--memory", memoryPath(), "--trace", tracePath(), "--exit-after", "120", "--own-processor"};
        m_process.start(QStringLiteral(UNIT_SIM_PATH), args + flags);
        if (!m_process.waitForStarted(5000))
            return;
        while (!m_process.canReadLine() && m_process.waitForReadyRead(5000)) {
        }
        path = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    }
    ~SimUnit()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(2000);
    }
    bool ok() const { return !path.isEmpty(); }

    QString memoryPath() const { return m_dir.filePath(QStringLiteral("memory.bin")); }
    QString tracePath() const { return m_dir.filePath(QStringLiteral("trace.txt")); }
    QByteArray memory() const
    {
        QFile f(memoryPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // One traced byte: its time in ms since the simulator started and its direction.
    struct Byte {
        double ms = 0;
        bool in = false;  // sent by the program
        quint8 value = 0;
    };
    // The trace is written as bytes pass; ask once the exchange is over.
    QList<Byte> trace() const
    {
        QList<Byte> out;
        QFile f(tracePath());
        if (!f.open(QIODevice::ReadOnly))
            return out;
        while (!f.atEnd()) {
            const QList<QByteArray> parts = f.readLine().trimmed().split(' ');
            if (parts.size() < 3)
                continue;
            out.append({parts[0].toDouble(), parts[1] == "in", quint8(parts[2].toUInt(nullptr, 16))});
        }
        return out;
    }
    // Every byte the program sent, in order.
    QByteArray received() const
    {
        QByteArray bytes;
        for (const Byte &b : trace())
            if (b.in)
                bytes += char(b.value);
        return bytes;
    }
    // What the program sent after its last `c` from `from` on: where it left the unit. The program
    // may be done before the unit has taken its last bytes off the line, so check it with QTRY.
    QByteArray receivedAfterLast(char c, qsizetype from = 0) const
    {
        const QByteArray sent = received().mid(from);
        return sent.mid(sent.lastIndexOf(c) + 1);
    }
    // As received(), but with each return to the menu root as it goes when the unit answers its
    // ESC within the 100 ms: a busy machine may delay an answer past them, and the program then
    // rightly tries 'E' and ESC once more.
    QByteArray receivedInTime() const
    {
        return received().replace("\x1b"
                                  "E"
                                  "\x1b",
                                  "\x1b");
    }

    QString path;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
};
