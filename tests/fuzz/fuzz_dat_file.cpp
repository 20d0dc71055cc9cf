// The ".dat" settings loader on arbitrary files: a file of exactly 256 bytes becomes the image
// byte for byte; anything else is refused and the image the user had stays as it was.

#include "FuzzTarget.h"

#include "settings/SettingsFiles.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzz::scratchFile("tune.dat", data, size);
    SettingsImage image;
    const SettingsImage before = image;
    QString error;
    if (readDatFile(path, image, &error)) {
        FUZZ_CHECK(size == SettingsImage::Size);
        FUZZ_CHECK(std::memcmp(image.bytes().data(), data, size) == 0);
    } else {
        FUZZ_CHECK(size != SettingsImage::Size);
        FUZZ_CHECK(image == before);
        FUZZ_CHECK(!error.isEmpty());
    }
    return 0;
}
