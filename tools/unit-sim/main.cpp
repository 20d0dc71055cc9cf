// unit-sim: the traction control unit on a pseudo-terminal, for the program, its tests and a first run.
#include "DeviceLinks.h"
#include "Faults.h"
#include "Options.h"
#include "PtyDevice.h"
#include "Trace.h"
#include "Unit.h"
#include "Wire.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <poll.h>
#include <sched.h>

namespace {

volatile std::sig_atomic_t g_stop = 0;
void onSignal(int) { g_stop = 1; }

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char **argv)
{
    std::string error;
    const std::optional<Options> parsed = parseOptions(argc, argv, error);
    if (!parsed) {
        std::fprintf(stderr, "unit-sim: %s\n(unit-sim --help lists the options)\n", error.c_str());
        return 2;
    }
    const Options &options = *parsed;
    if (options.help) {
        std::fputs(usageText(), stdout);
        return 0;
    }

    struct sigaction sa {};
    sa.sa_handler = onSignal;  // no SA_RESTART: the wait below returns at once
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    if (options.ownProcessor) {
        // The lowest real-time priority is ahead of all ordinary work; the loop below only ever
        // sleeps in ppoll, so it cannot hold a processor. Refused without the right: carry on.
        sched_param param{};
        param.sched_priority = sched_get_priority_min(SCHED_FIFO);
        sched_setscheduler(0, SCHED_FIFO, &param);
    }
    PtyDevice device;
    Trace trace;
    DeviceLinks links;
    Faults faults(options);
    Wire wire(device, trace, faults, options.pace);
    Unit unit(wire, faults, options.memoryFile, options.logMemoryFile, options.clearTime);
    if (!unit.loadMemory(error) || !device.open(error) ||
        (!options.traceFile.empty() && !trace.open(options.traceFile, error)) ||
        (!options.linkPath.empty() && !links.add(options.linkPath, device.slavePath(), error)) ||
        (options.comNumber > 0 && !links.add(DeviceLinks::comLinkPath(options.comNumber), device.slavePath(), error))) {
        std::fprintf(stderr, "unit-sim: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s\n", device.slavePath().c_str());
    std::fflush(stdout);

    const auto start = std::chrono::steady_clock::now();
    int status = 0;
    while (!g_stop) {
        const double now = secondsSince(start);
        if (options.exitAfter > 0 && now >= options.exitAfter)
            break;
        if (options.hangupAfter > 0 && now >= options.hangupAfter) {
            trace.flush();
            device.close();  // as an unplugged adapter: the program's port hangs up
            break;
        }
        if (!wire.receive(now)) {
            std::fprintf(stderr, "unit-sim: the pseudo-terminal failed\n");
            status = 1;
            break;
        }
        wire.deliver(now, [&](uint8_t b) { unit.key(b, now); });
        unit.tick(now);
        wire.transmit(now);

        double wake = std::min({wire.nextDue(), unit.nextTick(), now + 1.0});
        if (options.exitAfter > 0)
            wake = std::min(wake, options.exitAfter);
        if (options.hangupAfter > 0)
            wake = std::min(wake, options.hangupAfter);
        const double wait = std::max(0.0, wake - secondsSince(start));
        pollfd pfd{device.fd(), short(POLLIN | (wire.blocked() ? POLLOUT : 0)), 0};
        trace.flush();
        const timespec ts{time_t(wait), long((wait - std::floor(wait)) * 1e9)};
        if (ppoll(&pfd, 1, &ts, nullptr) < 0 && errno != EINTR) {
            status = 1;
            break;
        }
    }
    unit.finish();
    trace.flush();
    return status;
}
