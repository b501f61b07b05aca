#include "presentation/OsNaming.h"

#include <cstring>

namespace {

struct Caption {
    std::uint32_t kind;
    const char* text;
};

constexpr Caption kNames[] = {
    {0, "unknown Windows version"}, {1, "Windows 95"},      {2, "Windows 95 SP1"},
    {3, "Windows 95 OSR2"},         {4, "Windows 98"},      {5, "Windows 98 SP1"},
    {6, "Windows 98 SE"},           {7, "Windows ME"},      {101, "Windows NT 3.51"},
    {102, "Windows NT 4"},          {103, "Windows 2000"},  {104, "Windows XP"},
    {105, "Windows Server 2003"},   {106, "Windows Vista"}, {201, "Windows CE"},
    {OsNaming::kLinux, "Linux"},
};

constexpr const char* kEditions[] = {
    "An unknown product",
    "Ultimate Edition",
    "Home Basic Edition",
    "Home Premium Edition",
    "Enterprise Edition",
    "Home Basic Edition",
    "Business Edition",
    "Server Standard Edition (full installation)",
    "Server Datacenter Edition (full installation)",
    "Small Business Server",
    "Server Enterprise Edition (full installation)",
    "Starter Edition",
    "Server Datacenter Edition (core installation)",
    "Server Standard Edition (core installation)",
    "Server Enterprise Edition (core installation)",
    "Server Enterprise Edition for Itanium-based Systems",
    "Business Edition",
    "Web Server Edition",
    "Cluster Server Edition",
    "Home Server Edition",
    "Storage Server Express Edition",
    "Storage Server Standard Edition",
    "Storage Server Workgroup Edition",
    "Storage Server Enterprise Edition",
    "Server for Small Business Edition",
    "Small Business Server Premium Edition",
    "Home Premium Edition",
    "Enterprise Edition",
    "Ultimate Edition",
};

std::uint32_t Windows9x(std::uint32_t minor, std::uint32_t build) {
    if (minor < 10) return build == 950 ? 1 : build >= 951 && build <= 1080 ? 2 : build > 1080 ? 3 : 0;
    if (minor == 10) return build == 1998 ? 4 : build >= 1999 && build <= 2182 ? 5 : build >= 2183 ? 6 : 0;
    return minor == 90 ? 7 : 0;
}

std::uint32_t WindowsNt(std::uint32_t major, std::uint32_t minor) {
    struct Version {
        std::uint32_t major, minor, kind;
    };
    static const Version versions[] = {{3, 51, 101}, {4, 0, 102}, {5, 0, 103}, {5, 1, 104}, {5, 2, 105}, {6, 0, 106}};
    for (const Version& v : versions)
        if (v.major == major && v.minor == minor) return v.kind;
    return 0;
}

}  // namespace

OsNaming& OsNaming::Instance() {
    static OsNaming instance([](OSVERSIONINFOA* info) { return GetVersionExA(info); }, nullptr);
    return instance;
}

// Read while the process starts, as early as the platform allows.
[[maybe_unused]] static const bool kReadAtStart = (OsNaming::Instance().ReadVersionInformation(), true);

OsNaming::OsNaming(VersionQuery query, ProductTypeQuery productType)
    : query_(std::move(query)), productTypeQuery_(std::move(productType)) {}

void OsNaming::ReadVersionInformation() {
    version_ = OSVERSIONINFOEXA{};
    productType_ = 0;
    auto* basic = reinterpret_cast<OSVERSIONINFOA*>(&version_);
    basic->dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    if (!query_ || !query_(basic)) return;
    read_ = true;
    if (version_.dwPlatformId == VER_PLATFORM_WIN32_NT && version_.dwMajorVersion >= 5) {
        version_ = OSVERSIONINFOEXA{};
        version_.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
        query_(basic);  // not tested: a failure leaves the record zero
    }
}

std::uint32_t OsNaming::OsKind() {
    const std::uint32_t build = version_.dwBuildNumber & 0xFFFF;
    switch (version_.dwPlatformId) {
        case VER_PLATFORM_WIN32_WINDOWS:
            return version_.dwMajorVersion == 4 ? Windows9x(version_.dwMinorVersion, build) : 0;
        case VER_PLATFORM_WIN32_NT: {
            const std::uint32_t kind = WindowsNt(version_.dwMajorVersion, version_.dwMinorVersion);
            if (kind == kVista) FetchProductType();
            return kind;
        }
        case VER_PLATFORM_WIN32_CE:
            return 201;
        case VER_PLATFORM_LINUX:
            return kLinux;
        default:
            return 0;
    }
}

const char* OsNaming::OsName() {
    const std::uint32_t kind = OsKind();
    for (const Caption& c : kNames)
        if (c.kind == kind) return c.text;
    return kNames[0].text;
}

const char* OsNaming::OsEditionName() const {
    return productType_ < std::size(kEditions) ? kEditions[productType_] : "";
}

std::string OsNaming::ServicePackText() const {
    return std::string(version_.szCSDVersion, strnlen(version_.szCSDVersion, sizeof version_.szCSDVersion));
}

std::string OsNaming::OsText() {
    if (!IsEditionNamed()) return OsName();
    return std::string(OsName()) + " " + OsEditionName();
}

void OsNaming::FetchProductType() {
    if (productType_ != 0) return;
    std::uint32_t type = 0;
    if (productTypeQuery_ && productTypeQuery_(type)) productType_ = type;
}
