#pragma once
// Names the operating system for the export header: its classification (OsKind), caption,
// edition (for the one version that has them) and service-pack text. The version is read once,
// at start, and again at an export for as long as no read has succeeded.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/kernel/VersionInfo.h"

class OsNaming {
public:
    enum : std::uint32_t { kVista = 106, kLinux = 301 };

    using VersionQuery = std::function<BOOL(OSVERSIONINFOA*)>;
    // The product type of a system version 6.0; false when the system offers no such query.
    using ProductTypeQuery = std::function<bool(std::uint32_t& productType)>;

    // The process's instance, over the platform's version query. Linux offers no product type.
    static OsNaming& Instance();

    OsNaming(VersionQuery query, ProductTypeQuery productType);

    void ReadVersionInformation();
    bool IsRead() const { return read_; }

    std::uint32_t OsKind();
    const char* OsName();
    const char* OsEditionName() const;
    std::string ServicePackText() const;
    bool IsEditionNamed() { return OsKind() == kVista; }
    // The export header's operating-system text: the caption, with the edition when it has one.
    std::string OsText();

private:
    void FetchProductType();

    VersionQuery query_;
    ProductTypeQuery productTypeQuery_;
    OSVERSIONINFOEXA version_{};
    bool read_ = false;
    std::uint32_t productType_ = 0;
};
