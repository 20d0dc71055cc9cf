#include "graph/LogImage.h"

namespace LogImage {

bool plot(const QByteArray &image, Channels &channels)
{
    if (image.size() != Size)
        return false;
    channels.assignRecords(1, reinterpret_cast<const uchar *>(image.constData()) + FirstSampleOffset, Samples);
    return true;
}

}  // namespace LogImage
