#pragma once
// The text of an edit control, apart from its view: one buffer and the offsets where its lines
// start, built in one pass when the whole text is set and mended around each change. A line
// ends at CR LF, a lone CR or a lone LF, which stay in the text exactly as given. A single-line
// text has one line whatever it holds.
//
// Positions are byte offsets. The caret's positions are the characters' edges as the window
// system reads texts: never inside a CR LF pair nor inside a UTF-8 sequence.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class EditText {
public:
    explicit EditText(bool multiline) : multiline_(multiline) {}

    // Both may throw std::bad_alloc; the text is then unchanged.
    void Assign(std::string_view text);
    void Replace(std::size_t from, std::size_t to, std::string_view with);

    std::string_view Text() const { return text_; }
    std::size_t Size() const { return text_.size(); }
    bool Multiline() const { return multiline_; }

    std::size_t Lines() const { return starts_.size(); }
    std::size_t LineStart(std::size_t line) const;
    std::size_t LineEnd(std::size_t line) const;  // where its line break (if any) begins
    std::string_view Line(std::size_t line) const;
    std::size_t LineOf(std::size_t pos) const;
    std::size_t LongestLine() const;  // by bytes: the line whose width bounds the others best

    std::size_t Next(std::size_t pos) const;
    std::size_t Previous(std::size_t pos) const;
    std::size_t Snap(std::size_t pos) const;  // the caret position at or before `pos`
    // Words for double clicks and Control with the arrows: runs of letters and digits, of
    // blanks, or of other signs, within a line.
    std::size_t WordStart(std::size_t pos) const;
    std::size_t WordEnd(std::size_t pos) const;
    std::size_t NextWord(std::size_t pos) const;
    std::size_t PreviousWord(std::size_t pos) const;

    // The longest start of `text` of at most `room` bytes that ends at a character's edge.
    static std::size_t Fit(std::string_view text, std::size_t room);

private:
    bool StartsLine(std::size_t pos) const;
    int KindAt(std::size_t pos) const;

    bool multiline_;
    std::string text_;
    std::vector<std::size_t> starts_{0};  // starts_[0] is 0
    mutable std::size_t longest_ = 0;
    mutable bool longestKnown_ = true;
};
