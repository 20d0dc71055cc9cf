// The live run as a tuner has it: the program's graph window polling the simulated unit at its real
// 19200-baud pace and logging to a file. Frames per second over the first minute against the link's
// limit, frames lost, CPU of this process per second of run with the window drawing, and resident
// memory at one minute and at the end (ten minutes unless --minutes says otherwise).
// --one-cpu keeps the program and unit-sim on one processor: on a virtual machine a byte handed
// from one processor to the other through the pseudo-terminal can stall for about 3 ms, which is
// the rig's and not the program's.
#include "BenchFigures.h"
#include "TestOptions.h"
#include "../tests/link/SimUnit.h"
#include "ScriptedDialogs.h"
#include "app/Main.h"
#include "graph/ui/GraphForm.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <qcustomplot.h>

#include <cstdio>
#include <cstring>
#include <sched.h>
#include <sys/resource.h>

namespace {

// One 'M' out, six bytes back, and the poll's 5 ms: the most frames a second the link allows.
constexpr double LinkLimit = 1.0 / (0.005 + 7 * 10.0 / 19200.0);

}  // namespace

int main(int argc, char **argv)
{
    // Before any thread or child exists, so that all of them inherit it.
    int oneCpu = -1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--one-cpu") == 0) {
            oneCpu = sched_getcpu();
            if (oneCpu < 0)
                break;
            cpu_set_t set;
            CPU_ZERO(&set);
            CPU_SET(oneCpu, &set);
            if (sched_setaffinity(0, sizeof set, &set) != 0)
                oneCpu = -1;
        }
    }
    QApplication app(argc, argv);
    int minutes = 10;
    if (const int i = int(app.arguments().indexOf(QStringLiteral("--minutes"))); i > 0 && i + 1 < argc)
        minutes = qMax(1, app.arguments().at(i + 1).toInt());
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());

    SimUnit unit({"--pace", "--exit-after", QString::number(minutes * 60 + 60)});
    if (!unit.ok()) {
        std::fprintf(stderr, "unit-sim did not start\n");
        return 1;
    }
    ScriptedDialogs dialogs;
    dialogs.expectQuestion(true).expectSaveFile(dir.filePath(QStringLiteral("bench.dat")), 0);
    TForm1 main(testOptions());
    QString error;
    if (!main.link().Comm1().open(unit.path, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    TGraphChart *g = main.graphChart();
    g->show();
    if (!QTest::qWaitForWindowExposed(g))
        std::fprintf(stderr, "the graph window was not exposed; redraws may be skipped\n");
    int redraws = 0;
    double redrawStarted = 0, redrawMs = 0;
    QObject::connect(g->chart(), &QCustomPlot::beforeReplot, [&] { redrawStarted = bench::threadCpuMs(); });
    QObject::connect(g->chart(), &QCustomPlot::afterReplot, [&] {
        ++redraws;
        redrawMs += bench::threadCpuMs() - redrawStarted;
    });
    const LivePoll &poll = g->realTime();

    g->findChild<QAction *>(QStringLiteral("RealTimeStart3"))->trigger();
    const double cpu0 = bench::cpuMs();
    QElapsedTimer wall;
    wall.start();
    bench::runFor(60'000);
    const double first = double(wall.nsecsElapsed()) / 1e9;
    const double framesFirst = double(poll.framesReceived());
    const double rss1 = bench::rssMb();
    bench::runFor(qint64(minutes) * 60'000 - wall.elapsed());
    const double seconds = double(wall.nsecsElapsed()) / 1e9;
    const double cpu = bench::cpuMs() - cpu0;
    const double rssEnd = bench::rssMb();
    const int redrawsDone = redraws;
    const double redrawCpu = redrawMs;
    g->findChild<QAction *>(QStringLiteral("RealTimeStop3"))->trigger();

    const double rate = framesFirst / first;
    if (oneCpu >= 0)
        std::printf("realtime_one_cpu %d (the program and unit-sim kept on processor %d)\n", oneCpu, oneCpu);
    std::printf("realtime_frames_per_s %.1f target >=%.1f (95%% of the link limit %.1f; %.0f frames in %.1f s)\n", rate,
                0.95 * LinkLimit, LinkLimit, framesFirst, first);
    std::printf("realtime_frames_lost %llu target 0 (of %llu frames in %.0f s)\n",
                static_cast<unsigned long long>(poll.framesLost()),
                static_cast<unsigned long long>(poll.framesReceived()), seconds);
    std::printf("realtime_cpu_percent %.1f target <5 (%.0f ms of CPU over %.0f s, %.1f chart redraws/s)\n",
                100.0 * cpu / (seconds * 1000), cpu, seconds, redrawsDone / seconds);
    std::printf("realtime_redraw_ms %.2f (CPU of one chart redraw, painted; %.1f %% of a core in all)\n",
                redrawsDone ? redrawCpu / redrawsDone : 0.0, 100.0 * redrawCpu / (seconds * 1000));
    std::printf("realtime_rss_mb_1min %.1f\n", rss1);
    std::printf("realtime_rss_mb_%dmin %.1f target flat (%+.1f MB since the first minute)\n", minutes, rssEnd,
                rssEnd - rss1);
    return 0;
}
