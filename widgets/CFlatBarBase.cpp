#include "widgets/CFlatBarBase.h"

#include "platform/framework/CDC.h"
#include "platform/graphics/SystemColors.h"

IMPLEMENT_DYNAMIC(CFlatBarBase, CControlBar)

namespace {

constexpr int kBarWidth = 3;     // a raised gripper bar
constexpr int kFirstBar = 1;     // offsets from the leading edge
constexpr int kSecondBar = 5;
constexpr int kGripperRoom = 10;       // two bars and the gap after them
constexpr int kRebarGripperRoom = 6;   // one bar
constexpr int kMarkLength = 3;         // a flat gripper's marks, across the bar

}  // namespace

CFlatBarBase::CFlatBarBase() = default;

CFlatBarBase::~CFlatBarBase() = default;

void CFlatBarBase::SetBarStyle(DWORD dwStyle) {
    const DWORD old = m_dwStyle;
    dwStyle &= kBarStyleMask;
    if (old == dwStyle) return;
    CControlBar::SetBarStyle(dwStyle);
    OnBarStyleChange(old, dwStyle);
}

void CFlatBarBase::OnBarStyleChange(DWORD, DWORD) {}

int CFlatBarBase::GripperRoom() const {
    if (!HasGripper()) return 0;
    return inRebar && !flatGripper ? kRebarGripperRoom : kGripperRoom;
}

void CFlatBarBase::CalcInsideRect(CRect& rect, BOOL bHorz) const {
    if (!IsFloating()) {
        // In a rebar the framework's 3D border, else one flat line a side.
        const int line = inRebar && (m_dwStyle & CBRS_BORDER_3D) ? 2 : 1;
        if (m_dwStyle & CBRS_BORDER_LEFT) rect.left += line;
        if (m_dwStyle & CBRS_BORDER_TOP) rect.top += line;
        if (m_dwStyle & CBRS_BORDER_RIGHT) rect.right -= line;
        if (m_dwStyle & CBRS_BORDER_BOTTOM) rect.bottom -= line;
    }
    const int gripper = GripperRoom();
    if (bHorz) {
        rect.left += m_cxLeftBorder + gripper;
        rect.top += m_cyTopBorder;
        rect.right -= m_cxRightBorder;
        rect.bottom -= m_cyBottomBorder;
    } else {
        rect.left += m_cyTopBorder;
        rect.top += m_cxLeftBorder + gripper;
        rect.right -= m_cyBottomBorder;
        rect.bottom -= m_cxRightBorder;
    }
}

void CFlatBarBase::DrawBorders(CDC* pDC, CRect& rect) {
    if (inRebar) {
        CControlBar::DrawBorders(pDC, rect);
        return;
    }
    if (IsFloating()) return;
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    const CRect outer = rect;
    if (m_dwStyle & CBRS_BORDER_RIGHT) {
        pDC->FillSolidRect(outer.right - 1, outer.top, 1, outer.Height(), shadow);
        rect.right -= 1;
    }
    if (m_dwStyle & CBRS_BORDER_BOTTOM) {
        pDC->FillSolidRect(outer.left, outer.bottom - 1, outer.Width(), 1, shadow);
        rect.bottom -= 1;
    }
    if (m_dwStyle & CBRS_BORDER_TOP) {
        pDC->FillSolidRect(outer.left, outer.top, rect.right - outer.left, 1, light);
        rect.top += 1;
    }
    if (m_dwStyle & CBRS_BORDER_LEFT) {
        pDC->FillSolidRect(outer.left, outer.top, 1, rect.bottom - outer.top, light);
        rect.left += 1;
    }
}

void CFlatBarBase::DrawGripper(CDC* pDC, const CRect& rect) {
    if (!HasGripper()) return;
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
    const bool horz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    // Across the bar: from the top margin to the bottom one (lying down: the left and right).
    const int from = (horz ? rect.top : rect.left) + m_cyTopBorder;
    const int to = (horz ? rect.bottom : rect.right) - m_cyBottomBorder;
    const int edge = horz ? rect.left : rect.top;
    auto draw = [&](int offset, int thickness, int start, int length, bool raised) {
        const int along = edge + offset;
        if (raised) {
            if (horz)
                pDC->Draw3dRect(along, start, thickness, length, light, shadow);
            else
                pDC->Draw3dRect(start, along, length, thickness, light, shadow);
            return;
        }
        // A flat mark: a highlight line with one shadow pixel after it.
        if (horz) {
            pDC->FillSolidRect(along, start, 1, length, light);
            pDC->FillSolidRect(along + 1, start + length - 1, 1, 1, shadow);
        } else {
            pDC->FillSolidRect(start, along, length, 1, light);
            pDC->FillSolidRect(start + length - 1, along + 1, 1, 1, shadow);
        }
    };
    if (flatGripper) {
        const int middle = (from + to) / 2 - kMarkLength / 2;
        draw(kFirstBar, 1, middle, kMarkLength, false);
        draw(kSecondBar, 1, middle, kMarkLength, false);
    } else {
        draw(kFirstBar, kBarWidth, from, to - from, true);
        if (!inRebar) draw(kSecondBar, kBarWidth, from, to - from, true);
    }
}
