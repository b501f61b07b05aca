#pragma once
// Clipboard text between the window system's form (byte strings read as UTF-8 where valid and
// Windows-1252 elsewhere, CR LF line ends) and the desktop's (UTF-8 or ISO Latin-1, LF).

#include <string>
#include <string_view>

class ClipboardText {
public:
    // For the UTF8_STRING target: every line end becomes LF.
    static std::string ToUtf8(std::string_view text);
    // For the STRING target: characters beyond Latin-1 become '?'.
    static std::string ToLatin1(std::string_view text);
    // What another program offered, in the window system's form: CR LF line ends, no NULs, in
    // Windows-1252 as typed text is, or UTF-8 where Windows-1252 cannot say it unambiguously.
    static std::string FromDesktop(std::string_view bytes, bool latin1);
};
