// The byte layout of records in ReadRecordsRequest replies.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "channel/RecordCodec.h"
#include "channel/ServiceProtocol.h"

namespace {

WireRecord Make(std::string_view description, const std::vector<std::uint8_t>& attachment) {
    WireRecord r;
    r.time = 0x0123456789ABCDEFull;
    r.statusId = 0xDEADBEEF;
    r.source = 2;
    r.level = 3;
    r.attachmentKind = 7;
    r.description = description;
    r.attachment = attachment.data();
    r.attachmentLength = static_cast<std::uint32_t>(attachment.size());
    return r;
}

}  // namespace

TEST(RecordCodec, SizesAndRoundTrip) {
    struct Case {
        std::string description;
        std::size_t attachment;
        std::size_t size;
    };
    const Case cases[] = {{"", 0, 32}, {"", 5, 37}, {"abc", 4, 36}, {"a", 0, 30}, {std::string(300, 'd'), 1000, 1329}};
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> attachment(c.attachment, 0xA5);
        std::vector<std::uint8_t> out;
        const WireRecord in = Make(c.description, attachment);
        RecordCodec::Append(in, out);
        RecordCodec::Append(in, out);
        ASSERT_EQ(out.size(), 2 * c.size) << c.description.size();
        EXPECT_EQ(RecordCodec::EncodedSize(c.description.size(), c.attachment), c.size);
        std::uint32_t cursor = 0;
        for (int i = 0; i < 2; ++i) {
            WireRecord back;
            ASSERT_TRUE(RecordCodec::Decode(out.data(), static_cast<std::uint32_t>(out.size()), cursor, back));
            EXPECT_EQ(back.time, in.time);
            EXPECT_EQ(back.statusId, in.statusId);
            EXPECT_EQ(back.level, 3u);
            EXPECT_EQ(back.source, 2u);
            EXPECT_EQ(back.attachmentKind, 7u);
            EXPECT_EQ(back.description, c.description);
            ASSERT_EQ(back.attachmentLength, c.attachment);
            if (c.attachment) {
                EXPECT_EQ(std::memcmp(back.attachment, attachment.data(), c.attachment), 0);
            }
        }
        EXPECT_EQ(cursor, out.size());
    }
}

TEST(RecordCodec, EmptyDescriptionIsFourZeroBytesAndAFirstNulIsTheTerminator) {
    std::vector<std::uint8_t> out;
    RecordCodec::Append(Make("", {1, 2}), out);
    EXPECT_EQ(std::vector<std::uint8_t>(out.begin() + 24, out.begin() + 32),
              (std::vector<std::uint8_t>{0, 0, 0, 0, 2, 0, 0, 0}));

    // A sender that wrote a lone NUL followed by a length with a non-zero low byte: D is 1.
    std::vector<std::uint8_t> odd(24, 0);
    odd.insert(odd.end(), {0, 1, 0, 0, 0, 0x7F});
    std::uint32_t cursor = 0;
    WireRecord r;
    ASSERT_TRUE(RecordCodec::Decode(odd.data(), static_cast<std::uint32_t>(odd.size()), cursor, r));
    EXPECT_TRUE(r.description.empty());
    EXPECT_EQ(r.attachmentLength, 1u);
    EXPECT_EQ(r.attachment[0], 0x7F);
    EXPECT_EQ(cursor, odd.size());
}

TEST(RecordCodec, RecordsThatDoNotFitAreNotDecoded) {
    std::vector<std::uint8_t> whole;
    RecordCodec::Append(Make("description", std::vector<std::uint8_t>(10, 1)), whole);
    // Every cut of the record: the header, the text without its NUL, the length, the bytes.
    for (std::size_t cut = 0; cut < whole.size(); ++cut) {
        std::uint32_t cursor = 0;
        WireRecord r;
        EXPECT_FALSE(RecordCodec::Decode(whole.data(), static_cast<std::uint32_t>(cut), cursor, r)) << cut;
        EXPECT_EQ(cursor, 0u);
    }
    // A length that claims more than there is.
    std::vector<std::uint8_t> liar = whole;
    const std::uint32_t huge = 0xFFFFFFF0u;
    std::memcpy(liar.data() + 24 + 12, &huge, 4);
    std::uint32_t cursor = 0;
    WireRecord r;
    EXPECT_FALSE(RecordCodec::Decode(liar.data(), static_cast<std::uint32_t>(liar.size()), cursor, r));
    cursor = static_cast<std::uint32_t>(whole.size()) + 1;
    EXPECT_FALSE(RecordCodec::Decode(whole.data(), static_cast<std::uint32_t>(whole.size()), cursor, r));
}

TEST(ServiceProtocol, LogInfoAndVersions) {
    LogInfo info{0x1122334455667788ull, 120};
    std::uint8_t bytes[LogInfo::kSize];
    info.Encode(bytes);
    LogInfo back = LogInfo::Decode(bytes, sizeof bytes);
    EXPECT_EQ(back.firstRecord, info.firstRecord);
    EXPECT_EQ(back.recordCount, 120u);
    back = LogInfo::Decode(bytes, 8);  // short: the missing bytes read as zero
    EXPECT_EQ(back.firstRecord, info.firstRecord);
    EXPECT_EQ(back.recordCount, 0u);
    EXPECT_EQ(PackVersion(1, 2, 3), 0x01020003u);
    EXPECT_EQ(PackVersion(255, 255, 65535), 0xFFFFFFFFu);
}
