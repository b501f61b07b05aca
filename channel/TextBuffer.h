#pragma once
// A MessageBuffer that holds one C string: when not empty it ends with exactly one NUL, counted
// in its size.

#include <cstdint>

#include "channel/MessageBuffer.h"

class TextBuffer : public MessageBuffer {
public:
    TextBuffer() = default;
    explicit TextBuffer(const char* text);
    // The packed version's text: "%d.%d.%d" of bits 24-31, 16-23 and 0-15.
    explicit TextBuffer(std::uint32_t packedVersion);

    // A lone terminator counts as empty.
    bool IsEmpty() const override;
    // Appends the text before the terminator; an empty text changes nothing.
    virtual TextBuffer& AppendText(const char* text);

    TextBuffer& AssignText(const char* text);
    // The first `length` bytes of `text` (which need not end there) and a terminator; empty
    // when they do not fit.
    TextBuffer& AssignText(const char* text, std::uint32_t length);
    // The string; "" when the buffer is empty.
    const char* Text() const;
};
