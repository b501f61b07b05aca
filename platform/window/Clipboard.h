#pragma once
// The desktop's clipboard, for text: what a control's copy puts there and its paste takes. Texts
// are in the window system's form (byte strings, CR LF line ends); the display driver converts
// them to and from the desktop's. This stands in for the platform's OpenClipboard /
// SetClipboardData(CF_TEXT) sequence, which the viewer's own code never calls.

#include <optional>
#include <string>
#include <string_view>

class Clipboard {
public:
    // False when the desktop refused the text.
    static bool SetText(std::string_view text);
    // Nothing when the clipboard holds no text or its owner did not answer within a second or so.
    static std::optional<std::string> Text();
};
