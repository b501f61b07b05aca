// Records as text: names, numbers, times, hex, JSON lines and their round trip.

#include <gtest/gtest.h>

#include <cstring>

#include "platform/kernel/FileTime.h"
#include "service/DemoLog.h"
#include "service/JsonObject.h"
#include "service/RecordText.h"

namespace {

constexpr std::uint64_t kNow = 134100000000000000ull;  // some moment in 2025

WireRecord View(const StoredRecord& r) {
    WireRecord w;
    w.time = r.time;
    w.statusId = r.statusId;
    w.source = r.source;
    w.level = r.level;
    w.attachmentKind = r.attachmentKind;
    w.description = r.description;
    w.attachment = r.attachment.data();
    w.attachmentLength = static_cast<std::uint32_t>(r.attachment.size());
    return w;
}

bool FromLine(const std::string& line, StoredRecord& r, std::string& error) {
    JsonObject object = JsonObject::Parse(line, error);
    return error.empty() && RecordText::FromJson(object, kNow, r, error);
}

}  // namespace

TEST(RecordText, LevelsSourcesAndNumbers) {
    struct Case {
        std::string text;
        bool level;  // else source
        bool ok;
        std::uint32_t value;
    };
    const Case cases[] = {
        {"fatal", true, true, 2},  {"ERROR", true, true, 3},    {"Warning", true, true, 4},
        {"info", true, true, 5},   {"0", true, true, 0},        {"8", true, true, 8},
        {"debug", true, false, 0}, {"", true, false, 0},        {"engine", false, true, 0},
        {"GUI", false, true, 1},   {"service", false, true, 2}, {"driver", false, true, 3},
        {"0x10", false, true, 16}, {"kernel", false, false, 0}, {"4294967296", false, false, 0},
    };
    for (const Case& c : cases) {
        std::uint32_t v = 99;
        std::string error;
        bool ok = c.level ? RecordText::ParseLevel(c.text, v, error) : RecordText::ParseSource(c.text, v, error);
        EXPECT_EQ(ok, c.ok) << c.text;
        if (ok) {
            EXPECT_EQ(v, c.value) << c.text;
        } else {
            EXPECT_NE(error.find(c.text), std::string::npos) << "the message names the input: " << error;
        }
    }
    std::uint32_t v;
    std::string error;
    EXPECT_TRUE(RecordText::ParseNumber("0xFFFFFFFF", v, error));
    EXPECT_EQ(v, 0xFFFFFFFFu);
    EXPECT_FALSE(RecordText::ParseNumber("-1", v, error));
    EXPECT_FALSE(RecordText::ParseNumber("0x", v, error));
    EXPECT_FALSE(RecordText::ParseNumber("12a", v, error));
}

TEST(RecordText, TimesInUtcTo100Nanoseconds) {
    struct Case {
        const char* text;
        bool ok;
        const char* formatted;  // FormatTime of the parsed value
    };
    const Case cases[] = {
        {"1601-01-01T00:00:00Z", true, "1601-01-01T00:00:00Z"},
        {"1970-01-01 00:00", true, "1970-01-01T00:00:00Z"},
        {"2024-02-29T23:59:59.1234567Z", true, "2024-02-29T23:59:59.1234567Z"},
        {"2008-12-03T14:05:09.5", true, "2008-12-03T14:05:09.5Z"},
        {"2023-02-29T00:00:00Z", false, ""},
        {"2023-13-01T00:00:00Z", false, ""},
        {"2023-01-01T24:00:00Z", false, ""},
        {"1600-12-31T23:59:59Z", false, ""},
        {"2023-01-01T00:00:00.12345678Z", false, ""},
        {"2023-01-01", false, ""},
        {"yesterday", false, ""},
    };
    for (const Case& c : cases) {
        std::uint64_t t = 0;
        std::string error;
        EXPECT_EQ(RecordText::ParseTime(c.text, kNow, t, error), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(RecordText::FormatTime(t), c.formatted);
        }
    }
    std::uint64_t t = 0;
    std::string error;
    ASSERT_TRUE(RecordText::ParseTime("1970-01-01T00:00:00Z", kNow, t, error));
    EXPECT_EQ(t, kFileTimeUnixEpoch);
    ASSERT_TRUE(RecordText::ParseTime("NOW", kNow, t, error));
    EXPECT_EQ(t, kNow);
    EXPECT_EQ(RecordText::FormatTime(0x8000000000000000ull), "") << "beyond the year 9999";
}

TEST(RecordText, HexBytes) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(RecordText::ParseHex("de AD:be-EF00", bytes, error));
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0xDE, 0xAD, 0xBE, 0xEF, 0x00}));
    ASSERT_TRUE(RecordText::ParseHex("", bytes, error));
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(RecordText::ParseHex("ABC", bytes, error)) << "odd digits";
    EXPECT_FALSE(RecordText::ParseHex("A B", bytes, error)) << "a split pair";
    EXPECT_FALSE(RecordText::ParseHex("GG", bytes, error));
}

TEST(RecordText, JsonLinesThatAreRefused) {
    struct Case {
        const char* line;
        const char* reason;  // a part of the message
    };
    const Case cases[] = {
        {R"({"source":"engine","description":"x"})", "\"level\" is missing"},
        {R"({"level":"error","description":"x"})", "\"source\" is missing"},
        {R"({"level":"error","source":"engine"})", "\"description\""},
        {R"({"level":"verbose","source":"engine","description":"x"})", "unknown level \"verbose\""},
        {R"({"level":3,"source":"moon","description":"x"})", "unknown source \"moon\""},
        {R"({"level":3,"source":0,"description":"x","colour":"red"})", "unknown field \"colour\""},
        {R"({"level":3,"source":0,"description":"x","number":1,"text":"a"})", "give one of"},
        {R"({"level":3,"source":0,"description":"x","kind":4})", "\"kind\" needs an attachment"},
        {R"({"level":3,"source":0,"description":"x","time":"now","filetime":5})", "not both"},
        {R"({"level":3,"source":0,"description":"x","filetime":-5})", "\"filetime\""},
        {R"({"level":3,"source":0,"description":"x","time":"soon"})", "is not a time"},
        {R"({"level":3,"source":0,"description":"x","hex":"XYZ"})", "is not hex"},
        {R"({"level":3,"source":0,"description":{"a":1}})", "nested"},
        {R"({"level":3,"source":0,"description":"x")", "'}' was expected"},
        {R"({"level":3,"level":4,"source":0,"description":"x"})", "repeats"},
        {R"([1,2])", "an object was expected"},
        {R"({"level":3,"source":0,"description":"x"} trailing)", "text follows"},
        {R"({"level":3,"source":0,"description":"\ud800"})", "surrogate"},
    };
    for (const Case& c : cases) {
        StoredRecord r;
        std::string error;
        EXPECT_FALSE(FromLine(c.line, r, error)) << c.line;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.line << " gave: " << error;
    }
}

TEST(RecordText, JsonLinesThatAreTaken) {
    StoredRecord r;
    std::string error;
    ASSERT_TRUE(FromLine(R"({"level":"warning","source":"driver","description":"caf\u00e9 \"x\"\n","status":"0x2A",)"
                         R"("time":"2008-12-03T14:05:09Z","text":"line"})",
                         r, error))
        << error;
    EXPECT_EQ(r.level, 4u);
    EXPECT_EQ(r.source, 3u);
    EXPECT_EQ(r.statusId, 42u);
    EXPECT_EQ(r.description, "caf\xC3\xA9 \"x\"\n");
    EXPECT_EQ(r.attachmentKind, 2u);
    EXPECT_EQ(std::string(r.attachment.begin(), r.attachment.end()), "line");
    EXPECT_EQ(RecordText::FormatTime(r.time), "2008-12-03T14:05:09Z");

    ASSERT_TRUE(FromLine(R"({"level":1,"source":9,"description":"","number":4660})", r, error));
    EXPECT_EQ(r.time, kNow) << "no time: now";
    EXPECT_EQ(r.attachmentKind, 1u);
    EXPECT_EQ(r.attachment, (std::vector<std::uint8_t>{0x34, 0x12, 0, 0}));
    ASSERT_TRUE(FromLine(R"({"level":1,"source":9,"description":"","hex":"0102","kind":2,"record":17})", r, error));
    EXPECT_EQ(r.attachmentKind, 2u) << "kind overrides";
    EXPECT_EQ(r.attachment.size(), 2u);
}

TEST(RecordText, WhatReadWritesImportReadsBackUnchanged) {
    std::vector<StoredRecord> records = DemoLog::Make(400, kNow, 7);
    StoredRecord odd;
    odd.time = 0xFFFFFFFFFFFFFFFFull;  // no calendar date: written as a FILETIME number
    odd.level = 0;
    odd.source = 77;
    odd.description = std::string("bytes \x01\xFF\x80 in text", 17);
    odd.attachmentKind = 2;
    odd.attachment = {'a', 0, 'b'};  // text with a NUL: written as hex with its kind
    records.push_back(odd);
    for (const StoredRecord& r : records) {
        const std::string line = RecordText::ToJson(View(r), 5);
        StoredRecord back;
        std::string error;
        ASSERT_TRUE(FromLine(line, back, error)) << line << ": " << error;
        EXPECT_EQ(back.time, r.time) << line;
        EXPECT_EQ(back.level, r.level) << line;
        EXPECT_EQ(back.source, r.source) << line;
        EXPECT_EQ(back.statusId, r.statusId) << line;
        EXPECT_EQ(back.attachmentKind, r.attachmentKind) << line;
        EXPECT_EQ(back.attachment, r.attachment) << line;
        EXPECT_EQ(back.description, r.description) << line;
        EXPECT_EQ(RecordText::ToLine(View(r), 5).find('\n'), std::string::npos) << "one line";
    }
}

TEST(RecordText, JsonNamesAreTheOnesImportTakes) {
    struct Case {
        std::uint32_t level, source;
        const char* fields;
    };
    const Case cases[] = {
        {2, 0, R"("level":"fatal","source":"engine")"},
        {4, 1, R"("level":"warning","source":"gui")"},
        {5, 3, R"("level":"info","source":"driver")"},
        {0, 4, R"("level":0,"source":4)"},  // captioned Fatal, but not the code "fatal" stands for
        {7, 2, R"("level":7,"source":"service")"},
    };
    for (const Case& c : cases) {
        StoredRecord r;
        r.level = c.level;
        r.source = c.source;
        r.description = "x";
        EXPECT_NE(RecordText::ToJson(View(r), 1).find(c.fields), std::string::npos)
            << RecordText::ToJson(View(r), 1);
    }
}

TEST(RecordText, DescriptionsThatAreNotTextTravelAsHex) {
    StoredRecord r;
    r.level = 5;
    r.description = "\xFF\xFE";
    const std::string line = RecordText::ToJson(View(r), 1);
    EXPECT_NE(line.find(R"("descriptionHex":"FFFE")"), std::string::npos) << line;
    StoredRecord back;
    std::string error;
    ASSERT_TRUE(FromLine(line, back, error)) << error;
    EXPECT_EQ(back.description, "\xFF\xFE");

    struct Case {
        const char* fields;
        const char* error;
    };
    const Case cases[] = {
        {R"("description":5)", "\"description\" must be a string"},
        {R"("description":true)", "\"description\" must be a string"},
        {R"("descriptionHex":"4G")", "\"descriptionHex\" must be hex bytes"},
        {R"("description":"a","descriptionHex":"61")", "not both"},
        {R"("status":1)", "\"description\" is missing"},
    };
    for (const Case& c : cases) {
        error.clear();
        EXPECT_FALSE(FromLine(std::string(R"({"level":"info","source":"gui",)") + c.fields + "}", back, error))
            << c.fields;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.fields << ": " << error;
    }
}

TEST(RecordText, PrintableTextCannotDriveATerminal) {
    struct Case {
        std::string text, shown;
    };
    const Case cases[] = {
        {"plain caf\xC3\xA9", "plain caf\xC3\xA9"},
        {"\x1B[2J\x07", "\\x1B[2J\\x07"},
        {"a\nb\tc\r", "a\\nb\\tc\\r"},
        {"\xC2\x9B" "31m", "\\xC2\\x9B" "31m"},  // the one-character CSI
        {"\x7F\xFF", "\\x7F\\xFF"},
    };
    for (const Case& c : cases) EXPECT_EQ(RecordText::Printable(c.text), c.shown) << c.shown;
}

TEST(JsonObject, QuotingIsAlwaysValidJson) {
    EXPECT_EQ(JsonObject::Quote("a\"b\\c\n\t\x01"), R"("a\"b\\c\n\t\u0001")");
    EXPECT_EQ(JsonObject::Quote("\xC3\xA9"), "\"\xC3\xA9\"") << "valid UTF-8 stays";
    EXPECT_EQ(JsonObject::Quote("\xE9\xC3"), R"("\u00E9\u00C3")") << "stray bytes are escaped";
    EXPECT_EQ(JsonObject::Quote("\xED\xA0\x80"), R"("\u00ED\u00A0\u0080")") << "no encoded surrogates";
    std::string error;
    JsonObject o = JsonObject::Parse(R"({"s":"\ud83d\ude00","t":true,"n":null,"x":-1.5e3})", error);
    ASSERT_EQ(error, "");
    EXPECT_EQ(o.Find("s")->text, "\xF0\x9F\x98\x80");
    EXPECT_TRUE(o.Find("t")->boolean);
    EXPECT_EQ(o.Find("x")->text, "-1.5e3");
    EXPECT_EQ(o.Find("missing"), nullptr);
}
