// The Windows graph loader on arbitrary files: without its header text a file is ignored and the
// graph stays as it was; with it, every whole 14-byte record is a sample on all seven traces.

#include "FuzzTarget.h"

#include "graph/GraphFiles.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzz::scratchFile("run.tld", data, size);
    Channels channels;
    const uchar held[2 * RecordSize] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    channels.assignRecords(0, held, 2);
    channels[Trace::Blank].append(0, 7);
    const auto r = GraphFiles::load(path, channels);
    const size_t magic = std::strlen(GraphFiles::WindowsMagic);
    if (size < magic || std::memcmp(data, GraphFiles::WindowsMagic, magic) != 0) {
        FUZZ_CHECK(r.status == GraphFiles::LoadResult::Ignored);
        FUZZ_CHECK(channels[Trace::CutLevel].count() == 2 && channels[Trace::CutLevel].y(1) == 12);
        FUZZ_CHECK(channels[Trace::Blank].count() == 1);
        return 0;
    }
    FUZZ_CHECK(r.status == GraphFiles::LoadResult::Loaded);
    const qsizetype n = size < size_t(GraphFiles::WindowsHeaderSize)
                            ? 0
                            : qsizetype(size - GraphFiles::WindowsHeaderSize) / GraphFiles::WindowsRecordSize;
    FUZZ_CHECK(r.samples == n);
    FUZZ_CHECK(r.rpmMax.has_value() == (size >= size_t(GraphFiles::WindowsHeaderSize)));
    for (const Trace t : SixChannels)
        FUZZ_CHECK(channels[t].count() == n);
    FUZZ_CHECK(channels[Trace::Blank].count() == n + 1);  // Blank keeps what it held
    if (n > 0) {
        const uint8_t *last = data + GraphFiles::WindowsHeaderSize + (n - 1) * GraphFiles::WindowsRecordSize;
        FUZZ_CHECK(channels[Trace::RPM].y(n - 1) == (last[0] << 8 | last[1]));
        FUZZ_CHECK(channels[Trace::CutLevel].y(n - 1) == (last[10] << 8 | last[11]));
    }
    return 0;
}
