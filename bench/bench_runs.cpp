// The runs library at its fullest: the runs window over 200 kept runs of a whole logger memory
// each, and two of them compared in the graph window, against their targets.
#include "BenchFigures.h"

#include "TestOptions.h"
#include "app/Main.h"
#include "app/MainRuns.h"
#include "graph/GraphFiles.h"
#include "graph/LogImage.h"
#include "runs/RunComparison.h"
#include "runs/ui/RunsWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <functional>

namespace {

constexpr int Runs = 200;

// A whole logger memory of a drive: standing, a launch with wheelspin, gears, a stop; each run a
// little different.
QByteArray driveFile(int n)
{
    QByteArray bytes(GraphFiles::DosHeaderSize, '\0');
    bytes.reserve(GraphFiles::DosHeaderSize + LogImage::Samples * RecordSize);
    const int start = 400 + n % 50;
    for (int i = 0; i < LogImage::Samples; ++i) {
        const double t = std::max(0, i - start) / 122.0;
        const double v = std::min(180.0, 160 * (1 - std::exp(-t / 12)));
        const double spin = t > 0 && t < 3 ? 15 * std::sin(t * 3) : 0;
        const auto front = quint8(v), rear = quint8(std::clamp(v + std::abs(spin), 0.0, 255.0));
        const quint8 record[RecordSize] = {
            front, front, rear, rear, quint8(30 + int(v) % 170), quint8(std::abs(spin) > 8 ? 2 : 0)};
        bytes.append(reinterpret_cast<const char *>(record), RecordSize);
    }
    return bytes;
}

double bestOf3(const std::function<void()> &work)
{
    double best = 1e9;
    for (int k = 0; k < 3; ++k) {
        QElapsedTimer clock;
        clock.start();
        work();
        best = std::min(best, double(clock.nsecsElapsed()) / 1e6);
    }
    return best;
}

void row(const char *name, double ms, double targetMs)
{
    std::printf("%-44s %9.1f ms   target < %6.0f ms %s\n", name, ms, targetMs, ms < targetMs ? "ok" : "MISS");
}

}  // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    RunsLibrary library = RunsLibrary::fromOptions(testOptions());
    QElapsedTimer filling;
    filling.start();
    for (int n = 0; n < Runs; ++n) {
        RunRecord r = RunsLibrary::made(testOptions(), RunRecord::Kind::Upload, SettingsImage::defaults(),
                                        QDateTime::currentDateTime(), QStringLiteral("TCU V3.12"));
        r.time = r.time.addSecs(n - Runs);
        QString error;
        if (!library.keep(driveFile(n), r, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
    }
    std::printf("%d runs of %d samples kept in %.1f s (%.1f ms a run, with its pruning)\n", Runs, LogImage::Samples,
                double(filling.elapsed()) / 1e3, double(filling.elapsed()) / Runs);

    const double open = bestOf3([&] {
        RunsWindow window(library);
        window.show();
        QApplication::processEvents();
    });
    row("runs window opened over 200 runs", open, 300);

    const QList<RunRecord> runs = library.runs();
    const double core = bestOf3([&] {
        Channels a, b;
        QString error;
        loadRun(runs[0], a, &error);
        loadRun(runs[1], b, &error);
        volatile double offset = RunComparison::of(runs[0], a, runs[1], b).offset;
        (void)offset;
    });
    row("two runs compared (files, figures, launches)", core, 500);

    TForm1 window(testOptions());
    window.show();
    const double inGraph = bestOf3([&] {
        window.runs()->compareRuns(runs[0], runs[1]);
        QApplication::processEvents();
    });
    row("two runs compared in the graph window", inGraph, 500);
    std::printf("cpu %.0f ms, resident %.0f MB\n", bench::cpuMs(), bench::rssMb());
    return 0;
}
