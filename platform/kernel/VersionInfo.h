#pragma once
// The operating system's version query. On Linux it reports the running system: platform
// VER_PLATFORM_LINUX, the kernel release's numbers as major, minor and build, and in the
// service-pack text the distribution's name (PRETTY_NAME of /etc/os-release) and the kernel
// release.

#include "platform/kernel/WinTypes.h"

constexpr DWORD VER_PLATFORM_WIN32s = 0;
constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr DWORD VER_PLATFORM_WIN32_NT = 2;
constexpr DWORD VER_PLATFORM_WIN32_CE = 3;
constexpr DWORD VER_PLATFORM_LINUX = 0x4C58;  // "LX"; none of the platform values above

struct OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    char szCSDVersion[128];
};

struct OSVERSIONINFOEXA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    char szCSDVersion[128];
    WORD wServicePackMajor;
    WORD wServicePackMinor;
    WORD wSuiteMask;
    BYTE wProductType;
    BYTE wReserved;
};

static_assert(sizeof(OSVERSIONINFOA) == 148 && sizeof(OSVERSIONINFOEXA) == 156);

// `info->dwOSVersionInfoSize` must be the size of one of the two records; FALSE otherwise.
BOOL GetVersionExA(OSVERSIONINFOA* info);
