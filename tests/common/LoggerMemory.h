#pragma once

#include "ToolRun.h"

#include <QByteArray>
#include <QTemporaryDir>

// A logger memory whose every value can be told apart from the two bytes before the samples:
// those are 0xFF 0xFF (which also tells the simulator the memory is full, so it records nothing
// over it), no sample byte is 0xFF but the engine speed of sample 1000, which plots 8925.
namespace LoggerMemory {

inline constexpr int MarkedSample = 1000;

inline QByteArray pattern()
{
    QByteArray m(131072, '\0');
    m[0] = m[1] = char(0xFF);
    for (int i = 2; i < m.size(); ++i)
        m[i] = char((i * 7 + i / 6) % 251);
    m[2 + 6 * (MarkedSample - 1) + 4] = char(0xFF);
    return m;
}

// What a test class of the logger holds: a folder, the memory, and a fresh copy of it (or of
// any other bytes) as a file for each simulator.
class Fixture {
protected:
    QTemporaryDir m_dir;
    const QByteArray m_memory = pattern();

    QString logFile(const QByteArray &bytes)
    {
        return writeFile(m_dir.filePath(QStringLiteral("log%1.bin").arg(++m_files)), bytes);
    }

private:
    int m_files = 0;
};

}  // namespace LoggerMemory
