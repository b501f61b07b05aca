#include "platform/framework/CToolBar.h"

#include <algorithm>

#include "platform/framework/AfxMsg.h"
#include "platform/framework/CCmdUI.h"
#include "platform/framework/ToolbarButtons.h"
#include "platform/framework/ToolbarResource.h"
#include "platform/framework/ToolbarRows.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/Images.h"
#include "platform/window/Windows.h"

IMPLEMENT_DYNAMIC(CToolBar, CControlBar)

namespace {

constexpr DWORD kBarControlStyles = CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NOMOVEY;

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
    if (!ToolbarButtons::SetBitmap(m_hWnd, m_bitmap, hbmImageWell, m_sizeImage)) return FALSE;
    m_nIDBitmap = 0;
    return TRUE;
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount) {
    return ToolbarButtons::SetButtons(m_hWnd, lpIDArray, nIDCount);
}

int CToolBar::GetCount() const { return ToolbarButtons::GetCount(m_hWnd); }

int CToolBar::CommandToIndex(UINT nIDFind) const { return ToolbarButtons::CommandToIndex(m_hWnd, nIDFind); }

UINT CToolBar::GetItemID(int nIndex) const { return ToolbarButtons::GetItemID(m_hWnd, nIndex); }

void CToolBar::GetItemRect(int nIndex, LPRECT lpRect) const { ToolbarButtons::GetItemRect(m_hWnd, nIndex, lpRect); }

UINT CToolBar::GetButtonStyle(int nIndex) const { return ToolbarButtons::GetButtonStyle(m_hWnd, nIndex); }

void CToolBar::SetButtonStyle(int nIndex, UINT nStyle) { ToolbarButtons::SetButtonStyle(m_hWnd, nIndex, nStyle); }

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

CSize CToolBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
    return CalcDynamicLayout(-1, (bStretch ? LM_STRETCH : 0) | (bHorz ? LM_HORZ | LM_HORZDOCK : LM_VERTDOCK));
}

CSize CToolBar::CalcDynamicLayout(int nLength, DWORD dwMode) { return ToolbarRows::DynamicLayout(*this, nLength, dwMode); }

// ---- Commands ----

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) {
    ToolbarButtons::UpdateCommands(*this, pTarget, bDisableIfNoHndler);
}

INT_PTR CToolBar::OnToolHitTest(CPoint point, TOOLINFOA* pTI) const { return ToolbarButtons::HitTest(m_hWnd, point, pTI); }

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
