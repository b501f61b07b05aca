#include "widgets/IconMenuSettings.h"

#include "platform/graphics/Gdi.h"
#include "platform/graphics/SystemColors.h"
#include "platform/kernel/VersionInfo.h"
#include "platform/window/Windows.h"

namespace {

constexpr int kManyColors = 64000;

int ScreenColorCount() {
    const HDC screen = GetDC(nullptr);
    const int colors = GetDeviceCaps(screen, NUMCOLORS);
    ReleaseDC(nullptr, screen);
    // -1: more colours than a palette holds.
    return colors == -1 || colors == 0 ? kManyColors : colors;
}

}  // namespace

IconMenuSettings& IconMenuSettings::Instance() {
    static IconMenuSettings settings;
    return settings;
}

int IconMenuSettings::GenerationOf(const OSVERSIONINFOA& v) {
    switch (v.dwPlatformId) {
        case VER_PLATFORM_WIN32_NT:
            if (v.dwMajorVersion == 4) return 5;
            if (v.dwMajorVersion == 5 && v.dwMinorVersion == 0) return 6;
            if (v.dwMajorVersion == 5 && v.dwMinorVersion == 1) return 7;
            return 1;
        case VER_PLATFORM_WIN32s:
        case VER_PLATFORM_WIN32_WINDOWS:
            if (v.dwMajorVersion < 4) return 0;
            if (v.dwMajorVersion == 4 && v.dwMinorVersion == 10) return 3;
            if (v.dwMajorVersion == 4 && v.dwMinorVersion == 90) return 4;
            return 2;
        default:
            // This platform offers what a current system of the NT line does.
            return 1;
    }
}

void IconMenuSettings::Read() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    osGeneration = GetVersionExA(&version) ? GenerationOf(version) : 1;
    HIGHCONTRASTA contrast{};
    contrast.cbSize = sizeof contrast;
    highContrast = SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
                   (contrast.dwFlags & HCF_HIGHCONTRASTON);
    // No theme service here; the graphics layer draws gradients itself (it is not loaded on
    // generation 3, where the system's own was unreliable).
    themeService = false;
    themeActive = false;
    gradientFill = osGeneration != 3;
    remoteSession = osGeneration >= 6 && GetSystemMetrics(SM_REMOTESESSION) != 0;
    colorCount = ScreenColorCount();
}
