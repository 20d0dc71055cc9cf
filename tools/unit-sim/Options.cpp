#include "Options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <variant>

namespace {

using Field =
    std::variant<bool Options::*, int Options::*, unsigned Options::*, double Options::*, std::string Options::*>;

struct Flag {
    const char *name;
    Field field;
    bool value = true;  // what a bare switch stores
};

// One row per option; switches store `value`, the rest take the next argument.
const Flag Flags[] = {
    {"--link", &Options::linkPath},
    {"--com", &Options::comNumber},
    {"--pace", &Options::pace, true},
    {"--fast", &Options::pace, false},
    {"--exit-after", &Options::exitAfter},
    {"--own-processor", &Options::ownProcessor},
    {"--memory", &Options::memoryFile},
    {"--log-memory", &Options::logMemoryFile},
    {"--trace", &Options::traceFile},
    {"--version-text", &Options::versionText},
    {"--message-every", &Options::messageEvery},
    {"--time-scale", &Options::timeScale},
    {"--warm-up", &Options::warmUp},
    {"--seed", &Options::seed},
    {"--clear-time", &Options::clearTime},
    {"--silent", &Options::silent},
    {"--stream", &Options::stream},
    {"--no-version", &Options::noVersion},
    {"--partial-image", &Options::partialImage},
    {"--no-uploaded-ok", &Options::noUploadedOk},
    {"--alter-on-write", &Options::alterOnWrite},
    {"--no-setup-menu", &Options::noSetupMenu},
    {"--stop-after-blocks", &Options::stopAfterBlocks},
    {"--stop-after-bytes", &Options::stopAfterBytes},
    {"--ignore-keys", &Options::ignoreKeys},
    {"--drop-frame-every", &Options::dropFrameEvery},
    {"--garbage", &Options::garbage},
    {"--hangup-after", &Options::hangupAfter},
    {"--slow-root", &Options::slowRoot},
    {"--help", &Options::help},
};

bool parseNumber(const char *text, double &out)
{
    char *end = nullptr;
    errno = 0;
    out = std::strtod(text, &end);
    return errno == 0 && end != text && *end == '\0';
}

std::string checkRanges(const Options &o)
{
    if (o.comNumber < 0 || o.comNumber > 255)
        return "--com wants a port number from 1 to 255";
    if (o.exitAfter < 0 || o.hangupAfter < 0 || o.warmUp < 0 || o.clearTime < 0 || o.slowRoot < 0)
        return "times cannot be negative";
    // The unit's own are 7 to 10 bytes; shorter and longer ones try the program's edges.
    if (o.versionText.empty() || o.versionText.size() > 16)
        return "--version-text must be 1 to 16 bytes long";
    if (o.partialImage > 255)
        return "--partial-image wants fewer than 256 bytes";
    if (o.alterOnWrite > 255)
        return "--alter-on-write wants an offset from 0 to 255";
    if (o.stopAfterBlocks > 511)
        return "--stop-after-blocks wants fewer than 512 blocks";
    if (o.stopAfterBytes > 131071)
        return "--stop-after-bytes wants fewer than 131072 bytes";
    if (o.dropFrameEvery < 0 || o.messageEvery < 0)
        return "counts cannot be negative";
    if (o.garbage < 0 || o.garbage > 1)
        return "--garbage wants a probability from 0 to 1";
    if (o.timeScale <= 0 || o.timeScale > 1000)
        return "--time-scale wants a factor above 0 and up to 1000";
    return {};
}

}  // namespace

std::optional<Options> parseOptions(int argc, char **argv, std::string &error)
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        const Flag *flag = nullptr;
        for (const Flag &f : Flags)
            if (std::strcmp(argv[i], f.name) == 0)
                flag = &f;
        if (!flag) {
            error = std::string("unknown option ") + argv[i];
            return std::nullopt;
        }
        if (auto sw = std::get_if<bool Options::*>(&flag->field)) {
            o.*(*sw) = flag->value;
            continue;
        }
        if (i + 1 >= argc) {
            error = std::string(flag->name) + " needs a value";
            return std::nullopt;
        }
        const char *arg = argv[++i];
        if (auto s = std::get_if<std::string Options::*>(&flag->field)) {
            o.*(*s) = arg;
            continue;
        }
        double v;
        if (!parseNumber(arg, v)) {
            error = std::string(flag->name) + " wants a number, not '" + arg + "'";
            return std::nullopt;
        }
        if (auto d = std::get_if<double Options::*>(&flag->field)) {
            o.*(*d) = v;
        } else if (v != double(long(v)) || v < -1 || v > 1e9) {
            error = std::string(flag->name) + " wants a whole number, not '" + arg + "'";
            return std::nullopt;
        } else if (auto n = std::get_if<int Options::*>(&flag->field)) {
            o.*(*n) = int(v);
        } else if (auto u = std::get_if<unsigned Options::*>(&flag->field)) {
            o.*(*u) = unsigned(v);
        }
    }
    error = checkRanges(o);
    if (!error.empty())
        return std::nullopt;
    return o;
}

const char *usageText()
{
    return R"(Usage: unit-sim [options]

A simulated traction control unit on a pseudo-terminal. The first line of
standard output is the path of the serial device to open (19200 baud, 8N1).
It runs until killed (SIGINT, SIGTERM) or until --exit-after.

Device:
  --link PATH            also make the symbolic link PATH to the device
  --com N                make the link ports/comN in the program's configuration
                         folder ($XDG_CONFIG_HOME/Veltorane, default ~/.config/Veltorane),
                         so the program lists the simulator as port N; removed on exit
  --pace                 send at the real rate of 19200 baud, 8N1, about 0.52 ms
                         a byte, and take received bytes at that rate (default)
  --fast                 send as fast as the pseudo-terminal takes it
  --exit-after SECONDS   end after this many seconds (a safety net for tests)
  --own-processor        run ahead of the machine's other work where the system allows
                         it (a real-time priority), as a unit with a processor of its own
                         answers whatever the laptop is busy with
  --trace FILE           write every byte in and out, one line each:
                         "<ms since start> in|out <hex> <char>"

Memory:
  --memory FILE          keep the 256-byte settings memory in FILE, created from
                         the default image when missing, so a write survives a restart
  --log-memory FILE      keep the 131072-byte logger memory in FILE likewise
  --clear-time SECONDS   how long clearing the logger takes (default 1.2, under 5)

The car:
  --time-scale X         run the scripted drive X times faster than real time
                         (default 1); the logger samples in simulated time
  --warm-up SECONDS      drive this many simulated seconds before the device opens
                         (fills the logger at once when logging is enabled)
  --seed N               seed of sensor noise and garbage bytes (default 1)
  --version-text TEXT    the text answered to 'O', 1 to 16 bytes (default "TCU V3.12");
                         the unit's own are 7 to 10 bytes, other lengths try the
                         program's handling of short and long replies
  --message-every N      answer every Nth 'M' with a text message instead of a frame,
                         "Launch..." (23 bytes) and "Calibr..." (35 bytes) in turn
                         (default 0: never)

Faults (each off unless given):
  --silent               never answer anything
  --stream               print menu text without pause forever, ignoring 'D' and
                         every other key
  --no-version           do not answer 'O'
  --partial-image N      answer 'R' with only the first N bytes of the image
  --no-uploaded-ok       after 'W' 'Y' and 256 bytes, answer a failure text without
                         "ploaded ok" and keep the old settings
  --alter-on-write OFFSET store the byte at OFFSET (0 to 255) of every settings write
                         with its lowest bit flipped, yet answer "uploaded ok"
  --no-setup-menu        do not answer 'E' at the root
  --stop-after-blocks N  send only N blocks of 256 bytes of a log upload, then nothing
  --stop-after-bytes N   send only the first N bytes of a log upload, then nothing
  --ignore-keys KEYS     take no notice of these keys at any menu level (say "L" or
                         "C": that screen never comes)
  --drop-frame-every N   leave every Nth 'M' unanswered
  --garbage P            before each byte sent, insert a random byte with probability P
  --hangup-after SECONDS close the device after this many seconds, as an unplugged
                         adapter does, then end
  --slow-root SECONDS    answer ESC with the root screen only this long after it,
                         keeping the keys that come meanwhile for after it

  --help                 show this text

The unit's menu (lines end LF CR):
  root        ESC root screen ("Running"), O version, R settings (256 bytes),
              W Y + 256 bytes write settings ("...uploaded ok"), I logger memory
              (131072 bytes), M one live frame, E setup menu
  setup       W wheel speeds, L data logging, D diagnostics, ESC back
  data log    C clear the logger ("Clearing RAM", then the data logging screen)
  diagnostic  1 2 3 I S H start a misfire test, 0 ends it, ESC back
  Streaming screens (wheel speeds, a running test) stop at 'D' or any other key;
  'M' is answered at every menu level. CR or '?' prints the current screen again.

Live frame (6 bytes): wheel speed km/h of CH1, CH2, CH3, CH4 (placed by the
channel flags of the settings), engine speed in units of the revs divisor
(35 rpm by default), cut level: 0 none, 1 to 3 slip sequence 1 to 3,
4 integral cut, 5 soft cut, 6 hard cut (rev limiter or launch control).
)";
}
