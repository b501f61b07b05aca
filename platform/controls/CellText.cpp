#include "platform/controls/CellText.h"

#include "platform/graphics/Rects.h"
#include "platform/graphics/TextOutput.h"

namespace {

constexpr std::string_view kEllipsis = "...";

// A cut there does not split a UTF-8 sequence.
bool AtBoundary(std::string_view text, std::size_t at) {
    return at == 0 || at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80;
}

}  // namespace

int CellText::Width(HDC hdc, std::string_view text) {
    if (text.empty()) return 0;
    SIZE size{0, 0};
    GetTextExtentPoint32A(hdc, text.data(), static_cast<int>(text.size()), &size);
    return size.cx;
}

std::string CellText::Fit(HDC hdc, std::string_view text, int width) {
    if (Width(hdc, text) <= width) return std::string(text);
    const int room = width - Width(hdc, kEllipsis);
    if (room < 0) return std::string();
    // The longest start that fits: `low` does, `high` does not (the whole text is too wide).
    std::size_t low = 0, high = text.size();
    while (high - low > 1) {
        const std::size_t middle = (low + high) / 2;
        std::size_t cut = middle;
        while (cut > low && !AtBoundary(text, cut)) --cut;
        if (cut == low) {
            cut = middle;
            while (cut < high && !AtBoundary(text, cut)) ++cut;
        }
        if (cut == low || cut == high) break;
        if (Width(hdc, text.substr(0, cut)) <= room)
            low = cut;
        else
            high = cut;
    }
    std::string out(text.substr(0, low));
    out += kEllipsis;
    return out;
}

int CellText::Draw(HDC hdc, const RECT& cell, std::string_view text, int align) {
    if (text.empty() || ::Width(cell) <= 0) return 0;
    std::string cut;
    std::string_view shown = text;
    int width = Width(hdc, text);
    if (width > ::Width(cell)) {
        cut = Fit(hdc, text, ::Width(cell));
        shown = cut;
        width = Width(hdc, shown);
    }
    TEXTMETRICA metrics{};
    GetTextMetricsA(hdc, &metrics);
    int x = cell.left;
    if (align == kRight)
        x = cell.right - width;
    else if (align == kCenter)
        x = cell.left + (::Width(cell) - width) / 2;
    const int y = cell.top + (::Height(cell) - metrics.tmHeight) / 2;
    ExtTextOutA(hdc, x, y, ETO_CLIPPED, &cell, shown.data(), static_cast<UINT>(shown.size()), nullptr);
    return width;
}
