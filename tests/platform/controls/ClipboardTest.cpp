// Clipboard text between the window system's form and the desktop's: line ends, Windows-1252
// and UTF-8 both ways, and what cannot be said in the narrower form.

#include <gtest/gtest.h>

#include "platform/drivers/ClipboardText.h"

namespace {

TEST(ClipboardTextTest, OurTextGoesOutAsUtf8OrLatin1WithLineFeeds) {
    struct Case {
        const char* ours;
        const char* utf8;
        const char* latin1;
    } cases[] = {
        {"plain", "plain", "plain"},
        {"a\r\nb\rc\nd", "a\nb\nc\nd", "a\nb\nc\nd"},
        {"caf\xE9 \x80", "caf\xC3\xA9 \xE2\x82\xAC", "caf\xE9 ?"},  // Windows-1252 bytes
        {"\xE2\x82\xAC and \xC3\xA9", "\xE2\x82\xAC and \xC3\xA9", "? and \xE9"},  // UTF-8 already
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClipboardText::ToUtf8(c.ours), c.utf8) << c.ours;
        EXPECT_EQ(ClipboardText::ToLatin1(c.ours), c.latin1) << c.ours;
    }
}

TEST(ClipboardTextTest, TheDesktopsTextComesInAsWindows1252WhereItCanWithCrLf) {
    struct Case {
        const char* desktop;
        bool latin1;
        std::string ours;
    } cases[] = {
        {"caf\xC3\xA9\n\xE2\x82\xAC", false, "caf\xE9\r\n\x80"},
        {"a\r\nb\rc", false, "a\r\nb\r\nc"},
        {"\xE6\x97\xA5\n", false, "\xE6\x97\xA5\r\n"},  // beyond Windows-1252: UTF-8 whole
        {"\xE6\x97\xA5 \xC3\xA9", false, "\xE6\x97\xA5 \xC3\xA9"},
        // These two would read back as one other character in Windows-1252: kept as UTF-8.
        {"\xC3\x83\xC2\xA9", false, "\xC3\x83\xC2\xA9"},
        {"caf\xE9\n", true, "caf\xE9\r\n"},
        {"\x85", true, "\xC2\x85"},
    };
    for (const Case& c : cases) EXPECT_EQ(ClipboardText::FromDesktop(c.desktop, c.latin1), c.ours) << c.desktop;
    EXPECT_EQ(ClipboardText::FromDesktop(std::string("a\0b", 3), false), "ab");
    // Out and back in: the same bytes.
    for (const char* ours : {"line one\r\nline two\r\n", "caf\xE9\t\x80\x99", ""})
        EXPECT_EQ(ClipboardText::FromDesktop(ClipboardText::ToUtf8(ours), false), ours);
}

}  // namespace
