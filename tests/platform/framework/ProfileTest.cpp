// The application's per-user profile over the registry, and the recent-file list kept in it.

#include <cstdlib>

#include "platform/framework/CRecentFileList.h"
#include "tests/platform/framework/FrameworkTesting.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/TestNames.h"

namespace {

class Profile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(setenv("XDG_CONFIG_HOME", home_.Path().c_str(), 1), 0);
        app.SetRegistryKey(key_.c_str());
    }

    // Another run of the program: a new application object reading the same settings.
    std::unique_ptr<TestApp> NextRun() {
        auto next = std::make_unique<TestApp>();
        next->SetRegistryKey(key_.c_str());
        return next;
    }

    TempDirectory home_;
    const std::string key_ = UniqueName("profile");
    TestApp app;
};

TEST_F(Profile, ValuesReadBackAsWrittenAndDefaultsStandInForWhatIsMissingOrOfAnotherType) {
    EXPECT_STREQ(app.m_pszRegistryKey, key_.c_str());
    EXPECT_STREQ(app.m_pszProfileName, "Framework Test") << "the application's name";
    const BYTE bytes[] = {0, 1, 2, 255};
    ASSERT_TRUE(app.WriteProfileInt("Settings", "Count", -7));
    ASSERT_TRUE(app.WriteProfileString("Settings", "Name", "a \"quoted\" \\ text"));
    ASSERT_TRUE(app.WriteProfileBinary("Settings", "Layout", bytes, sizeof bytes));
    ASSERT_TRUE(app.WriteProfileString("Other", "Empty", ""));

    auto next = NextRun();
    for (CWinApp* reader : {static_cast<CWinApp*>(&app), static_cast<CWinApp*>(next.get())}) {
        EXPECT_EQ(static_cast<int>(reader->GetProfileInt("Settings", "Count", 0)), -7);
        EXPECT_EQ(reader->GetProfileString("Settings", "Name"), "a \"quoted\" \\ text");
        std::vector<BYTE> read;
        EXPECT_TRUE(reader->GetProfileBinary("Settings", "Layout", &read));
        EXPECT_EQ(read, std::vector<BYTE>(std::begin(bytes), std::end(bytes)));
        EXPECT_EQ(reader->GetProfileString("Other", "Empty", "default"), "");
        // Missing values, and values of another type, give the default.
        EXPECT_EQ(reader->GetProfileInt("Settings", "Name", 42), 42u);
        EXPECT_EQ(reader->GetProfileString("Settings", "Count", "text"), "text");
        EXPECT_FALSE(reader->GetProfileBinary("Settings", "Missing", &read));
        EXPECT_TRUE(read.empty());
        EXPECT_EQ(reader->GetProfileString("Nowhere", "Name", "none"), "none");
    }

    // A null value deletes the entry, a null entry the section.
    ASSERT_TRUE(app.WriteProfileString("Settings", "Name", nullptr));
    EXPECT_EQ(app.GetProfileString("Settings", "Name", "gone"), "gone");
    EXPECT_EQ(static_cast<int>(app.GetProfileInt("Settings", "Count", 0)), -7);
    ASSERT_TRUE(app.WriteProfileString("Settings", nullptr, nullptr));
    EXPECT_EQ(app.GetProfileInt("Settings", "Count", 1), 1u);
}

TEST_F(Profile, WithoutARegistryKeyNothingIsKept) {
    TestApp bare;
    EXPECT_FALSE(bare.WriteProfileInt("Settings", "Count", 3));
    EXPECT_FALSE(bare.WriteProfileString("Settings", "Name", "x"));
    EXPECT_EQ(bare.GetProfileInt("Settings", "Count", 9), 9u);
    EXPECT_EQ(bare.GetAppRegistryKey(), nullptr);
}

TEST_F(Profile, TheRecentFileListKeepsTheLastFourNewestFirstAcrossRuns) {
    app.LoadStdProfileSettings(4);
    CRecentFileList& list = *app.m_pRecentFileList;
    for (const char* name : {"/logs/a.txt", "/logs/b.txt", "/logs/c.txt", "/logs/d.txt", "/logs/e.txt"})
        app.AddToRecentFileList(name);
    app.AddToRecentFileList("/logs/./c.txt");  // the same file moves to the front
    EXPECT_EQ(list.GetSize(), 4);
    const std::vector<std::string> expected{"/logs/c.txt", "/logs/e.txt", "/logs/d.txt", "/logs/b.txt"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(list[i], expected[static_cast<std::size_t>(i)]) << i;

    app.ExitInstance();  // saves the list
    EXPECT_EQ(app.GetProfileString("Recent File List", "File1"), "/logs/c.txt");
    EXPECT_EQ(app.GetProfileString("Recent File List", "File4"), "/logs/b.txt");

    auto next = NextRun();
    next->LoadStdProfileSettings(4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ((*next->m_pRecentFileList)[i], expected[static_cast<std::size_t>(i)]);

    // Gaps and repeats someone else left in the file are not shown.
    next->WriteProfileString("Recent File List", "File1", "/logs/x.txt");
    next->WriteProfileString("Recent File List", "File2", nullptr);
    next->WriteProfileString("Recent File List", "File3", "/logs/x.txt");
    next->LoadStdProfileSettings(4);
    const CRecentFileList& reread = *next->m_pRecentFileList;
    EXPECT_EQ(reread[0], "/logs/x.txt");
    EXPECT_EQ(reread[1], "/logs/b.txt");
    EXPECT_EQ(reread[2], "");

    // Relative paths are kept absolute.
    app.AddToRecentFileList("relative.txt");
    EXPECT_EQ(list[0].front(), '/');
}

}  // namespace
