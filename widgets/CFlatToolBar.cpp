#include "widgets/CFlatToolBar.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>

#include "platform/framework/AfxMsg.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CMenu.h"
#include "platform/framework/CWinApp.h"
#include "platform/framework/ToolbarButtons.h"
#include "platform/framework/ToolbarResource.h"
#include "platform/framework/ToolbarRows.h"
#include "platform/graphics/Images.h"
#include "platform/window/Windows.h"
#include "widgets/FlatToolBarSettings.h"

IMPLEMENT_DYNAMIC(CFlatToolBar, CFlatBarBase)

namespace {

constexpr DWORD kFlatStyles = TBSTYLE_FLAT | TBSTYLE_TRANSPARENT;
constexpr int kSizeMargin = 7;                // a button is its picture and this much more
constexpr int kOlderClientShift = 2;          // before 4.71 the client area starts this much higher
constexpr WPARAM kRecordSize = 20;            // the button record of the platform's 32-bit form
constexpr int kFlatSeparator = 6, kSeparator = 8;

std::atomic<int> gToolbarsMade{0};

DWORD Version() { return FlatToolBarSettings::Instance().comCtlVersion; }

std::string Format(const char* format, const char* a, const char* b) {
    char text[512];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

}  // namespace

CFlatToolBar::CFlatToolBar() {
    m_cyTopBorder = m_cyBottomBorder = 3;
    char name[32];
    std::snprintf(name, sizeof name, "FlatToolBar %d", ++gToolbarsMade);
    stateValueName = name;
    // Without a registry key the application keeps no settings, and neither does the bar.
    if (const CWinApp* app = AfxGetApp(); app && app->m_pszRegistryKey && app->m_pszProfileName)
        stateSubKey = Format("Software\\%s\\%s\\Settings", app->m_pszRegistryKey, app->m_pszProfileName);
}

CFlatToolBar::~CFlatToolBar() = default;

BOOL CFlatToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, CRect rcBorders, UINT nID) {
    SetBorders(&rcBorders);
    m_dwStyle = dwStyle & kBarStyleMask;
    // The main toolbar hides while the frame shows something in its place.
    if (nID == AFX_IDW_TOOLBAR) m_dwStyle |= CBRS_HIDE_INPLACE;
    const DWORD style = dwCtrlStyle | (dwStyle & kControlStyleMask) | kControlStyles;
    InitCommonControls();
    if (!CWnd::Create(TOOLBARCLASSNAMEA, nullptr, style, CRect(), pParentWnd, nID)) return FALSE;
    SetSizes(CSize(buttonWidth, buttonHeight), CSize(imageWidth, imageHeight));
    return TRUE;
}

BOOL CFlatToolBar::LoadToolBar(UINT nIDResource, const CustomizeButton* pCustomize, int nCustomizeCount) {
    const std::optional<ToolbarResource> resource = ToolbarResource::Find(nIDResource);
    if (!resource || !m_hWnd) return FALSE;
    const bool flat = (GetStyle() & TBSTYLE_FLAT) || Version() == FlatToolBarSettings::kVersion471;
    const std::vector<UINT> ids(resource->items.begin(), resource->items.end());
    if (!ToolbarButtons::SetButtons(m_hWnd, ids.data(), static_cast<int>(ids.size()), flat ? kFlatSeparator : kSeparator))
        return FALSE;
    SetSizes(CSize(resource->wWidth + kSizeMargin, resource->wHeight + kSizeMargin),
             CSize(resource->wWidth, resource->wHeight));
    bitmapResource = nIDResource;
    bitmapInstance = nullptr;  // the program's own resources
    if (!LoadMappedBitmap()) return FALSE;
    if (pCustomize && nCustomizeCount > 0) {
        customizeButtons = pCustomize;
        customizeCount = nCustomizeCount;
        ModifyStyle(0, CCS_ADJUSTABLE);
        RestoreState();
    }
    layoutPending = true;
    return TRUE;
}

BOOL CFlatToolBar::LoadMappedBitmap() {
    const HBITMAP mapped = CreateMappedBitmap(bitmapInstance, static_cast<std::intptr_t>(bitmapResource), 0, nullptr, 0);
    return mapped && ToolbarButtons::SetBitmap(m_hWnd, bitmap, mapped, CSize(imageWidth, imageHeight));
}

void CFlatToolBar::SetSizes(SIZE sizeButton, SIZE sizeImage) {
    buttonWidth = sizeButton.cx;
    buttonHeight = sizeButton.cy;
    imageWidth = sizeImage.cx;
    imageHeight = sizeImage.cy;
    if (!m_hWnd) return;
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(sizeImage.cx, sizeImage.cy));
    SendMessage(TB_SETBUTTONSIZE, 0, MAKELPARAM(sizeButton.cx, sizeButton.cy));
    Invalidate();
}

void CFlatToolBar::SetDropDownMenu(UINT commandId, UINT menuResource) {
    auto it = std::find_if(dropDownMenus.begin(), dropDownMenus.end(),
                           [&](const DropDownMenu& d) { return d.commandId == commandId; });
    if (it != dropDownMenus.end())
        it->menuResource = menuResource;
    else
        dropDownMenus.push_back(DropDownMenu{commandId, menuResource});
    if (!m_hWnd) return;
    SendMessage(TB_SETEXTENDEDSTYLE, TBSTYLE_EX_DRAWDDARROWS, TBSTYLE_EX_DRAWDDARROWS);
    const int index = CommandToIndex(commandId);
    if (index >= 0)
        ToolbarButtons::SetButtonStyle(m_hWnd, index, ToolbarButtons::GetButtonStyle(m_hWnd, index) | BTNS_DROPDOWN);
    layoutPending = true;
}

void CFlatToolBar::SaveState() {
    if (stateSubKey.empty() || !m_hWnd) return;
    TBSAVEPARAMSA params{stateKeyRoot, stateSubKey.c_str(), stateValueName.c_str()};
    SendMessage(TB_SAVERESTOREA, TRUE, reinterpret_cast<LPARAM>(&params));
}

void CFlatToolBar::RestoreState() {
    if (stateSubKey.empty() || !m_hWnd) return;
    TBSAVEPARAMSA params{stateKeyRoot, stateSubKey.c_str(), stateValueName.c_str()};
    SendMessage(TB_SAVERESTOREA, FALSE, reinterpret_cast<LPARAM>(&params));
}

int CFlatToolBar::GetCount() const { return ToolbarButtons::GetCount(m_hWnd); }

int CFlatToolBar::CommandToIndex(UINT nIDFind) const { return ToolbarButtons::CommandToIndex(m_hWnd, nIDFind); }

UINT CFlatToolBar::GetItemID(int nIndex) const { return ToolbarButtons::GetItemID(m_hWnd, nIndex); }

void CFlatToolBar::GetItemRect(int nIndex, LPRECT lpRect) const { ToolbarButtons::GetItemRect(m_hWnd, nIndex, lpRect); }

// ---- The framework's bar ----

CSize CFlatToolBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
    return CalcDynamicLayout(-1, (bStretch ? LM_STRETCH : 0) | (bHorz ? LM_HORZ | LM_HORZDOCK : LM_VERTDOCK));
}

CSize CFlatToolBar::CalcDynamicLayout(int nLength, DWORD dwMode) {
    if (dwMode & LM_COMMIT) layoutPending = false;
    return ToolbarRows::DynamicLayout(*this, nLength, dwMode);
}

DWORD CFlatToolBar::CurrentLayoutMode() const {
    if (IsFloating()) return LM_HORZ | LM_MRUWIDTH;
    return (m_dwStyle & CBRS_ORIENT_HORZ) ? LM_HORZ | LM_HORZDOCK : LM_VERTDOCK;
}

void CFlatToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) {
    ToolbarButtons::UpdateCommands(*this, pTarget, bDisableIfNoHndler);
}

INT_PTR CFlatToolBar::OnToolHitTest(CPoint point, TOOLINFOA* pTI) const {
    return ToolbarButtons::HitTest(m_hWnd, point, pTI);
}

// ---- Messages ----

LRESULT CFlatToolBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case TB_SETBUTTONSIZE:
        case TB_SETBITMAPSIZE:
        case WM_SETTINGCHANGE:
        case WM_SETFONT:
            return WithoutFlatStyles(message, wParam, lParam);
        default:
            return CFlatBarBase::WindowProc(message, wParam, lParam);
    }
}

LRESULT CFlatToolBar::WithoutFlatStyles(UINT message, WPARAM wParam, LPARAM lParam) {
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(m_hWnd, GWL_STYLE));
    const bool clear = Version() >= FlatToolBarSettings::kVersion471 && (style & kFlatStyles);
    if (clear) SetWindowLongPtrA(m_hWnd, GWL_STYLE, static_cast<std::intptr_t>(style & ~kFlatStyles));
    const LRESULT result = CFlatBarBase::WindowProc(message, wParam, lParam);
    if (clear && ::IsWindow(m_hWnd)) {
        const auto now = static_cast<DWORD>(GetWindowLongPtrA(m_hWnd, GWL_STYLE));
        SetWindowLongPtrA(m_hWnd, GWL_STYLE, static_cast<std::intptr_t>(now | (style & kFlatStyles)));
    }
    if (!::IsWindow(m_hWnd)) return result;
    // What the control took is what the layout works with.
    const auto size = static_cast<std::uintptr_t>(SendMessage(TB_GETBUTTONSIZE));
    buttonWidth = LOWORD(size);
    buttonHeight = HIWORD(size);
    if (message == TB_SETBITMAPSIZE) {
        imageWidth = LOWORD(static_cast<std::uintptr_t>(lParam));
        imageHeight = HIWORD(static_cast<std::uintptr_t>(lParam));
    }
    layoutPending = true;
    return result;
}

BEGIN_MESSAGE_MAP(CFlatToolBar, CFlatBarBase)
ON_WM_NCCREATE()
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_NCCALCSIZE()
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_RBUTTONDOWN()
ON_WM_SYSCOLORCHANGE()
ON_NOTIFY_REFLECT(TBN_ENDADJUST, &CFlatToolBar::OnEndAdjust)
ON_NOTIFY_REFLECT(TBN_RESET, &CFlatToolBar::OnReset)
ON_NOTIFY_REFLECT(TBN_GETBUTTONINFOA, &CFlatToolBar::OnGetButtonInfo)
ON_NOTIFY_REFLECT(TBN_QUERYINSERT, &CFlatToolBar::OnQueryInsertOrDelete)
ON_NOTIFY_REFLECT(TBN_QUERYDELETE, &CFlatToolBar::OnQueryInsertOrDelete)
ON_NOTIFY_REFLECT(TBN_TOOLBARCHANGE, &CFlatToolBar::OnToolBarChange)
ON_NOTIFY_REFLECT(TBN_BEGINDRAG, &CFlatToolBar::OnIgnored)
ON_NOTIFY_REFLECT(TBN_ENDDRAG, &CFlatToolBar::OnIgnored)
ON_NOTIFY_REFLECT(TBN_BEGINADJUST, &CFlatToolBar::OnIgnored)
ON_NOTIFY_REFLECT(TBN_CUSTHELP, &CFlatToolBar::OnIgnored)
ON_NOTIFY_REFLECT(TBN_DROPDOWN, &CFlatToolBar::OnDropDown)
END_MESSAGE_MAP()

BOOL CFlatToolBar::OnNcCreate(LPCREATESTRUCTA lpcs) {
    char name[32] = "";
    if (lpcs->hwndParent && ::GetClassNameA(lpcs->hwndParent, name, sizeof name) && std::strcmp(name, "ReBarWindow32") == 0) {
        // In a rebar the bar's notices and commands go to the frame around the rebar.
        if (CWnd* parent = CWnd::FromHandle(lpcs->hwndParent)) SetOwner(parent->GetParentFrame());
        inRebar = TRUE;
    }
    return CFlatBarBase::OnNcCreate(lpcs);
}

int CFlatToolBar::OnCreate(LPCREATESTRUCTA lpcs) {
    if (CFlatBarBase::OnCreate(lpcs) == -1) return -1;
    // The control exists from here on: tell it where its notices go and how big a record is.
    CWnd* owner = GetOwner();
    SendMessage(TB_SETPARENT, reinterpret_cast<WPARAM>(owner ? owner->m_hWnd : ::GetParent(m_hWnd)));
    SendMessage(TB_BUTTONSTRUCTSIZE, kRecordSize);
    return 0;
}

void CFlatToolBar::OnDestroy() {
    SaveState();
    CFlatBarBase::OnDestroy();
}

void CFlatToolBar::OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp) {
    const LONG windowTop = lpncsp->rgrc[0].top;
    CFlatBarBase::OnNcCalcSize(bCalcValidRects, lpncsp);
    if (Version() < FlatToolBarSettings::kVersion471) {
        // Never above the window itself.
        RECT& r = lpncsp->rgrc[0];
        r.top = std::max(windowTop, r.top - kOlderClientShift);
    }
}

void CFlatToolBar::OnPaint() {
    if (layoutPending) CalcDynamicLayout(-1, CurrentLayoutMode() | LM_COMMIT);
    Default();
}

BOOL CFlatToolBar::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }

void CFlatToolBar::OnRButtonDown(UINT, CPoint point) {
    if (!customizeButtons || customizeCount <= 0) {
        Default();
        return;
    }
    CMenu menu;
    if (!menu.CreatePopupMenu() || !menu.AppendMenu(MF_STRING, kCustomizeCommand, "&Customize...")) return;
    ClientToScreen(&point);
    const BOOL chosen = menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, point.x, point.y, this);
    if (static_cast<UINT>(chosen) == kCustomizeCommand && ::IsWindow(m_hWnd)) SendMessage(TB_CUSTOMIZE);
}

void CFlatToolBar::OnSysColorChange() {
    // The pictures were mapped to the old button colours.
    if (bitmapResource) LoadMappedBitmap();
    Default();
}

// ---- The control's notices, reflected ----

void CFlatToolBar::OnEndAdjust(NMHDR*, LRESULT* pResult) {
    SaveState();
    *pResult = 0;
}

void CFlatToolBar::OnReset(NMHDR*, LRESULT* pResult) {
    RestoreState();
    *pResult = 0;
}

void CFlatToolBar::OnGetButtonInfo(NMHDR* pNMHDR, LRESULT* pResult) {
    auto* info = reinterpret_cast<NMTOOLBARA*>(pNMHDR);
    *pResult = FALSE;
    if (!customizeButtons || info->iItem < 0 || info->iItem >= customizeCount) return;
    const CustomizeButton& offered = customizeButtons[info->iItem];
    info->tbButton = offered.button;
    // The text goes into the control's buffer, cut to its size.
    if (info->pszText && info->cchText > 0) {
        const char* text = offered.text ? offered.text : "";
        const std::size_t n = std::min(std::strlen(text), static_cast<std::size_t>(info->cchText - 1));
        std::memcpy(info->pszText, text, n);
        info->pszText[n] = '\0';
    }
    *pResult = TRUE;
}

void CFlatToolBar::OnQueryInsertOrDelete(NMHDR*, LRESULT* pResult) {
    // A floating bar keeps its buttons: its mini-frame is sized to them.
    *pResult = !IsFloating();
}

void CFlatToolBar::OnToolBarChange(NMHDR*, LRESULT* pResult) {
    layoutPending = true;
    if (CFrameWnd* frame = GetParentFrame()) frame->RecalcLayout();
    *pResult = 0;
}

void CFlatToolBar::OnIgnored(NMHDR*, LRESULT* pResult) { *pResult = 0; }

void CFlatToolBar::OnDropDown(NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = TBDDRET_DEFAULT;
    const auto* info = reinterpret_cast<NMTOOLBARA*>(pNMHDR);
    const auto entry = std::find_if(dropDownMenus.begin(), dropDownMenus.end(), [&](const DropDownMenu& d) {
        return d.commandId == static_cast<UINT>(info->iItem);
    });
    if (entry == dropDownMenus.end()) return;
    CMenu menu;
    if (!menu.LoadMenu(entry->menuResource)) return;
    CMenu* popup = menu.GetSubMenu(0);
    const int index = CommandToIndex(entry->commandId);
    if (!popup || index < 0) return;
    CRect button;
    GetItemRect(index, &button);
    ClientToScreen(&button);
    if (GetExStyle() & WS_EX_LAYOUTRTL) std::swap(button.left, button.right);
    TPMPARAMS params{sizeof(TPMPARAMS), button};
    // Commands go to the frame the bar serves, also while it floats.
    CFrameWnd* frame = GetDockingFrame();
    ::TrackPopupMenuEx(popup->m_hMenu, TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_VERTICAL, button.left, button.bottom,
                       frame ? frame->m_hWnd : m_hWnd, &params);
}
