#pragma once
// How an edit control shows its text: the font's measures, the rectangle the text is laid out
// in, which part of the text is scrolled into view, the conversions between text positions and
// client points, and painting. Only the lines in view are measured and drawn, whatever the
// size of the text; the width of the text (for the horizontal scroll range) is that of its
// longest line by bytes, grown by any wider line that comes into view.

#include <cstddef>
#include <string_view>

#include "platform/controls/EditText.h"
#include "platform/graphics/GdiTypes.h"
#include "platform/window/ScrollBars.h"

class EditView {
public:
    static constexpr std::size_t kNoCaret = static_cast<std::size_t>(-1);

    explicit EditView(const EditText& text);
    ~EditView();
    EditView(const EditView&) = delete;
    EditView& operator=(const EditView&) = delete;

    // Null: the system font. Both measure again and keep the scroll within range.
    void SetFont(HFONT font);
    void SetClient(const RECT& client);
    // After the text changed.
    void TextChanged();

    HFONT Font() const { return font_; }
    int LineHeight() const { return lineHeight_; }
    int AverageCharWidth() const { return aveCharWidth_; }
    const RECT& FormatRect() const { return format_; }
    std::size_t VisibleLines() const;  // whole lines, at least 1

    std::size_t TopLine() const { return top_; }
    int XOffset() const { return xOffset_; }
    // Clamped to the text; true when the view moved.
    bool ScrollTo(std::size_t top, int xOffset);
    bool ScrollToShow(std::size_t pos);
    SCROLLINFO Vertical() const;
    SCROLLINFO Horizontal() const;

    // Client points: the top left of the caret at `pos`, and the caret position nearest to a point.
    POINT PointOf(std::size_t pos);
    std::size_t PositionAt(POINT p);
    std::size_t PositionInLine(std::size_t line, int x);
    int XOf(std::size_t pos);  // from the start of its line

    // Draws the lines that meet `update` with the context's colours, the selection [from, to)
    // in the highlight colours when `selection`, and the caret unless kNoCaret.
    void Paint(HDC hdc, const RECT& update, std::size_t from, std::size_t to, bool selection, std::size_t caret);

private:
    class Measuring;  // the font selected into the measuring context for a while

    HFONT FontOrSystem() const;
    void Measure();
    int Step(std::string_view line, std::size_t& i, int x) const;
    int LineWidth(std::size_t line);
    void GrowToVisible();
    int MaxXOffset() const;
    void DrawLine(HDC hdc, std::size_t line, int y, std::size_t from, std::size_t to, bool selection);

    const EditText& text_;
    HDC measure_ = nullptr;  // a memory context for measuring; the font is selected only meanwhile
    HFONT font_ = nullptr;
    int widths_[256] = {};
    int lineHeight_ = 1, aveCharWidth_ = 1, tabWidth_ = 8;
    RECT client_{}, format_{};
    std::size_t top_ = 0;
    int xOffset_ = 0;
    int contentWidth_ = 0;
};
