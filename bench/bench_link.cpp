// The link's waits against the protocol: CPU used while a version query times out, and the wall time
// of Read Settings and Write Settings against the least the protocol allows.
#include "BenchUnit.h"
#include "RecorderHost.h"
#include "link/TractionLink.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <sys/resource.h>

namespace {

double cpuMs()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

// A byte at 19200 baud, 8N1: ten bit times.
constexpr double ByteMs = 10.0 * 1000.0 / 19200.0;

// Every wait a successful exchange must sit out: RootMenu's quiet window and one ESC round,
// the version's 100 ms settle, the write's short pauses, its 1000 ms before the last 'W' and
// one 10 ms round per awaited phrase.
constexpr double RootMenuMs = 250 + 100;
constexpr double VersionMs = RootMenuMs + 100 + RootMenuMs;
constexpr double ReadDelaysMs = VersionMs + RootMenuMs + RootMenuMs;
constexpr double WriteDelaysMs = VersionMs + RootMenuMs + 5 + 5 + 10 + 5 + 10 + 1000 + 10 + RootMenuMs;

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    {
        BenchUnit unit;
        unit.silent = true;
        RecorderHost host;
        TractionLink link(host);
        link.Comm1().open(unit.pty.slavePath);
        QElapsedTimer wall;
        wall.start();
        const double c0 = cpuMs();
        link.TractionFirmwareVersion();
        const double cpu = cpuMs() - c0;
        const double share = 100.0 * cpu / double(wall.elapsed());
        std::printf("version_timeout_cpu_percent %.3f target <1.0 (cpu %.1f ms over %lld ms)\n", share, cpu,
                    wall.elapsed());
    }
    for (int write = 0; write < 2; ++write) {
        BenchUnit unit;
        RecorderHost host;
        TractionLink link(host);
        link.Comm1().open(unit.pty.slavePath);
        QElapsedTimer wall;
        wall.start();
        const bool ok = write ? link.WriteToTraction() : link.ReadFromTraction();
        const double ms = double(wall.elapsed());
        // Both directions run at once on a full-duplex line; the larger one bounds it. The stand-in
        // unit answers without pacing, so the byte time is a bound it need not sit out.
        const double bytes = qMax(unit.received.size(), unit.sent.size());
        const double delays = write ? WriteDelaysMs : ReadDelaysMs;
        const double least = delays + bytes * ByteMs;
        std::printf("%s_wall_ratio %.3f target <=1.10 (%.0f ms, least %.0f ms = waits %.0f + %.0f bytes; "
                    "over the waits alone %.3f; %s)\n",
                    write ? "write_settings" : "read_settings", ms / least, ms, least, delays, bytes,
                    ms / delays, ok ? "ok" : "FAILED");
    }
    return 0;
}
