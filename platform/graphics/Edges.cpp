#include "platform/graphics/Edges.h"

#include <algorithm>
#include <cstring>

#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/FontEngine.h"
#include "platform/graphics/FontFace.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/Painter.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/SystemColors.h"

namespace {

// One ring of an edge: its top-left and bottom-right colours, per the ring's kind.
void Ring(Painter& p, const RECT& r, UINT flags, COLORREF topLeft, COLORREF bottomRight) {
    if (flags & BF_TOP) p.Fill(RECT{r.left, r.top, r.right, r.top + 1}, topLeft);
    if (flags & BF_LEFT) p.Fill(RECT{r.left, r.top, r.left + 1, r.bottom}, topLeft);
    if (flags & BF_BOTTOM) p.Fill(RECT{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
    if (flags & BF_RIGHT) p.Fill(RECT{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
}

void Shrink(RECT& r, UINT flags) {
    if (flags & BF_LEFT) ++r.left;
    if (flags & BF_TOP) ++r.top;
    if (flags & BF_RIGHT) --r.right;
    if (flags & BF_BOTTOM) --r.bottom;
}

// A filled triangle pointing `direction` (0 up, 1 down, 2 left, 3 right), centred in `r`.
void Arrow(Painter& p, const RECT& r, UINT direction, COLORREF color) {
    const int size = std::max(2, static_cast<int>(std::min(Width(r), Height(r)) / 4));
    const int cx = r.left + Width(r) / 2, cy = r.top + Height(r) / 2;
    for (int i = 0; i < size; ++i) {
        const int half = i;  // row i of the triangle is 2i+1 wide
        switch (direction) {
            case 0:
                p.Fill(RECT{cx - half, cy - size / 2 + i, cx + half + 1, cy - size / 2 + i + 1}, color);
                break;
            case 1:
                p.Fill(RECT{cx - half, cy + size / 2 - i, cx + half + 1, cy + size / 2 - i + 1}, color);
                break;
            case 2:
                p.Fill(RECT{cx - size / 2 + i, cy - half, cx - size / 2 + i + 1, cy + half + 1}, color);
                break;
            default:
                p.Fill(RECT{cx + size / 2 - i, cy - half, cx + size / 2 - i + 1, cy + half + 1}, color);
                break;
        }
    }
}

}  // namespace

BOOL DrawEdge(HDC hdc, RECT* r, UINT edge, UINT flags) {
    const auto dc = DeviceContext::Find(hdc);
    if (!dc || !r) return FALSE;
    Painter p(*dc);
    RECT inner = *r;
    if (flags & BF_FLAT) {
        // One ring in the shadow colour (a flat control's border), the middle in the face colour.
        Ring(p, inner, flags, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNSHADOW));
        Shrink(inner, flags);
    } else {
        const COLORREF light = GetSysColor(COLOR_3DLIGHT), highlight = GetSysColor(COLOR_BTNHIGHLIGHT),
                       shadow = GetSysColor(COLOR_BTNSHADOW), dark = GetSysColor(COLOR_3DDKSHADOW);
        if (edge & BDR_OUTER) {
            if (edge & BDR_RAISEDOUTER)
                Ring(p, inner, flags, (flags & BF_SOFT) ? highlight : light, dark);
            else
                Ring(p, inner, flags, shadow, highlight);
            Shrink(inner, flags);
        }
        if (edge & BDR_INNER) {
            if (edge & BDR_RAISEDINNER)
                Ring(p, inner, flags, (flags & BF_SOFT) ? light : highlight, shadow);
            else
                Ring(p, inner, flags, dark, light);
            Shrink(inner, flags);
        }
    }
    if (flags & BF_MIDDLE) p.Fill(inner, GetSysColor(COLOR_BTNFACE));
    if (flags & BF_ADJUST) *r = inner;
    return TRUE;
}

BOOL DrawFocusRect(HDC hdc, const RECT* r) {
    if (!DeviceContext::Find(hdc) || !r || IsRectEmpty(r)) return FALSE;
    // Each border pixel once, on a checkerboard, so that the dots keep their phase at the corners.
    const auto invert = [&](int x, int y) {
        if ((x + y - r->left - r->top) % 2) return;
        const COLORREF c = GetPixel(hdc, x, y);
        if (c != CLR_INVALID) SetPixel(hdc, x, y, c ^ 0x00FFFFFF);
    };
    for (int x = r->left; x < r->right; ++x) {
        invert(x, r->top);
        if (r->bottom - 1 > r->top) invert(x, r->bottom - 1);
    }
    for (int y = r->top + 1; y < r->bottom - 1; ++y) {
        invert(r->left, y);
        if (r->right - 1 > r->left) invert(r->right - 1, y);
    }
    return TRUE;
}

void Draw3dRect(HDC hdc, const RECT* r, COLORREF topLeft, COLORREF bottomRight) {
    const auto dc = DeviceContext::Find(hdc);
    if (!dc || !r) return;
    Painter p(*dc);
    p.Fill(RECT{r->left, r->top, r->right - 1, r->top + 1}, topLeft);
    p.Fill(RECT{r->left, r->top, r->left + 1, r->bottom - 1}, topLeft);
    p.Fill(RECT{r->right - 1, r->top, r->right, r->bottom}, bottomRight);
    p.Fill(RECT{r->left, r->bottom - 1, r->right, r->bottom}, bottomRight);
}

BOOL DrawFrameControl(HDC hdc, RECT* r, UINT type, UINT state) {
    const auto dc = DeviceContext::Find(hdc);
    if (!dc || !r) return FALSE;
    Painter p(*dc);
    if (type == DFC_SCROLL) {
        RECT inner = *r;
        const bool pushed = state & DFCS_PUSHED;
        if (state & DFCS_FLAT) {
            DrawEdge(hdc, &inner, 0, BF_RECT | BF_FLAT | BF_ADJUST);
        } else {
            DrawEdge(hdc, &inner, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST | (pushed ? BF_FLAT : 0));
        }
        p.Fill(inner, GetSysColor(COLOR_BTNFACE));
        if (pushed) OffsetRect(&inner, 1, 1);  // the glyph follows the press
        if (state & DFCS_INACTIVE) {
            RECT embossed = inner;
            OffsetRect(&embossed, 1, 1);
            Arrow(p, embossed, state & 3, GetSysColor(COLOR_BTNHIGHLIGHT));
            Arrow(p, inner, state & 3, GetSysColor(COLOR_BTNSHADOW));
        } else {
            Arrow(p, inner, state & 3, GetSysColor(COLOR_BTNTEXT));
        }
        return TRUE;
    }
    if (type == DFC_MENU) {
        // The glyph alone, in black on white, as the platform draws it for masking.
        p.Fill(*r, RGB(255, 255, 255));
        LOGFONTA marlett{};
        marlett.lfHeight = -std::min(Width(*r), Height(*r));
        std::strcpy(marlett.lfFaceName, "Marlett");
        auto face = FontEngine::FaceFor(marlett);
        const char glyph = (state & 0xF) == DFCS_MENUCHECK ? 'a' : (state & 0xF) == DFCS_MENUBULLET ? 'h' : '8';
        if (face)
            p.Glyph(face->GlyphOf(static_cast<unsigned char>(glyph)), r->left, r->top + face->Metrics().tmAscent,
                    RGB(0, 0, 0));
        return TRUE;
    }
    return FALSE;
}

BOOL GradientFill(HDC hdc, const TRIVERTEX* vertices, ULONG vertexCount, const void* mesh, ULONG meshCount,
                  ULONG mode) {
    const auto dc = DeviceContext::Find(hdc);
    if (!dc || !vertices || !mesh || (mode != GRADIENT_FILL_RECT_H && mode != GRADIENT_FILL_RECT_V)) return FALSE;
    Painter p(*dc);
    const auto* rects = static_cast<const GRADIENT_RECT*>(mesh);
    for (ULONG i = 0; i < meshCount; ++i) {
        if (rects[i].UpperLeft >= vertexCount || rects[i].LowerRight >= vertexCount) return FALSE;
        const TRIVERTEX& a = vertices[rects[i].UpperLeft];
        const TRIVERTEX& b = vertices[rects[i].LowerRight];
        const bool horizontal = mode == GRADIENT_FILL_RECT_H;
        const int from = horizontal ? a.x : a.y, to = horizontal ? b.x : b.y;
        const int steps = std::max(1, to - from);
        for (int k = 0; k < to - from; ++k) {
            auto mix = [&](WORD c0, WORD c1) { return static_cast<BYTE>((c0 + (int(c1) - int(c0)) * k / steps) >> 8); };
            const COLORREF c = RGB(mix(a.Red, b.Red), mix(a.Green, b.Green), mix(a.Blue, b.Blue));
            if (horizontal)
                p.Fill(RECT{from + k, a.y, from + k + 1, b.y}, c);
            else
                p.Fill(RECT{a.x, from + k, b.x, from + k + 1}, c);
        }
    }
    return TRUE;
}
