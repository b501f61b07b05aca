// Sections and their views: shared contents, sizes, access, and lifetime through views.

#include <gtest/gtest.h>

#include <cstring>

#include "platform/kernel/FileMapping.h"
#include "platform/kernel/LastError.h"
#include "platform/kernel/UniqueHandle.h"
#include "tests/platform/kernel/KernelTestSupport.h"
#include "tests/support/TestNames.h"

TEST(FileMapping, ViewsOfOneSectionShareContentsAcrossProcesses) {
    const std::string name = GlobalName(UniqueName("shared"));
    auto other = StartHolder("section", name);
    ASSERT_TRUE(other);
    UniqueHandle section(OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name.c_str()));
    ASSERT_TRUE(section);
    auto* view = static_cast<unsigned char*>(MapViewOfFile(section.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    ASSERT_NE(view, nullptr);
    MEMORY_BASIC_INFORMATION info{};
    ASSERT_EQ(VirtualQuery(view + 100, &info, sizeof info), sizeof info);
    EXPECT_EQ(info.BaseAddress, view);
    EXPECT_EQ(info.RegionSize, 8192u);
    EXPECT_EQ(view[0], 0) << "new sections are zeroed";

    ASSERT_TRUE(Command(*other, "fill 171"));
    EXPECT_EQ(view[0], 171);
    EXPECT_EQ(view[8191], 171);
    EXPECT_TRUE(UnmapViewOfFile(view));
    EXPECT_FALSE(UnmapViewOfFile(view));
}

TEST(FileMapping, ViewKeepsTheSectionAliveAfterItsHandleCloses) {
    const std::string base = UniqueName("view-alive");
    const std::string name = GlobalName(base);
    UniqueHandle section(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 100, name.c_str()));
    ASSERT_TRUE(section);
    auto* view = static_cast<char*>(MapViewOfFile(section.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    ASSERT_NE(view, nullptr);
    section.Reset();
    std::strcpy(view, "still here");
    UniqueHandle again(OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str()));
    ASSERT_TRUE(again);
    auto* second = static_cast<const char*>(MapViewOfFile(again.Get(), FILE_MAP_READ, 0, 0, 0));
    ASSERT_NE(second, nullptr);
    EXPECT_STREQ(second, "still here");
    UnmapViewOfFile(second);
    UnmapViewOfFile(view);
    again.Reset();
    EXPECT_TRUE(GlobalObjectsStartingWith(base).empty());
}

TEST(FileMapping, AccessAndArgumentsAreChecked) {
    const std::string name = GlobalName(UniqueName("access"));
    UniqueHandle section(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 8192, name.c_str()));
    ASSERT_TRUE(section);
    UniqueHandle readOnly(OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str()));
    ASSERT_TRUE(readOnly);
    EXPECT_EQ(MapViewOfFile(readOnly.Get(), FILE_MAP_WRITE, 0, 0, 0), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);

    EXPECT_EQ(MapViewOfFile(section.Get(), FILE_MAP_READ, 0, 100, 0), nullptr) << "unaligned offset";
    EXPECT_EQ(MapViewOfFile(section.Get(), FILE_MAP_READ, 0, 0, 8193), nullptr) << "beyond the end";
    auto* tail = static_cast<char*>(MapViewOfFile(section.Get(), FILE_MAP_ALL_ACCESS, 0, 4096, 0));
    ASSERT_NE(tail, nullptr);
    MEMORY_BASIC_INFORMATION info{};
    VirtualQuery(tail, &info, sizeof info);
    EXPECT_EQ(info.RegionSize, 4096u);
    UnmapViewOfFile(tail);

    EXPECT_FALSE(UniqueHandle(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 0, nullptr)));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    UniqueHandle existing(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 99999, name.c_str()));
    EXPECT_TRUE(existing);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
}
