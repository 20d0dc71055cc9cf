#include "settings/LogTime.h"

#include <iterator>

namespace {

constexpr const char *Captions[] = {
    "Total Log Time is 1 Min 29 Seconds",  "Total Log Time is 2 Min 58 Seconds",  "Total Log Time is 4 Min 28 Seconds",
    "Total Log Time is 5 Min 57 Seconds",  "Total Log Time is 7 Min 27 Seconds",  "Total Log Time is 8 Min 56 Seconds",
    "Total Log Time is 10 Min 26 Seconds", "Total Log Time is 16 Min 24 Seconds", "Total Log Time is 23 Min 51 Seconds",
    "Total Log Time is 31 Min 19 Seconds", "Total Log Time is 38 Min 46 Seconds", "Total Log Time is 46 Min 13 Seconds",
    "Total Log Time is 53 Min 41 Seconds", "Total Log Time is 61 Min 8 Seconds",  "Total Log Time is 68 Min 36 Seconds",
};
static_assert(std::size(Captions) == LogTime::Count);

}  // namespace

namespace LogTime {

QString caption(int position)
{
    if (position < 0 || position >= Count)
        return {};
    return QString::fromLatin1(Captions[position]);
}

}  // namespace LogTime
