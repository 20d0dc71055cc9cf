// The ".tra" settings converter on arbitrary files: only a file of exactly 480 bytes converts;
// the image bytes the format has no word for keep what they held, and a refused file changes
// nothing.

#include "FuzzTarget.h"

#include "settings/SettingsFiles.h"

namespace {

// Image bytes no .tra word reaches.
constexpr std::pair<int, int> Untouched[] = {{50, 51},   {56, 59},   {62, 63},  {88, 95},
                                             {108, 111}, {124, 127}, {248, 255}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzz::scratchFile("car.tra", data, size);
    // A marked image, so a byte written where it should not be shows.
    SettingsImage image;
    for (int i = 0; i < SettingsImage::Size; ++i)
        image.setByte(i, quint8(0xA5 ^ i));
    const SettingsImage before = image;
    QString error;
    bool accessFault = false;
    if (ConvertTraFile(path, TraFileSize, image, &error, &accessFault)) {
        FUZZ_CHECK(size == size_t(TraFileSize));
        for (const auto &[first, last] : Untouched)
            for (int i = first; i <= last; ++i)
                FUZZ_CHECK(image.byte(i) == before.byte(i));
        FUZZ_CHECK(image.word(86) == 0xFFFF);
        for (int k = 0; k < 120; ++k)
            FUZZ_CHECK(image.byte(128 + k) == (data[26 + 2 * k] == 255 && data[27 + 2 * k] == 0 ? '1' : '0'));
    } else {
        FUZZ_CHECK(size != size_t(TraFileSize));
        FUZZ_CHECK(!accessFault);
        FUZZ_CHECK(image == before);
    }
    return 0;
}
