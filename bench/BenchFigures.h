#pragma once

// What the benchmarks read about their own process, and how they let it run.

#include <QByteArray>
#include <QEventLoop>
#include <QFile>
#include <QList>
#include <QTimer>

#include <sys/resource.h>
#include <time.h>

namespace bench {

// Processor time of the whole process (every thread, user and system), in milliseconds.
inline double cpuMs()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

// Processor time of the calling thread, in milliseconds: what one piece of work on the event
// loop's thread cost, whatever else the process did meanwhile.
inline double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Resident memory in MB, 0 where /proc cannot tell.
inline double rssMb()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() > 1 ? parts[1].toDouble() * 4096 / (1024 * 1024) : 0;
}

// Lets the event loop run for 'ms' milliseconds, asleep between events (QTest::qWait would wake
// every 10 ms).
inline void runFor(qint64 ms)
{
    if (ms <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace bench
