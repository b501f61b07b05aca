#include "platform/framework/CToolBar.h"

#include <algorithm>

#include "platform/framework/AfxMsg.h"
#include "platform/framework/CCmdUI.h"
#include "platform/framework/ToolbarResource.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/Images.h"
#include "platform/window/Windows.h"

IMPLEMENT_DYNAMIC(CToolBar, CControlBar)

namespace {

constexpr DWORD kBarControlStyles = CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NOMOVEY;

// A toolbar button's state, changed through the bar so that what shows follows at once.
class CToolCmdUI : public CCmdUI {
public:
    void Enable(BOOL bOn) override {
        m_bEnableChanged = TRUE;
        auto* bar = static_cast<CToolBar*>(m_pOther);
        const auto index = static_cast<int>(m_nIndex);
        const UINT old = bar->GetButtonStyle(index);
        UINT style = old & ~TBBS_DISABLED;
        // A button that goes grey is no longer held down.
        if (!bOn) style = (style | TBBS_DISABLED) & ~TBBS_PRESSED;
        if (style != old) bar->SetButtonStyle(index, style);
    }
    void SetCheck(int nCheck) override {
        auto* bar = static_cast<CToolBar*>(m_pOther);
        const auto index = static_cast<int>(m_nIndex);
        const UINT old = bar->GetButtonStyle(index);
        UINT style = old & ~(TBBS_CHECKED | TBBS_INDETERMINATE);
        if (nCheck == 1)
            style |= TBBS_CHECKED;
        else if (nCheck == 2)
            style |= TBBS_INDETERMINATE;
        // A checked command's button is a check box.
        style |= TBBS_CHECKBOX;
        if (style != old) bar->SetButtonStyle(index, style);
    }
    void SetRadio(BOOL bOn) override { SetCheck(bOn ? 1 : 0); }
    void SetText(LPCSTR) override {}
};

}  // namespace

CToolBar::CToolBar() {
    // A little more room above and below the buttons to take hold of the bar.
    m_cyTopBorder = m_cyBottomBorder = 3;
}

CToolBar::~CToolBar() = default;

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
    return CreateEx(pParentWnd, 0, dwStyle,
                    CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder), nID);
}

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, CRect rcBorders, UINT nID) {
    SetBorders(&rcBorders);
    m_dwStyle = dwStyle & CBRS_ALL;
    // The main toolbar hides while the frame shows something in its place.
    if (nID == AFX_IDW_TOOLBAR) m_dwStyle |= CBRS_HIDE_INPLACE;
    // The control neither places nor sizes itself: the frame does.
    const DWORD style = dwCtrlStyle | (dwStyle & ~CBRS_ALL) | kBarControlStyles | WS_CHILD;
    InitCommonControls();
    if (!CWnd::Create(TOOLBARCLASSNAMEA, nullptr, style, CRect(), pParentWnd, nID)) return FALSE;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    if (m_hWndOwner) SendMessage(TB_SETPARENT, reinterpret_cast<WPARAM>(m_hWndOwner));
    SetSizes(m_sizeButton, m_sizeImage);
    return TRUE;
}

void CToolBar::SetOwner(CWnd* pOwnerWnd) {
    if (m_hWnd) SendMessage(TB_SETPARENT, reinterpret_cast<WPARAM>(SafeHwnd(pOwnerWnd)));
    CControlBar::SetOwner(pOwnerWnd);
}

void CToolBar::SetSizes(SIZE sizeButton, SIZE sizeImage) {
    m_sizeButton = sizeButton;
    m_sizeImage = sizeImage;
    if (!m_hWnd) return;
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(sizeImage.cx, sizeImage.cy));
    SendMessage(TB_SETBUTTONSIZE, 0, MAKELPARAM(sizeButton.cx, sizeButton.cy));
    Invalidate();
}

void CToolBar::SetHeight(int cyHeight) {
    const int line = (m_dwStyle & CBRS_BORDER_3D) ? 2 : 1;
    if (m_dwStyle & CBRS_BORDER_TOP) cyHeight -= line;
    if (m_dwStyle & CBRS_BORDER_BOTTOM) cyHeight -= line;
    const int spare = std::max(0, cyHeight - static_cast<int>(m_sizeButton.cy));
    m_cyBottomBorder = spare / 2;
    m_cyTopBorder = spare - m_cyBottomBorder;
    if (m_hWnd) RecalcNonClient();
}

BOOL CToolBar::LoadToolBar(UINT nIDResource) {
    const std::optional<ToolbarResource> resource = ToolbarResource::Find(nIDResource);
    if (!resource) return FALSE;
    const std::vector<UINT> ids(resource->items.begin(), resource->items.end());
    if (!SetButtons(ids.data(), static_cast<int>(ids.size()))) return FALSE;
    SetSizes(CSize(resource->wWidth + 7, resource->wHeight + 7), CSize(resource->wWidth, resource->wHeight));
    return LoadBitmap(nIDResource);
}

BOOL CToolBar::LoadBitmap(UINT nIDResource) {
    const HBITMAP bitmap = CreateMappedBitmap(nullptr, static_cast<std::intptr_t>(nIDResource), 0, nullptr, 0);
    if (!bitmap) return FALSE;
    if (!SetBitmap(bitmap)) return FALSE;
    m_nIDBitmap = nIDResource;
    return TRUE;
}

BOOL CToolBar::SetBitmap(HBITMAP hbmImageWell) {
    CBitmap taken;
    taken.Attach(hbmImageWell);  // freed here when it cannot be used
    BITMAP info{};
    if (!m_hWnd || !hbmImageWell || !::GetObjectA(hbmImageWell, sizeof info, &info) || m_sizeImage.cx <= 0)
        return FALSE;
    const int count = std::max<int>(1, info.bmWidth / m_sizeImage.cx);
    if (m_bitmap.m_hObject) {
        TBREPLACEBITMAP replace{nullptr, reinterpret_cast<UINT_PTR>(m_bitmap.m_hObject), nullptr,
                                reinterpret_cast<UINT_PTR>(hbmImageWell), count};
        if (!SendMessage(TB_REPLACEBITMAP, 0, reinterpret_cast<LPARAM>(&replace))) return FALSE;
    } else {
        TBADDBITMAP add{nullptr, reinterpret_cast<UINT_PTR>(hbmImageWell)};
        if (SendMessage(TB_ADDBITMAP, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(&add)) < 0) return FALSE;
    }
    m_bitmap.DeleteObject();
    m_bitmap.Attach(taken.Detach());
    m_nIDBitmap = 0;
    Invalidate();
    return TRUE;
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount) {
    if (!m_hWnd || nIDCount < 0) return FALSE;
    while (SendMessage(TB_BUTTONCOUNT) > 0)
        if (!SendMessage(TB_DELETEBUTTON, 0)) return FALSE;
    std::vector<TBBUTTON> buttons;
    int image = 0;
    for (int i = 0; i < nIDCount; ++i) {
        TBBUTTON b{};
        const UINT id = lpIDArray ? lpIDArray[i] : ID_SEPARATOR;
        if (id == ID_SEPARATOR) {
            b.fsStyle = BTNS_SEP;  // iBitmap 0: the control's own separator width
        } else {
            b.iBitmap = image++;
            b.idCommand = static_cast<int>(id);
            b.fsState = TBSTATE_ENABLED;
            b.fsStyle = BTNS_BUTTON;
        }
        buttons.push_back(b);
    }
    if (!buttons.empty() &&
        !SendMessage(TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data())))
        return FALSE;
    Invalidate();
    return TRUE;
}

int CToolBar::GetCount() const { return static_cast<int>(SendMessage(TB_BUTTONCOUNT)); }

int CToolBar::CommandToIndex(UINT nIDFind) const { return static_cast<int>(SendMessage(TB_COMMANDTOINDEX, nIDFind)); }

UINT CToolBar::GetItemID(int nIndex) const {
    TBBUTTON b{};
    if (!SendMessage(TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&b))) return 0;
    return static_cast<UINT>(b.idCommand);
}

void CToolBar::GetItemRect(int nIndex, LPRECT lpRect) const {
    if (!SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect)))
        *lpRect = RECT{};
}

UINT CToolBar::GetButtonStyle(int nIndex) const {
    TBBUTTON b{};
    if (!SendMessage(TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&b))) return 0;
    return UINT{b.fsStyle} | UINT{static_cast<BYTE>(b.fsState ^ TBSTATE_ENABLED)} << 16;
}

void CToolBar::SetButtonStyle(int nIndex, UINT nStyle) {
    TBBUTTON b{};
    if (!SendMessage(TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&b))) return;
    TBBUTTONINFOA info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_STYLE | TBIF_STATE | TBIF_BYINDEX;
    info.fsStyle = static_cast<BYTE>(LOWORD(nStyle));
    // Where rows end is the bar's to say.
    info.fsState = static_cast<BYTE>(((HIWORD(nStyle) ^ TBSTATE_ENABLED) & ~TBSTATE_WRAP) | (b.fsState & TBSTATE_WRAP));
    if (info.fsStyle == b.fsStyle && info.fsState == b.fsState) return;
    SendMessage(TB_SETBUTTONINFOA, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&info));
}

void CToolBar::GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const {
    TBBUTTON b{};
    SendMessage(TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&b));
    nID = static_cast<UINT>(b.idCommand);
    nStyle = GetButtonStyle(nIndex);
    iImage = b.iBitmap;
}

void CToolBar::SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage) {
    TBBUTTONINFOA info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_COMMAND | TBIF_IMAGE | TBIF_BYINDEX;
    info.idCommand = static_cast<int>(nID);
    info.iImage = iImage;
    SendMessage(TB_SETBUTTONINFOA, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&info));
    SetButtonStyle(nIndex, nStyle);
}

// ---- Layout ----

std::vector<CToolBar::Item> CToolBar::Items() const {
    std::vector<Item> items;
    const int count = GetCount();
    const int width = LOWORD(static_cast<std::uintptr_t>(SendMessage(TB_GETBUTTONSIZE)));
    const int separator = (GetStyle() & TBSTYLE_FLAT) ? 6 : 8;
    for (int i = 0; i < count; ++i) {
        TBBUTTON b{};
        SendMessage(TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b));
        const bool sep = (b.fsStyle & BTNS_SEP) != 0;
        items.push_back(Item{sep, (b.fsState & TBSTATE_HIDDEN) != 0, sep ? (b.iBitmap > 0 ? b.iBitmap : separator) : width});
    }
    return items;
}

std::vector<bool> CToolBar::OneRow(const std::vector<Item>& items) { return std::vector<bool>(items.size(), false); }

std::vector<bool> CToolBar::Column(const std::vector<Item>& items) {
    // Every button on a row of its own; a separator ends the row of the button before it and
    // lies across the gap below.
    std::vector<bool> wraps(items.size(), false);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].hidden) continue;
        if (items[i].separator) {
            wraps[i] = true;
            continue;
        }
        std::size_t next = i + 1;
        while (next < items.size() && items[next].hidden) ++next;
        wraps[i] = !(next < items.size() && items[next].separator);
    }
    return wraps;
}

std::vector<bool> CToolBar::WrapTo(const std::vector<Item>& items, int width) {
    std::vector<bool> wraps(items.size(), false);
    int x = 0;
    int previous = -1;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].hidden) continue;
        if (!items[i].separator && x > 0 && x + items[i].width > width && previous >= 0) {
            // The row ends at the item before: a separator there becomes the gap between rows.
            wraps[static_cast<std::size_t>(previous)] = true;
            x = 0;
        }
        x += items[i].width;
        previous = static_cast<int>(i);
    }
    return wraps;
}

CSize CToolBar::ButtonArea(const std::vector<Item>& items, const std::vector<bool>& wraps) const {
    const int height = HIWORD(static_cast<std::uintptr_t>(SendMessage(TB_GETBUTTONSIZE)));
    int x = 0, y = 0, right = 0, bottom = 0;
    bool any = false;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].hidden) continue;
        any = true;
        if (items[i].separator && wraps[i]) {
            const int gap = items[i].width * 2 / 3;
            bottom = std::max(bottom, y + height + gap);
            x = 0;
            y += height + gap;
            continue;
        }
        x += items[i].width;
        right = std::max(right, x);
        bottom = std::max(bottom, y + height);
        if (wraps[i]) {
            x = 0;
            y += height;
        }
    }
    return any ? CSize(right, bottom) : CSize(0, height);
}

void CToolBar::ApplyWraps(const std::vector<bool>& wraps) {
    for (std::size_t i = 0; i < wraps.size(); ++i) {
        TBBUTTON b{};
        if (!SendMessage(TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b))) continue;
        const BYTE state = static_cast<BYTE>(wraps[i] ? (b.fsState | TBSTATE_WRAP) : (b.fsState & ~TBSTATE_WRAP));
        if (state == b.fsState) continue;
        // By position: separators share command 0.
        TBBUTTONINFOA info{};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_STATE | TBIF_BYINDEX;
        info.fsState = state;
        SendMessage(TB_SETBUTTONINFOA, i, reinterpret_cast<LPARAM>(&info));
    }
}

CSize CToolBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
    return CalcDynamicLayout(-1, (bStretch ? LM_STRETCH : 0) | (bHorz ? LM_HORZ | LM_HORZDOCK : LM_VERTDOCK));
}

CSize CToolBar::CalcDynamicLayout(int nLength, DWORD dwMode) {
    if (!m_hWnd) return CSize();
    const std::vector<Item> items = Items();
    std::vector<bool> wraps;
    const bool docked = (dwMode & (LM_HORZDOCK | LM_VERTDOCK)) != 0;
    const bool shaped = !docked && ((dwMode & (LM_MRUWIDTH | LM_LENGTHY)) || nLength >= 0);
    if (dwMode & LM_VERTDOCK) {
        wraps = Column(items);
    } else if (shaped && (dwMode & LM_LENGTHY)) {
        // The narrowest rows that fit in the height asked for; one row when none do.
        wraps = OneRow(items);
        const int full = ButtonArea(items, wraps).cx;
        for (int width = 1; width <= full; ++width) {
            std::vector<bool> tried = WrapTo(items, width);
            if (ButtonArea(items, tried).cy <= nLength) {
                wraps = std::move(tried);
                break;
            }
        }
    } else if (shaped) {
        wraps = WrapTo(items, (dwMode & LM_MRUWIDTH) ? m_nMRUWidth : nLength);
    } else {
        wraps = OneRow(items);
    }
    const CSize area = ButtonArea(items, wraps);
    CRect inside;
    CalcInsideRect(inside, (dwMode & LM_VERTDOCK) == 0);
    CSize size(area.cx - inside.Width(), area.cy - inside.Height());
    if (dwMode & LM_STRETCH) {
        if (dwMode & LM_HORZ)
            size.cx = 32767;
        else
            size.cy = 32767;
    }
    if (dwMode & LM_COMMIT) {
        ApplyWraps(wraps);
        if (shaped) m_nMRUWidth = area.cx;
    }
    return size;
}

// ---- Commands ----

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) {
    CToolCmdUI state;
    state.m_pOther = this;
    const int count = GetCount();
    state.m_nIndexMax = static_cast<UINT>(std::max(0, count));
    for (int i = 0; i < count; ++i) {
        TBBUTTON b{};
        if (!SendMessage(TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b))) continue;
        if (b.fsStyle & BTNS_SEP) continue;
        state.m_nIndex = static_cast<UINT>(i);
        state.m_nID = static_cast<UINT>(b.idCommand);
        state.DoUpdate(pTarget, bDisableIfNoHndler);
    }
    // Controls on the bar (a combo box, say) follow their commands too.
    UpdateDialogControls(pTarget, bDisableIfNoHndler);
}

INT_PTR CToolBar::OnToolHitTest(CPoint point, TOOLINFOA* pTI) const {
    POINT p = point;
    const auto index = static_cast<int>(SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&p)));
    if (index < 0) return -1;
    TBBUTTON b{};
    if (!SendMessage(TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&b)) ||
        (b.fsStyle & BTNS_SEP) || b.idCommand == 0)
        return -1;
    if (pTI) {
        SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&pTI->rect));
        pTI->hwnd = m_hWnd;
        pTI->uId = static_cast<UINT_PTR>(b.idCommand);
        pTI->lpszText = LPSTR_TEXTCALLBACKA;
    }
    return b.idCommand;
}

BEGIN_MESSAGE_MAP(CToolBar, CControlBar)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_SYSCOLORCHANGE()
END_MESSAGE_MAP()

void CToolBar::OnPaint() { Default(); }

BOOL CToolBar::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }

void CToolBar::OnSysColorChange() {
    // Pictures loaded with the button colours take the new ones.
    if (const UINT id = m_nIDBitmap) LoadBitmap(id);
    Default();
}
