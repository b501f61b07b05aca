#include "platform/kernel/VersionInfo.h"

#include <sys/utsname.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/kernel/LastError.h"

namespace {

constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;

// PRETTY_NAME of os-release, without its quotes; "Linux" when there is none.
std::string DistributionName() {
    for (const char* path : {"/etc/os-release", "/usr/lib/os-release"}) {
        std::ifstream in(path);
        std::string line;
        while (std::getline(in, line)) {
            if (line.rfind("PRETTY_NAME=", 0) != 0) continue;
            std::string value = line.substr(12);
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
                value = value.substr(1, value.size() - 2);
            if (!value.empty()) return value;
        }
    }
    return "Linux";
}

}  // namespace

BOOL GetVersionExA(OSVERSIONINFOA* info) {
    if (info == nullptr || (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA) &&
                            info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOEXA))) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    utsname system{};
    if (uname(&system) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // "6.1.0-13-amd64": the leading numbers.
    unsigned major = 0, minor = 0, build = 0;
    std::sscanf(system.release, "%u.%u.%u", &major, &minor, &build);
    info->dwMajorVersion = major;
    info->dwMinorVersion = minor;
    info->dwBuildNumber = build;
    info->dwPlatformId = VER_PLATFORM_LINUX;
    std::snprintf(info->szCSDVersion, sizeof info->szCSDVersion, "%s, kernel %s", DistributionName().c_str(),
                  system.release);
    if (info->dwOSVersionInfoSize == sizeof(OSVERSIONINFOEXA)) {
        auto* ex = reinterpret_cast<OSVERSIONINFOEXA*>(info);
        ex->wServicePackMajor = ex->wServicePackMinor = ex->wSuiteMask = 0;
        ex->wProductType = 0;
        ex->wReserved = 0;
    }
    return TRUE;
}
