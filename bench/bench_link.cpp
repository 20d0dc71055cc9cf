// The link's waits against the protocol, with the simulated unit at its real rate (--pace): CPU
// used while a version query times out, and the wall time of Read Settings and Write Settings
// against the least the protocol allows.
#include "BenchFigures.h"
#include "RecorderHost.h"
#include "SimUnit.h"
#include "link/TractionLink.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <sys/resource.h>

namespace {

// A byte at 19200 baud, 8N1: ten bit times.
constexpr double ByteMs = 10.0 * 1000.0 / 19200.0;

// Bytes the unit sent after the program's byte at `from` (an index among the program's bytes)
// until `phrase` was complete: the part of an answer that must be waited for.
int answerBytes(const QList<SimUnit::Byte> &trace, int from, const QByteArray &phrase)
{
    int seen = -1;
    QByteArray text;
    for (const SimUnit::Byte &b : trace) {
        if (b.in) {
            ++seen;
            continue;
        }
        if (seen < from)
            continue;
        text += char(b.value);
        if (phrase.isEmpty() ? false : text.contains(phrase))
            return int(text.size());
    }
    return int(text.size());
}

// The least a read takes: four menu returns of a quiet unit (250 ms window, one 100 ms ESC round),
// the version's 100 ms settle after its first 7 bytes, the quiet line before 'O' and before 'R',
// the commands and the 256-byte image; a checked read asks for the image once more, after its
// own quiet line, and returns to the root again.
double readLeast(bool checked)
{
    const double once = 4 * 350.0 + 100 + 2 * CommandSequences::QuietMs + (1 + 7 + 1 + 256) * ByteMs;
    return once + (checked ? 350.0 + CommandSequences::QuietMs + (1 + 256) * ByteMs : 0);
}

// The least a write takes: three menu returns and the version as for a read, the quiet line before
// 'W', 'W' 5 ms 'Y' 5 ms,
// 256 bytes, the awaited answers up to their phrases (the 10 ms polling rounds overlap the bytes
// on the line), 5 ms before 'E', 1000 ms before the last
// 'W', and the closing return from the streaming wheel speeds (a busy window, 'D' and 100 ms, a
// quiet window, an ESC round per menu level).
double writeLeast(const QList<SimUnit::Byte> &trace, const QByteArray &sent)
{
    const int w = int(sent.indexOf("WY"));
    const int e = int(sent.indexOf('E', w + 258));
    const int last = int(sent.indexOf('W', e));
    const int answers = answerBytes(trace, w + 257, "ploaded ok") + answerBytes(trace, e, "SETUP MENU") +
                        answerBytes(trace, last, "Wheel Spee");
    const double delays = 3 * 350.0 + 100 + 2 * CommandSequences::QuietMs + 5 + 5 + 5 + 1000 +
                          (250 + 100 + 250 + 2 * 100);
    return delays + (1 + 7 + 2 + 256 + 1 + 1 + answers) * ByteMs;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    {
        SimUnit unit({"--pace", "--silent"});
        RecorderHost host;
        TractionLink link(host);
        link.Comm1().open(unit.path);
        QElapsedTimer wall;
        wall.start();
        const double c0 = bench::cpuMs();
        link.TractionFirmwareVersion();
        const double cpu = bench::cpuMs() - c0;
        const double share = 100.0 * cpu / double(wall.elapsed());
        std::printf("version_timeout_cpu_percent %.3f target <1.0 (cpu %.1f ms over %lld ms)\n", share, cpu,
                    wall.elapsed());
    }
    // A read once, a read checked (as the window and tractionctl read by default), a write.
    const char *const names[] = {"read_settings_once", "read_settings_checked", "write_settings"};
    for (int kind = 0; kind < 3; ++kind) {
        const bool write = kind == 2, checked = kind == 1;
        SimUnit unit({"--pace"});
        RecorderHost host;
        TractionLink link(host);
        link.sequences().setCheckReads(checked);
        link.Comm1().open(unit.path);
        QElapsedTimer wall;
        wall.start();
        const bool ok = write ? link.WriteToTraction() : link.ReadFromTraction();
        const double ms = double(wall.elapsed());
        link.waits().Delay_ms(100);  // let the trace reach its file
        const double least = write ? writeLeast(unit.trace(), unit.received()) : readLeast(checked);
        std::printf("%s_wall_ratio %.3f target <=1.10 (%.0f ms, least %.0f ms; %s)\n", names[kind], ms / least, ms,
                    least, ok ? "ok" : "FAILED");
    }
    return 0;
}
