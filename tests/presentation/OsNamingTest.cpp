// Naming the operating system from version records handed to it.

#include <gtest/gtest.h>

#include <cstring>

#include "presentation/OsNaming.h"

namespace {

struct Version {
    DWORD platform, major, minor, build;
    const char* servicePack = "";
};

// A query that answers `v`, and counts how often it was asked (and with which sizes).
struct FakeQuery {
    explicit FakeQuery(Version version, bool failing = false) : v(version), fails(failing) {}

    Version v;
    bool fails;
    std::vector<DWORD> sizes;

    OsNaming::VersionQuery Query() {
        return [this](OSVERSIONINFOA* info) -> BOOL {
            sizes.push_back(info->dwOSVersionInfoSize);
            if (fails) return FALSE;
            info->dwPlatformId = v.platform;
            info->dwMajorVersion = v.major;
            info->dwMinorVersion = v.minor;
            info->dwBuildNumber = v.build;
            std::strncpy(info->szCSDVersion, v.servicePack, sizeof info->szCSDVersion - 1);
            return TRUE;
        };
    }
};

}  // namespace

TEST(OsNaming, ClassifiesVersions) {
    struct Case {
        Version v;
        std::uint32_t kind;
        const char* name;
    };
    const Case cases[] = {
        {{1, 4, 0, 950}, 1, "Windows 95"},
        {{1, 4, 0, 999}, 2, "Windows 95 SP1"},
        {{1, 4, 0, 1111}, 3, "Windows 95 OSR2"},
        {{1, 4, 0, 949}, 0, "unknown Windows version"},
        {{1, 4, 0, 0x04000000 | 950}, 1, "Windows 95"},  // only the low 16 bits are the build
        {{1, 4, 10, 1998}, 4, "Windows 98"},
        {{1, 4, 10, 2000}, 5, "Windows 98 SP1"},
        {{1, 4, 10, 2222}, 6, "Windows 98 SE"},
        {{1, 4, 10, 1000}, 0, "unknown Windows version"},
        {{1, 4, 90, 3000}, 7, "Windows ME"},
        {{1, 4, 50, 3000}, 0, "unknown Windows version"},
        {{1, 5, 0, 950}, 0, "unknown Windows version"},
        {{2, 3, 51, 1057}, 101, "Windows NT 3.51"},
        {{2, 4, 0, 1381}, 102, "Windows NT 4"},
        {{2, 5, 0, 2195}, 103, "Windows 2000"},
        {{2, 5, 1, 2600}, 104, "Windows XP"},
        {{2, 5, 2, 3790}, 105, "Windows Server 2003"},
        {{2, 6, 0, 6000}, 106, "Windows Vista"},
        {{2, 6, 1, 7600}, 0, "unknown Windows version"},
        {{3, 5, 0, 0}, 201, "Windows CE"},
        {{VER_PLATFORM_LINUX, 6, 1, 0}, OsNaming::kLinux, "Linux"},
        {{9, 1, 0, 0}, 0, "unknown Windows version"},
    };
    for (const Case& c : cases) {
        FakeQuery fake(c.v);
        OsNaming naming(fake.Query(), nullptr);
        naming.ReadVersionInformation();
        EXPECT_EQ(naming.OsKind(), c.kind) << c.name << " " << c.v.build;
        EXPECT_STREQ(naming.OsName(), c.name);
        EXPECT_EQ(naming.OsText(), c.kind == 106 ? std::string(c.name) + " An unknown product" : c.name);
    }
}

TEST(OsNaming, EditionsOnlyForVersion60AndFetchedOnce) {
    struct Case {
        std::uint32_t type;
        const char* edition;
    };
    for (Case c : {Case{6, "Business Edition"}, Case{16, "Business Edition"}, Case{1, "Ultimate Edition"},
                   Case{28, "Ultimate Edition"}, Case{25, "Small Business Server Premium Edition"}, Case{29, ""}}) {
        FakeQuery fake({2, 6, 0, 6000});
        int asked = 0;
        OsNaming naming(fake.Query(), [&](std::uint32_t& type) {
            ++asked;
            type = c.type;
            return true;
        });
        naming.ReadVersionInformation();
        EXPECT_TRUE(naming.IsEditionNamed());
        EXPECT_STREQ(naming.OsEditionName(), c.edition);
        EXPECT_EQ(naming.OsText(), std::string("Windows Vista ") + c.edition) << "ends with a space when empty";
        naming.OsKind();
        EXPECT_EQ(asked, 1);
    }
    FakeQuery xp({2, 5, 1, 2600});
    bool asked = false;
    OsNaming naming(xp.Query(), [&](std::uint32_t&) { return asked = true; });
    naming.ReadVersionInformation();
    EXPECT_FALSE(naming.IsEditionNamed());
    EXPECT_EQ(naming.OsText(), "Windows XP");
    EXPECT_FALSE(asked);
}

TEST(OsNaming, ReadsWithBothRecordSizesAndRetriesAfterAFailure) {
    FakeQuery nt({2, 5, 1, 2600, "Service Pack 3"});
    OsNaming naming(nt.Query(), nullptr);
    naming.ReadVersionInformation();
    EXPECT_EQ(nt.sizes, (std::vector<DWORD>{148, 156}));
    EXPECT_EQ(naming.ServicePackText(), "Service Pack 3");

    FakeQuery nine({1, 4, 10, 2222});
    OsNaming old(nine.Query(), nullptr);
    old.ReadVersionInformation();
    EXPECT_EQ(nine.sizes, (std::vector<DWORD>{148})) << "the extended record only for NT 5 and later";

    FakeQuery failing({2, 5, 1, 2600, "SP"}, true);
    OsNaming later(failing.Query(), nullptr);
    later.ReadVersionInformation();
    EXPECT_FALSE(later.IsRead());
    EXPECT_EQ(later.OsKind(), 0u);
    EXPECT_EQ(later.ServicePackText(), "");
    failing.fails = false;
    later.ReadVersionInformation();
    EXPECT_TRUE(later.IsRead());
    EXPECT_EQ(later.OsKind(), 104u);
}

TEST(OsNaming, ThisSystemIsLinuxWithItsDistributionAndKernel) {
    OsNaming& naming = OsNaming::Instance();
    if (!naming.IsRead()) naming.ReadVersionInformation();
    ASSERT_TRUE(naming.IsRead());
    EXPECT_EQ(naming.OsKind(), OsNaming::kLinux);
    EXPECT_EQ(naming.OsText(), "Linux");
    EXPECT_NE(naming.ServicePackText().find(", kernel "), std::string::npos) << naming.ServicePackText();
}
