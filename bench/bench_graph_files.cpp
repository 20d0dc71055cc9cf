// Graph file writes and data exports of a long log, against their targets. The baseline writes
// the same DOS graph file record by record through a 6-byte buffer, measured in the same run.
#include "graph/ChartExport.h"
#include "graph/GraphFiles.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr qsizetype Samples = 1000000;

double bestMs(int runs, const std::function<void()> &work)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        best = std::min(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}

void row(const char *name, double ms, double targetMs, const char *note = "")
{
    std::printf("%-36s %9.1f ms   target < %6.0f ms %s %s\n", name, ms, targetMs, ms < targetMs ? "ok  " : "MISS",
                note);
}

}  // namespace

int main()
{
    QTemporaryDir dir;
    std::vector<uchar> records(size_t(Samples) * RecordSize);
    for (size_t i = 0; i < records.size(); ++i)
        records[i] = uchar((i * 2654435761u) >> 24);
    Channels channels;
    channels.assignRecords(0, records.data(), Samples);
    const QString path = dir.filePath("long.dat");
    std::printf("1,000,000-sample graph (%lld-byte DOS graph file), best of 3\n",
                qlonglong(GraphFiles::DosHeaderSize + RecordSize * Samples));

    QString error;
    const double save = bestMs(3, [&] { GraphFiles::saveDos(path, channels, &error); });
    const double byRecord = bestMs(3, [&] {
        const QByteArray bytes = GraphFiles::dosBytes(channels);
        QFile f(dir.filePath("records.dat"));
        f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
        for (qsizetype at = 0; at < bytes.size(); at += RecordSize)
            f.write(bytes.constData() + at, std::min<qsizetype>(RecordSize, bytes.size() - at));
    });
    char note[64];
    std::snprintf(note, sizeof note, "(record by record: %.1f ms, %.0fx)", byRecord, byRecord / save);
    row("save DOS graph file", save, 300, note);

    ChartExport::DataOptions csv;
    csv.delimiter = QStringLiteral(",");
    csv.traces = {SixChannels.begin(), SixChannels.end()};
    qsizetype csvBytes = 0;
    const double text = bestMs(3, [&] { csvBytes = ChartExport::data(channels, csv).size(); });
    std::snprintf(note, sizeof note, "(%.1f MB)", csvBytes / 1e6);
    row("export six channels as CSV text", text, 2000, note);

    csv.format = ChartExport::DataFormat::Xml;
    row("export six channels as XML", bestMs(1, [&] { ChartExport::data(channels, csv); }), 4000);

    std::array<ChartExport::TraceLook, TraceCount> looks{};
    row("native JSON with series data",
        bestMs(1, [&] { ChartExport::native(channels, Navigation::Axes{}, looks, true); }), 4000);
    return 0;
}
