#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Each target defines this; libFuzzer calls it with every input, the replay program with every
// file of the target's corpus.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

// A property of the target's own that failed: reported and ended like a sanitizer's finding, so
// the fuzzer keeps the input and the replay test fails.
#define FUZZ_CHECK(cond)                                                                        \
    do {                                                                                        \
        if (!(cond)) {                                                                          \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
            std::abort();                                                                       \
        }                                                                                       \
    } while (0)

namespace fuzz {

inline QCoreApplication &application()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);  // lives as long as the process
    return *QCoreApplication::instance();
}

// The loaders take a file name: each input is written to one file of a folder kept for the run.
inline QString scratchFile(const char *name, const uint8_t *data, size_t size)
{
    static QTemporaryDir folder;
    const QString path = folder.filePath(QString::fromLatin1(name));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(2);
    }
    return path;
}

inline QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

}  // namespace fuzz
