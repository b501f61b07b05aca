#include "platform/kernel/FileTime.h"

#include <ctime>

#include "platform/kernel/LastError.h"

void GetSystemTimeAsFileTime(FILETIME* now) {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    // Before 1970 would be negative here; the clock is not set that far back.
    const std::uint64_t ticks = kFileTimeUnixEpoch + static_cast<std::uint64_t>(ts.tv_sec) * kFileTimeTicksPerSecond +
                                static_cast<std::uint64_t>(ts.tv_nsec) / 100;
    *now = FileTimeFromValue(ticks);
}

namespace {

constexpr std::uint64_t kTicksPerDay = 86400ull * kFileTimeTicksPerSecond;
// Days from 0000-03-01 (where the era arithmetic below counts from) to 1601-01-01.
constexpr long long kDays0000To1601 = 584694;

// Seconds relative to 1970 for a file time, rounded down.
long long UnixSeconds(std::uint64_t ticks) {
    const auto t = static_cast<long long>(ticks / kFileTimeTicksPerSecond);
    return t - static_cast<long long>(kFileTimeUnixEpoch / kFileTimeTicksPerSecond);
}

}  // namespace

BOOL FileTimeToLocalFileTime(const FILETIME* utc, FILETIME* local) {
    if (utc == nullptr || local == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::uint64_t value = FileTimeValue(*utc);
    const time_t seconds = static_cast<time_t>(UnixSeconds(value));
    tm parts{};
    if (localtime_r(&seconds, &parts) == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const long long offset = static_cast<long long>(parts.tm_gmtoff) * static_cast<long long>(kFileTimeTicksPerSecond);
    *local = FileTimeFromValue(value + static_cast<std::uint64_t>(offset));  // wraps like the platform's does
    return TRUE;
}

BOOL FileTimeToSystemTime(const FILETIME* time, SYSTEMTIME* calendar) {
    if (time == nullptr || calendar == nullptr || (time->dwHighDateTime & 0x80000000u)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::uint64_t value = FileTimeValue(*time);
    // Days since 1601-01-01, a Monday; the civil date by the usual era arithmetic, counted
    // from 0000-03-01.
    const std::uint64_t days = value / kTicksPerDay;
    const std::uint64_t inDay = value % kTicksPerDay;
    const long long z = static_cast<long long>(days) + kDays0000To1601;
    const long long era = z / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long day = doy - (153 * mp + 2) / 5 + 1;
    const long long month = mp < 10 ? mp + 3 : mp - 9;
    const long long year = yoe + era * 400 + (month <= 2 ? 1 : 0);
    calendar->wYear = static_cast<WORD>(year);
    calendar->wMonth = static_cast<WORD>(month);
    calendar->wDay = static_cast<WORD>(day);
    calendar->wDayOfWeek = static_cast<WORD>((days + 1) % 7);
    calendar->wHour = static_cast<WORD>(inDay / (3600 * kFileTimeTicksPerSecond));
    calendar->wMinute = static_cast<WORD>(inDay / (60 * kFileTimeTicksPerSecond) % 60);
    calendar->wSecond = static_cast<WORD>(inDay / kFileTimeTicksPerSecond % 60);
    calendar->wMilliseconds = static_cast<WORD>(inDay / 10000 % 1000);
    return TRUE;
}

BOOL SystemTimeToFileTime(const SYSTEMTIME* calendar, FILETIME* time) {
    static const WORD monthDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (calendar == nullptr || time == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const SYSTEMTIME& c = *calendar;
    const bool leap = (c.wYear % 4 == 0 && c.wYear % 100 != 0) || c.wYear % 400 == 0;
    if (c.wYear < 1601 || c.wYear > 30827 || c.wMonth < 1 || c.wMonth > 12 || c.wDay < 1 ||
        c.wDay > (c.wMonth == 2 && !leap ? 28 : monthDays[c.wMonth - 1]) || c.wHour > 23 || c.wMinute > 59 ||
        c.wSecond > 59 || c.wMilliseconds > 999) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const long long y = c.wYear - (c.wMonth <= 2 ? 1 : 0);
    const long long era = y / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (c.wMonth + (c.wMonth > 2 ? -3 : 9)) + 2) / 5 + c.wDay - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const auto days = static_cast<std::uint64_t>(era * 146097 + doe - kDays0000To1601);
    *time = FileTimeFromValue(days * kTicksPerDay +
                              (std::uint64_t{c.wHour} * 3600 + c.wMinute * 60u + c.wSecond) * kFileTimeTicksPerSecond +
                              std::uint64_t{c.wMilliseconds} * 10000);
    return TRUE;
}
