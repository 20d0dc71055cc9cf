#pragma once

#include <optional>
#include <string>

// Everything the command line can set. Fault flags are off unless given.
struct Options {
    std::string linkPath;  // --link PATH
    int comNumber = 0;     // --com N (0: none)
    bool pace = true;      // --pace / --fast
    bool ownProcessor = false;
    double exitAfter = 0;       // seconds, 0: run until killed
    std::string memoryFile;     // --memory FILE
    std::string logMemoryFile;  // --log-memory FILE
    std::string traceFile;      // --trace FILE
    std::string versionText = "TCU V3.12";
    int messageEvery = 0;    // every Nth 'M' answered with a text message
    double timeScale = 1.0;  // simulated seconds per real second
    double warmUp = 0;       // simulated seconds driven before the device opens
    unsigned seed = 1;
    double clearTime = 1.2;  // seconds the logger erase takes

    // Faults
    bool silent = false;
    bool stream = false;
    bool noVersion = false;
    int partialImage = -1;  // bytes of the image sent, -1: all
    bool noUploadedOk = false;
    int alterOnWrite = -1;  // offset of the byte a write stores altered, -1: none
    bool noSetupMenu = false;
    int stopAfterBlocks = -1;  // log blocks sent, -1: all
    int stopAfterBytes = -1;   // log bytes sent, -1: all
    std::string ignoreKeys;    // keys the unit takes no notice of
    int dropFrameEvery = 0;
    double garbage = 0;      // probability per byte sent
    double hangupAfter = 0;  // seconds, 0: never
    double slowRoot = 0;     // seconds the root screen takes after ESC, 0: at once

    bool help = false;
};

// Parses argv; on a bad command line returns nothing and puts the reason in error.
std::optional<Options> parseOptions(int argc, char **argv, std::string &error);

// The text --help prints.
const char *usageText();
