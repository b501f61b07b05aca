#include "platform/graphics/TextOutput.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/FontEngine.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/Painter.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/TextCodec.h"

namespace {

constexpr int kTabColumns = 8;

struct Cell {
    char32_t c;
    bool underline;
};
using Line = std::vector<Cell>;

FontFace* FaceOf(DeviceContext& dc) {
    static std::mutex lock;
    FontObject* font = dc.Font();
    if (!font) return nullptr;
    std::lock_guard guard(lock);
    if (!font->face) font->face = FontEngine::FaceFor(font->logFont);
    return font->face.get();
}

std::string_view Bytes(LPCSTR text, int length) {
    if (!text) return {};
    return std::string_view(text, length < 0 ? std::strlen(text) : static_cast<std::size_t>(length));
}

// Control characters take no room and draw nothing.
int Advance(FontFace& face, char32_t c) { return c < 0x20 ? 0 : face.GlyphOf(c).advance; }

// The width of a line from x = 0; tabs go to the next stop when `tabs` is set.
int Measure(FontFace& face, const Line& line, bool tabs) {
    const int tabWidth = std::max(1, kTabColumns * face.Metrics().tmAveCharWidth);
    int x = 0;
    for (const Cell& cell : line)
        x = cell.c == '\t' && tabs ? (x / tabWidth + 1) * tabWidth : x + Advance(face, cell.c);
    return x;
}

void DrawLine(Painter& painter, FontFace& face, const Line& line, int x, int top, bool tabs, COLORREF color) {
    const int tabWidth = std::max(1, kTabColumns * face.Metrics().tmAveCharWidth);
    const int baseline = top + face.Metrics().tmAscent;
    int pen = 0;
    for (const Cell& cell : line) {
        if (cell.c == '\t' && tabs) {
            pen = (pen / tabWidth + 1) * tabWidth;
            continue;
        }
        const int advance = Advance(face, cell.c);
        if (cell.c >= 0x20) painter.Glyph(face.GlyphOf(cell.c), x + pen, baseline, color);
        if (cell.underline) painter.Fill(RECT{x + pen, baseline + 1, x + pen + advance, baseline + 2}, color);
        pen += advance;
    }
}

// The characters, with the "&" prefixes taken out ("&&" is one "&") unless DT_NOPREFIX.
Line Prefixed(std::string_view bytes, UINT format) {
    const std::u32string chars = TextCodec::Decode(bytes);
    Line out;
    out.reserve(chars.size());
    const bool prefixes = !(format & DT_NOPREFIX);
    const bool show = !(format & DT_HIDEPREFIX);
    for (std::size_t i = 0; i < chars.size(); ++i) {
        if (prefixes && chars[i] == '&' && i + 1 < chars.size()) {
            ++i;
            out.push_back(Cell{chars[i], show && chars[i] != '&'});
            continue;
        }
        out.push_back(Cell{chars[i], false});
    }
    return out;
}

// Lines at the line breaks; with a width, words that do not fit go to the next line.
std::vector<Line> Lines(FontFace& face, const Line& text, UINT format, int width) {
    std::vector<Line> lines(1);
    if (format & DT_SINGLELINE) {
        lines[0] = text;
        return lines;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i].c;
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1].c == '\n') ++i;
            lines.emplace_back();
            continue;
        }
        lines.back().push_back(text[i]);
    }
    if (!(format & DT_WORDBREAK)) return lines;
    const bool tabs = format & DT_EXPANDTABS;
    std::vector<Line> wrapped;
    for (const Line& line : lines) {
        Line current;
        std::size_t i = 0;
        while (i < line.size()) {
            // The next word, with the spaces before it.
            std::size_t end = i;
            while (end < line.size() && line[end].c == ' ') ++end;
            while (end < line.size() && line[end].c != ' ') ++end;
            Line candidate = current;
            candidate.insert(candidate.end(), line.begin() + static_cast<long>(i),
                             line.begin() + static_cast<long>(end));
            if (!current.empty() && Measure(face, candidate, tabs) > width) {
                wrapped.push_back(current);
                current.clear();
                while (i < end && line[i].c == ' ') ++i;  // a broken line starts with its word
                continue;
            }
            current.swap(candidate);
            i = end;
        }
        wrapped.push_back(current);
    }
    return wrapped;
}

}  // namespace

BOOL GetTextMetricsA(HDC hdc, TEXTMETRICA* metrics) {
    const auto dc = DeviceContext::Find(hdc);
    FontFace* face = dc ? FaceOf(*dc) : nullptr;
    if (!face || !metrics) return FALSE;
    *metrics = face->Metrics();
    return TRUE;
}

BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR text, int length, SIZE* size) {
    const auto dc = DeviceContext::Find(hdc);
    FontFace* face = dc ? FaceOf(*dc) : nullptr;
    if (!face || !size) return FALSE;
    int width = 0;
    for (char32_t c : TextCodec::Decode(Bytes(text, length))) width += Advance(*face, c);
    *size = SIZE{width, face->Metrics().tmHeight};
    return TRUE;
}

BOOL GetCharWidth32A(HDC hdc, UINT first, UINT last, int* widths) {
    const auto dc = DeviceContext::Find(hdc);
    FontFace* face = dc ? FaceOf(*dc) : nullptr;
    if (!face || !widths || last < first) return FALSE;
    for (UINT c = first; c <= last; ++c) {
        const char byte = static_cast<char>(c);
        const std::u32string cp = c < 256 ? TextCodec::Decode(std::string_view(&byte, 1)) : std::u32string(1, c);
        widths[c - first] = Advance(*face, cp.empty() ? 0 : cp[0]);
    }
    return TRUE;
}

BOOL ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* r, LPCSTR text, UINT length, const int* dx) {
    const auto dc = DeviceContext::Find(hdc);
    FontFace* face = dc ? FaceOf(*dc) : nullptr;
    if (!face) return FALSE;
    const std::u32string chars = TextCodec::Decode(Bytes(text, static_cast<int>(length)));
    const bool clipped = r && (options & ETO_CLIPPED);
    if (clipped) {
        SaveDC(hdc);
        IntersectClipRect(hdc, r->left, r->top, r->right, r->bottom);
    }
    Painter painter(*dc);
    if (r && (options & ETO_OPAQUE)) painter.Fill(*r, dc->bkColor);
    int width = 0;
    for (std::size_t i = 0; i < chars.size(); ++i) width += dx ? dx[i] : Advance(*face, chars[i]);
    if (dc->bkMode == OPAQUE && !(r && (options & ETO_OPAQUE)))
        painter.Fill(RECT{x, y, x + width, y + face->Metrics().tmHeight}, dc->bkColor);
    int pen = x;
    const int baseline = y + face->Metrics().tmAscent;
    for (std::size_t i = 0; i < chars.size(); ++i) {
        if (chars[i] >= 0x20) painter.Glyph(face->GlyphOf(chars[i]), pen, baseline, dc->textColor);
        pen += dx ? dx[i] : Advance(*face, chars[i]);
    }
    if (clipped) RestoreDC(hdc, -1);
    return TRUE;
}

BOOL TextOutA(HDC hdc, int x, int y, LPCSTR text, int length) {
    return ExtTextOutA(hdc, x, y, 0, nullptr, text, static_cast<UINT>(Bytes(text, length).size()), nullptr);
}

int DrawTextA(HDC hdc, LPCSTR text, int length, RECT* r, UINT format) {
    const auto dc = DeviceContext::Find(hdc);
    FontFace* face = dc ? FaceOf(*dc) : nullptr;
    if (!face || !r) return 0;
    const bool tabs = format & DT_EXPANDTABS;
    const std::vector<Line> lines = Lines(*face, Prefixed(Bytes(text, length), format), format, Width(*r));
    const TEXTMETRICA& m = face->Metrics();
    const int lineHeight = m.tmHeight + ((format & DT_EXTERNALLEADING) ? m.tmExternalLeading : 0);
    const int height = lineHeight * static_cast<int>(lines.size());
    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const Line& line : lines) widest = std::max(widest, Measure(*face, line, tabs));
        r->right = r->left + widest;
        r->bottom = r->top + height;
        return height;
    }
    int top = r->top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            top = r->top + (Height(*r) - lineHeight) / 2;
        else if (format & DT_BOTTOM)
            top = r->bottom - lineHeight;
    }
    const bool clipped = !(format & DT_NOCLIP);
    if (clipped) {
        SaveDC(hdc);
        IntersectClipRect(hdc, r->left, r->top, r->right, r->bottom);
    }
    Painter painter(*dc);
    for (const Line& line : lines) {
        const int width = Measure(*face, line, tabs);
        int x = r->left;
        if (format & DT_CENTER)
            x = r->left + (Width(*r) - width) / 2;
        else if (format & DT_RIGHT)
            x = r->right - width;
        if (dc->bkMode == OPAQUE) painter.Fill(RECT{x, top, x + width, top + lineHeight}, dc->bkColor);
        DrawLine(painter, *face, line, x, top, tabs, dc->textColor);
        top += lineHeight;
    }
    if (clipped) RestoreDC(hdc, -1);
    return height;
}
