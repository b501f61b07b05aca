// The byte buffer: inline storage, growth steps, no-op writes, copies, and failed allocations.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "channel/MessageBuffer.h"
#include "channel/TextBuffer.h"

namespace {

std::string Contents(const MessageBuffer& b) { return std::string(reinterpret_cast<const char*>(b.Data()), b.Size()); }

void* NoMemory(std::size_t) { return nullptr; }

// Makes every heap allocation of MessageBuffer fail while it lives.
struct AllocationsFail {
    AllocationsFail() { MessageBuffer::SetAllocator(&NoMemory); }
    ~AllocationsFail() { MessageBuffer::SetAllocator(nullptr); }
};

}  // namespace

TEST(MessageBuffer, GrowsToTheNextStepAboveTheNewEnd) {
    struct Case {
        std::uint32_t firstEnd;   // written from 0 into an empty buffer
        std::uint32_t secondEnd;  // then written from 0 again (0: no second write)
        std::uint32_t capacity;
    };
    const Case cases[] = {
        {128, 0, 128},   {129, 0, 256},   {256, 0, 512},    {300, 0, 512},
        {129, 256, 256}, {129, 257, 512}, {1000, 10, 1024},  // no shrinking
    };
    const std::vector<char> source(2000, 'x');
    for (const Case& c : cases) {
        MessageBuffer b;
        b.WriteAt(0, source.data(), c.firstEnd);
        if (c.secondEnd) b.WriteAt(0, source.data(), c.secondEnd);
        EXPECT_EQ(b.Capacity(), c.capacity) << c.firstEnd << " then " << c.secondEnd;
        EXPECT_EQ(b.Size(), c.secondEnd ? c.secondEnd : c.firstEnd);
    }
}

TEST(MessageBuffer, WritesOutsideTheContentsDoNothingAndInsideCutThem) {
    MessageBuffer b("0123456789", 10);
    b.WriteAt(11, "x", 1);
    b.WriteAt(0, nullptr, 3);
    b.WriteAt(0, "x", 0);
    EXPECT_EQ(Contents(b), "0123456789");
    b.WriteAt(10, "ab", 2);
    EXPECT_EQ(Contents(b), "0123456789ab");
    b.WriteAt(3, "XY", 2);
    EXPECT_EQ(Contents(b), "012XY");
    b.Append("!", 1);
    EXPECT_EQ(Contents(b), "012XY!");
    b.Assign("new", 3);
    EXPECT_EQ(Contents(b), "new");
    EXPECT_FALSE(b.IsEmpty());
    b.Clear();
    EXPECT_TRUE(b.IsEmpty());
    EXPECT_EQ(b.Capacity(), 128u);
}

TEST(MessageBuffer, CopiesAreDeepAndSizedByTheGrowthRule) {
    MessageBuffer big;
    big.WriteAt(0, std::string(1000, 'a').data(), 1000);
    big.WriteAt(0, "b", 1);  // size 1, capacity stays 1024
    MessageBuffer copy(big);
    EXPECT_EQ(copy.Capacity(), 128u) << "sized for one byte";
    std::string content(700, 'c');
    MessageBuffer large(content.data(), 700);
    MessageBuffer second(large);
    EXPECT_EQ(second.Capacity(), 768u);
    EXPECT_NE(second.Data(), large.Data());
    second.Data()[0] = 'z';
    EXPECT_EQ(large.Data()[0], 'c');
    MessageBuffer assigned;
    assigned.CopyFrom(large);
    EXPECT_EQ(Contents(assigned), content);
}

TEST(MessageBuffer, MovesAndSwapsKeepContentsInlineAndOnTheHeap) {
    MessageBuffer small("inline", 6);
    MessageBuffer large(std::string(500, 'h').data(), 500);
    const std::uint8_t* block = large.Data();
    small.Swap(large);
    EXPECT_EQ(Contents(large), "inline");
    EXPECT_EQ(small.Size(), 500u);
    EXPECT_EQ(small.Data(), block) << "the heap block moved, not copied";
    MessageBuffer moved(std::move(small));
    EXPECT_EQ(moved.Size(), 500u);
    EXPECT_TRUE(small.IsEmpty());
    large = std::move(moved);
    EXPECT_EQ(large.Size(), 500u);
}

TEST(MessageBuffer, SourceInsideTheBufferSurvivesGrowth) {
    MessageBuffer b("abcdefgh", 8);
    for (int i = 0; i < 6; ++i) b.Append(b.Data(), b.Size());  // 8 << 6 = 512 bytes, several blocks
    ASSERT_EQ(b.Size(), 512u);
    for (std::uint32_t i = 0; i < b.Size(); ++i) ASSERT_EQ(b.Data()[i], "abcdefgh"[i % 8]) << i;
    b.Assign(b.Data() + 504, 8);
    EXPECT_EQ(Contents(b), "abcdefgh");
}

TEST(MessageBuffer, FailedGrowthDropsTheWriteAndKeepsEverything) {
    MessageBuffer b("keep", 4);
    {
        AllocationsFail failing;
        b.WriteAt(4, std::string(200, 'x').data(), 200);
        MessageBuffer copy(std::string(300, 'y').data(), 300);
        EXPECT_TRUE(copy.IsEmpty());
    }
    EXPECT_EQ(Contents(b), "keep");
    EXPECT_EQ(b.Capacity(), 128u);
    // An end beyond 32 bits cannot be allocated either.
    b.WriteAt(4, "x", 0xFFFFFFF0u);
    EXPECT_EQ(Contents(b), "keep");
}

TEST(TextBuffer, KeepsOneTerminator) {
    TextBuffer t;
    t.AppendText("");
    EXPECT_EQ(t.Size(), 0u) << "an empty text adds not even a terminator";
    t.AppendText("abc").AppendText("de");
    EXPECT_EQ(t.Size(), 6u);
    EXPECT_STREQ(t.Text(), "abcde");
    EXPECT_EQ(t.Data()[5], 0);
    t.AppendText(nullptr);
    EXPECT_EQ(t.Size(), 6u);

    TextBuffer lone;
    lone.Append("", 1);
    EXPECT_TRUE(lone.IsEmpty());
    EXPECT_FALSE(t.IsEmpty());
    t.AssignText(t.Text());
    EXPECT_STREQ(t.Text(), "abcde");
    t.AssignText("xyz");
    EXPECT_STREQ(t.Text(), "xyz");
    EXPECT_STREQ(TextBuffer().Text(), "");
}

TEST(TextBuffer, FormatsPackedVersions) {
    EXPECT_STREQ(TextBuffer(0x01020003u).Text(), "1.2.3");
    EXPECT_STREQ(TextBuffer(0x0102FFFFu).Text(), "1.2.65535");
    EXPECT_STREQ(TextBuffer(0xFFFFFFFFu).Text(), "255.255.65535");
    EXPECT_STREQ(TextBuffer(0u).Text(), "0.0.0");
}

TEST(TextBuffer, TerminatorThatCannotGrowLeavesTheOldString) {
    TextBuffer t(std::string(100, 'a').c_str());  // 101 bytes inline
    {
        AllocationsFail failing;
        t.AppendText(std::string(28, 'b').c_str());  // the text ends at 128 exactly; its NUL needs a block
    }
    EXPECT_EQ(t.Size(), 101u);
    EXPECT_EQ(std::string(t.Text()), std::string(100, 'a'));
}
