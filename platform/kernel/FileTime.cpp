#include "platform/kernel/FileTime.h"

#include <ctime>

void GetSystemTimeAsFileTime(FILETIME* now) {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    // Before 1970 would be negative here; the clock is not set that far back.
    const std::uint64_t ticks = kFileTimeUnixEpoch + static_cast<std::uint64_t>(ts.tv_sec) * kFileTimeTicksPerSecond +
                                static_cast<std::uint64_t>(ts.tv_nsec) / 100;
    *now = FileTimeFromValue(ticks);
}
