// The texts of a record's fields.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "presentation/FieldText.h"

namespace {

AttachedData Attachment(std::uint32_t kind, std::vector<std::uint8_t> bytes) {
    AttachedData a;
    a.kind = kind;
    a.bytes.Assign(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    return a;
}

FILETIME Utc(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
    SYSTEMTIME s{year, month, 0, day, hour, minute, second, 0};
    FILETIME t{};
    SystemTimeToFileTime(&s, &t);
    return t;
}

std::string Repeat(const std::string& s, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += s;
    return out;
}

class TimeZone {
public:
    explicit TimeZone(const char* tz) {
        setenv("TZ", tz, 1);
        tzset();
    }
    ~TimeZone() {
        unsetenv("TZ");
        tzset();
    }
};

}  // namespace

TEST(FieldText, LevelAndSourceCaptions) {
    struct Case {
        std::uint32_t level;
        const char* caption;
        int icon;
    };
    for (Case c :
         {Case{0, "Fatal", 3}, Case{1, "Fatal", 3}, Case{2, "Fatal", 3}, Case{3, "Error", 2}, Case{4, "Warning", 1},
          Case{5, "Info", 0}, Case{7, "Info", 0}, Case{8, "", -1}, Case{0xFFFFFFFF, "", -1}}) {
        EXPECT_STREQ(LevelCaption(c.level).caption, c.caption) << c.level;
        EXPECT_EQ(LevelCaption(c.level).icon, c.icon) << c.level;
    }
    EXPECT_STREQ(SourceCaption(0), "Engine");
    EXPECT_STREQ(SourceCaption(1), "GUI");
    EXPECT_STREQ(SourceCaption(2), "Service");
    EXPECT_STREQ(SourceCaption(3), "Driver");
    EXPECT_STREQ(SourceCaption(4), "");
    EXPECT_EQ(FormatStatus(0), "0x00000000");
    EXPECT_EQ(FormatStatus(255), "0x000000FF");
    EXPECT_EQ(FormatStatus(0xFFFFFFFF), "0xFFFFFFFF");
    EXPECT_EQ(FormatVersion(0x01020003), "1.2.3");
    EXPECT_EQ(FormatVersion(0), "0.0.0");
}

TEST(FieldText, LocalTimeByTheRulesOfItsOwnDate) {
    TimeZone berlin("Europe/Berlin");
    // Winter (UTC+1) and summer (UTC+2) dates, each with the offset of its own date.
    EXPECT_EQ(FormatLogTime(Utc(2008, 12, 3, 13, 5, 9)), "12/03/2008 14:05:09");
    EXPECT_EQ(FormatLogTime(Utc(2009, 7, 1, 22, 0, 0)), "07/02/2009 00:00:00");
    EXPECT_EQ(FormatLogTime(Utc(2009, 1, 1, 23, 0, 0)), "01/02/2009 00:00:00") << "midnight, zero-filled";
    TimeZone utc("UTC");
    EXPECT_EQ(FormatLogTime(Utc(1601, 1, 1, 0, 0, 0)), "01/01/1601 00:00:00");
    EXPECT_EQ(FormatLogTime(FILETIME{0, 0x80000000u}), "") << "no calendar date";
}

TEST(FieldText, TimeAndStatusTextsAsPrintfWritesThem) {
    TimeZone utc("UTC");
    // Every field's digits at their widths, five-digit years included.
    for (std::uint64_t t = 0; t < 0x7FFF000000000000ull; t += 0x0000F3A5C1E2D347ull) {
        const FILETIME time = FileTimeFromValue(t);
        SYSTEMTIME c;
        ASSERT_TRUE(FileTimeToSystemTime(&time, &c));
        char expected[48];
        std::snprintf(expected, sizeof expected, "%02d/%02d/%04d %02d:%02d:%02d", c.wMonth, c.wDay, c.wYear, c.wHour,
                      c.wMinute, c.wSecond);
        EXPECT_EQ(FormatLogTime(time), expected);
        const auto status = static_cast<std::uint32_t>(t >> 13);
        std::snprintf(expected, sizeof expected, "0x%08X", status);
        EXPECT_EQ(FormatStatus(status), expected);
    }
}

TEST(FieldText, HexDumps) {
    std::vector<std::uint8_t> bytes(17);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 17);
    const std::string line = "00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF ";
    EXPECT_EQ(HexDump(bytes.data(), 16, 16, true), line + "\r\n");
    EXPECT_EQ(HexDump(bytes.data(), 17, 16, true), line + "\r\n" + "10 ");
    EXPECT_EQ(HexDump(bytes.data(), 3, 0, false), "001122");
    EXPECT_EQ(HexDump(bytes.data(), 0, 16, true), "");
}

TEST(FieldText, AttachedDataInBothForms) {
    struct Case {
        AttachedData data;
        std::string preview, exported;
    };
    const std::string spacedRow = Repeat("AB ", 16);
    const Case cases[] = {
        {Attachment(1, {0x34, 0x12}), "0x00001234", "0x00001234"},
        {Attachment(1, {1, 2, 3, 4, 5}), "0x04030201", "0x04030201"},
        {Attachment(2, {'a', 'b', 'c'}), "abc", "abc"},
        {Attachment(2, {'a', 0, 'c'}), "a", "a"},
        {Attachment(3, std::vector<std::uint8_t>(16, 0xAB)), "[Binary]\r\n" + spacedRow + "\r\n",
         "[Binary]" + Repeat("AB", 16)},
        {Attachment(3, std::vector<std::uint8_t>(17, 0xAB)), "[Binary]\r\n" + spacedRow + "\r\nAB ",
         "[Binary]" + Repeat("AB", 17)},
        {Attachment(99, {0x0F}), "[Binary]\r\n0F ", "[Binary]0F"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AttachedDataPreviewText(c.data), c.preview) << c.data.kind << "/" << c.data.bytes.Size();
        EXPECT_EQ(AttachedDataExportText(c.data), c.exported) << c.data.kind << "/" << c.data.bytes.Size();
    }
}
