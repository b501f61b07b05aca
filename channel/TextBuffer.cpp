#include "channel/TextBuffer.h"

#include <cstdio>
#include <cstring>

TextBuffer::TextBuffer(const char* text) { AppendText(text); }

TextBuffer::TextBuffer(std::uint32_t packedVersion) {
    char text[32];
    std::snprintf(text, sizeof text, "%d.%d.%d", static_cast<int>(packedVersion >> 24),
                  static_cast<int>((packedVersion >> 16) & 0xFF), static_cast<int>(packedVersion & 0xFFFF));
    AppendText(text);
}

bool TextBuffer::IsEmpty() const { return Size() <= 1; }

TextBuffer& TextBuffer::AppendText(const char* text) {
    if (text == nullptr) return *this;
    const auto length = static_cast<std::uint32_t>(std::strlen(text));
    if (length == 0) return *this;
    const std::uint32_t before = Size();
    const std::uint32_t position = before != 0 ? before - 1 : 0;
    WriteAt(position, text, length);
    if (Size() != position + length) return *this;  // dropped: the old string is intact
    const char nul = '\0';
    Append(&nul, 1);
    if (Size() != position + length + 1) {
        // The terminator did not fit: put the old string back rather than leave one without.
        if (before != 0)
            WriteAt(position, &nul, 1);
        else
            Clear();
    }
    return *this;
}

TextBuffer& TextBuffer::AssignText(const char* text) {
    if (text != reinterpret_cast<const char*>(Data())) {
        Clear();
        AppendText(text);
    }
    return *this;
}

TextBuffer& TextBuffer::AssignText(const char* text, std::uint32_t length) {
    if (text == nullptr || length == 0) {
        Clear();
        return *this;
    }
    // Written over the old text, so that a buffer that is reused keeps its block.
    WriteAt(0, text, length);
    const char nul = '\0';
    if (Size() == length) Append(&nul, 1);
    if (Size() != length + 1) Clear();  // no room: no string rather than a cut one
    return *this;
}

const char* TextBuffer::Text() const { return Size() != 0 ? reinterpret_cast<const char*>(Data()) : ""; }
