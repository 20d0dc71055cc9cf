// The DOS graph loader on arbitrary files: a file shorter than its header loads nothing and says
// so; any other holds one sample per whole six-byte record after the header, on every channel.

#include "FuzzTarget.h"

#include "graph/GraphFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzz::scratchFile("run.dat", data, size);
    Channels channels;
    const uchar held[GraphFiles::DosHeaderSize] = {};
    channels.assignRecords(0, held, 3);  // what the window showed before
    channels[Trace::Blank].append(0, 7);
    const auto r = GraphFiles::load(path, channels);
    if (size < size_t(GraphFiles::DosHeaderSize)) {
        FUZZ_CHECK(r.status == GraphFiles::LoadResult::TooShort);
        FUZZ_CHECK(channels[Trace::RPM].count() == 3);
        return 0;
    }
    FUZZ_CHECK(r.status == GraphFiles::LoadResult::Loaded);
    const qsizetype n = qsizetype(size - GraphFiles::DosHeaderSize) / RecordSize;
    FUZZ_CHECK(r.samples == n);
    for (const Trace t : SixChannels)
        FUZZ_CHECK(channels[t].count() == n);
    FUZZ_CHECK(channels[Trace::Blank].count() == 1);
    if (n > 0) {
        const uint8_t *last = data + GraphFiles::DosHeaderSize + (n - 1) * RecordSize;
        FUZZ_CHECK(channels[Trace::RPM].y(n - 1) == last[4] * RpmUnit);
        FUZZ_CHECK(channels[Trace::CutLevel].y(n - 1) == last[5]);
        FUZZ_CHECK(channels[Trace::WheelSpeedFL].x(n - 1) == double(n - 1));
    }
    return 0;
}
