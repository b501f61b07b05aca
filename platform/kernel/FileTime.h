#pragma once
// File times: 100-nanosecond ticks since 1601-01-01 00:00 UTC, as two 32-bit halves.

#include <cstdint>

#include "platform/kernel/WinTypes.h"

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

void GetSystemTimeAsFileTime(FILETIME* now);

// Ticks between 1601-01-01 and 1970-01-01.
constexpr std::uint64_t kFileTimeUnixEpoch = 116444736000000000ull;
constexpr std::uint64_t kFileTimeTicksPerSecond = 10000000ull;

inline std::uint64_t FileTimeValue(const FILETIME& t) {
    return (std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime;
}
inline FILETIME FileTimeFromValue(std::uint64_t v) {
    return FILETIME{static_cast<DWORD>(v), static_cast<DWORD>(v >> 32)};
}
