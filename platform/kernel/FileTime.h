#pragma once
// File times: 100-nanosecond ticks since 1601-01-01 00:00 UTC, as two 32-bit halves.

#include <cstdint>

#include "platform/kernel/WinTypes.h"

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;  // 0 Sunday
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};

void GetSystemTimeAsFileTime(FILETIME* now);
// Local time by the C library's time-zone rules (TZ honoured), with the offset in force at that
// moment, summer time included.
BOOL FileTimeToLocalFileTime(const FILETIME* utc, FILETIME* local);
// FALSE for a value with its top bit set: such a time has no calendar date.
BOOL FileTimeToSystemTime(const FILETIME* time, SYSTEMTIME* calendar);
// FALSE for a date outside 1601 to 30827 or a field out of range; the weekday is not read.
BOOL SystemTimeToFileTime(const SYSTEMTIME* calendar, FILETIME* time);

// Ticks between 1601-01-01 and 1970-01-01.
constexpr std::uint64_t kFileTimeUnixEpoch = 116444736000000000ull;
constexpr std::uint64_t kFileTimeTicksPerSecond = 10000000ull;

inline std::uint64_t FileTimeValue(const FILETIME& t) {
    return (std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime;
}
inline FILETIME FileTimeFromValue(std::uint64_t v) {
    return FILETIME{static_cast<DWORD>(v), static_cast<DWORD>(v >> 32)};
}
