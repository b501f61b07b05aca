#include "platform/controls/EditView.h"

#include <algorithm>

#include "platform/graphics/Gdi.h"
#include "platform/graphics/SystemColors.h"
#include "platform/graphics/TextCodec.h"
#include "platform/graphics/TextOutput.h"

namespace {

constexpr int kMargin = 2;    // left and right of the text
constexpr int kTabStops = 8;  // average characters between tab stops

}  // namespace

class EditView::Measuring {
public:
    explicit Measuring(const EditView& view)
        : dc_(view.measure_), old_(SelectObject(view.measure_, view.FontOrSystem())) {}
    ~Measuring() {
        if (old_) SelectObject(dc_, old_);
    }
    Measuring(const Measuring&) = delete;
    Measuring& operator=(const Measuring&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

EditView::EditView(const EditText& text) : text_(text), measure_(CreateCompatibleDC(nullptr)) { Measure(); }

EditView::~EditView() {
    if (measure_) DeleteDC(measure_);
}

HFONT EditView::FontOrSystem() const { return font_ ? font_ : GetStockObject(SYSTEM_FONT); }

void EditView::SetFont(HFONT font) {
    font_ = font;
    Measure();
    SetClient(client_);
}

void EditView::Measure() {
    Measuring m(*this);
    TEXTMETRICA metrics{};
    if (GetTextMetricsA(measure_, &metrics)) {
        lineHeight_ = std::max<int>(1, metrics.tmHeight);
        aveCharWidth_ = std::max<int>(1, metrics.tmAveCharWidth);
    }
    tabWidth_ = kTabStops * aveCharWidth_;
    if (!GetCharWidth32A(measure_, 0, 255, widths_)) std::fill(std::begin(widths_), std::end(widths_), aveCharWidth_);
    contentWidth_ = 0;
}

void EditView::SetClient(const RECT& client) {
    client_ = client;
    format_ = RECT{client.left + kMargin, client.top, std::max(client.left + kMargin, client.right - kMargin),
                   client.bottom};
    if (!text_.Multiline()) {
        // One line, in the middle of the control.
        format_.top = client.top + std::max(0, static_cast<int>(client.bottom - client.top) - lineHeight_) / 2;
        format_.bottom = format_.top + lineHeight_;
    }
    TextChanged();
}

void EditView::TextChanged() {
    contentWidth_ = LineWidth(text_.LongestLine());
    GrowToVisible();
    ScrollTo(top_, xOffset_);
}

std::size_t EditView::VisibleLines() const {
    return std::max<std::size_t>(1, static_cast<std::size_t>(std::max<LONG>(0, format_.bottom - format_.top)) /
                                        static_cast<std::size_t>(lineHeight_));
}

int EditView::MaxXOffset() const {
    // Room for the caret after the widest line.
    return std::max(0, contentWidth_ + 1 - static_cast<int>(format_.right - format_.left));
}

bool EditView::ScrollTo(std::size_t top, int xOffset) {
    const std::size_t lines = text_.Lines(), visible = VisibleLines();
    top = std::min(top, lines > visible ? lines - visible : 0);
    const bool moved = top != top_;
    top_ = top;
    if (moved) GrowToVisible();
    xOffset = std::clamp(xOffset, 0, MaxXOffset());
    const bool shifted = xOffset != xOffset_;
    xOffset_ = xOffset;
    return moved || shifted;
}

bool EditView::ScrollToShow(std::size_t pos) {
    const std::size_t line = text_.LineOf(pos), visible = VisibleLines();
    std::size_t top = top_;
    if (line < top) top = line;
    if (line >= top + visible) top = line - visible + 1;
    const int x = XOf(pos), width = static_cast<int>(format_.right - format_.left);
    contentWidth_ = std::max(contentWidth_, x);
    int offset = xOffset_;
    // Past an edge, by a quarter of the width more, so that typing does not scroll each key.
    if (x < offset) offset = std::max(0, x - width / 4);
    if (x >= offset + width) offset = x - width + width / 4;
    return ScrollTo(top, offset);
}

SCROLLINFO EditView::Vertical() const {
    return SCROLLINFO{sizeof(SCROLLINFO),
                      SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL,
                      0,
                      static_cast<int>(text_.Lines() - 1),
                      static_cast<UINT>(VisibleLines()),
                      static_cast<int>(top_),
                      0};
}

SCROLLINFO EditView::Horizontal() const {
    return SCROLLINFO{sizeof(SCROLLINFO),
                      SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL,
                      0,
                      contentWidth_,
                      static_cast<UINT>(std::max<LONG>(0, format_.right - format_.left)),
                      xOffset_,
                      0};
}

int EditView::Step(std::string_view line, std::size_t& i, int x) const {
    const auto c = static_cast<unsigned char>(line[i]);
    if (c == '\t') {
        ++i;
        return (x / tabWidth_ + 1) * tabWidth_;
    }
    const std::size_t n = c < 0x80 ? 1 : TextCodec::CharLength(line, i);
    if (n == 1) {
        ++i;
        return x + widths_[c];
    }
    SIZE size{};
    GetTextExtentPoint32A(measure_, line.data() + i, static_cast<int>(n), &size);
    i += n;
    return x + size.cx;
}

int EditView::LineWidth(std::size_t line) {
    Measuring m(*this);
    const std::string_view text = text_.Line(line);
    int x = 0;
    for (std::size_t i = 0; i < text.size();) x = Step(text, i, x);
    return x;
}

void EditView::GrowToVisible() {
    const std::size_t last = std::min(text_.Lines(), top_ + VisibleLines() + 1);
    for (std::size_t line = top_; line < last; ++line) contentWidth_ = std::max(contentWidth_, LineWidth(line));
}

int EditView::XOf(std::size_t pos) {
    Measuring m(*this);
    const std::size_t line = text_.LineOf(pos), start = text_.LineStart(line);
    const std::string_view text = text_.Line(line);
    const std::size_t end = std::min(pos - start, text.size());
    int x = 0;
    for (std::size_t i = 0; i < end;) x = Step(text, i, x);
    return x;
}

std::size_t EditView::PositionInLine(std::size_t line, int x) {
    Measuring m(*this);
    line = std::min(line, text_.Lines() - 1);
    const std::size_t start = text_.LineStart(line);
    const std::string_view text = text_.Line(line);
    int at = 0;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t next = i;
        const int after = Step(text, next, at);
        if (x < (at + after + 1) / 2) return start + i;
        at = after;
        i = next;
    }
    return start + text.size();
}

POINT EditView::PointOf(std::size_t pos) {
    const auto line = static_cast<long long>(text_.LineOf(pos));
    const long long y = format_.top + (line - static_cast<long long>(top_)) * lineHeight_;
    return POINT{format_.left + XOf(pos) - xOffset_, static_cast<LONG>(std::clamp<long long>(y, -(1 << 30), 1 << 30))};
}

std::size_t EditView::PositionAt(POINT p) {
    const long long dy = p.y - format_.top;
    const long long row = dy >= 0 ? dy / lineHeight_ : -((-dy + lineHeight_ - 1) / lineHeight_);
    const long long line = std::clamp<long long>(static_cast<long long>(top_) + row, 0,
                                                 static_cast<long long>(text_.Lines()) - 1);
    return PositionInLine(static_cast<std::size_t>(line), p.x - format_.left + xOffset_);
}

void EditView::Paint(HDC hdc, const RECT& update, std::size_t from, std::size_t to, bool selection, std::size_t caret) {
    Measuring m(*this);
    HGDIOBJ oldFont = SelectObject(hdc, FontOrSystem());
    SaveDC(hdc);
    IntersectClipRect(hdc, format_.left, client_.top, format_.right, client_.bottom);
    const long long firstRow = std::max<long long>(0, (update.top - format_.top) / lineHeight_);
    const long long lastRow = (update.bottom - format_.top + lineHeight_ - 1) / lineHeight_;
    for (long long row = firstRow; row < lastRow; ++row) {
        const std::size_t line = top_ + static_cast<std::size_t>(row);
        if (line >= text_.Lines()) break;
        DrawLine(hdc, line, format_.top + static_cast<int>(row) * lineHeight_, from, to, selection);
    }
    if (caret != kNoCaret) {
        // Inverted, so that it shows on the selection's colours as well as on the text's.
        const POINT at = PointOf(caret);
        for (int y = at.y; y < at.y + lineHeight_; ++y) {
            const COLORREF under = GetPixel(hdc, at.x, y);
            if (under != CLR_INVALID) SetPixel(hdc, at.x, y, under ^ 0x00FFFFFF);
        }
    }
    RestoreDC(hdc, -1);
    SelectObject(hdc, oldFont);
}

void EditView::DrawLine(HDC hdc, std::size_t line, int y, std::size_t from, std::size_t to, bool selection) {
    const std::size_t start = text_.LineStart(line);
    const std::string_view text = text_.Line(line);
    const int left = format_.left - xOffset_;
    const int right = xOffset_ + static_cast<int>(format_.right - format_.left);
    const auto selected = [&](std::size_t i) { return selection && start + i >= from && start + i < to; };
    std::size_t i = 0;
    int x = 0;
    // What lies left of the view is measured, not drawn.
    while (i < text.size()) {
        std::size_t next = i;
        const int after = Step(text, next, x);
        if (after > xOffset_) break;
        x = after;
        i = next;
    }
    // Runs of characters alike in selection, split at tabs, up to the right edge.
    while (i < text.size() && x < right) {
        const bool inSelection = selected(i);
        const std::size_t runStart = i;
        const int runX = x;
        const bool tab = text[i] == '\t';
        do {
            x = Step(text, i, x);
        } while (!tab && i < text.size() && text[i] != '\t' && selected(i) == inSelection && x < right);
        const RECT cell{left + runX, y, left + x, y + lineHeight_};
        if (inSelection) {
            const COLORREF oldText = SetTextColor(hdc, GetSysColor(COLOR_HIGHLIGHTTEXT));
            const COLORREF oldBack = SetBkColor(hdc, GetSysColor(COLOR_HIGHLIGHT));
            ExtTextOutA(hdc, cell.left, y, ETO_OPAQUE, &cell, tab ? "" : text.data() + runStart,
                        tab ? 0 : static_cast<UINT>(i - runStart), nullptr);
            SetTextColor(hdc, oldText);
            SetBkColor(hdc, oldBack);
        } else if (!tab) {
            ExtTextOutA(hdc, cell.left, y, 0, nullptr, text.data() + runStart, static_cast<UINT>(i - runStart), nullptr);
        }
    }
}
