#include "platform/framework/CStatusBar.h"

#include <algorithm>
#include <cstring>

#include "platform/framework/AfxMsg.h"
#include "platform/framework/CCmdUI.h"
#include "platform/framework/StringTable.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/TextOutput.h"
#include "platform/window/Windows.h"

IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)

namespace {

constexpr DWORD kBarControlStyles = CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NODIVIDER | CCS_NORESIZE;
constexpr int kTextMargin = 3;   // the control's room left and right of a pane's text
constexpr int kBetweenPanes = 2;  // and between panes

// A pane's state, changed through the bar.
class CStatusCmdUI : public CCmdUI {
public:
    void Enable(BOOL bOn) override {
        m_bEnableChanged = TRUE;
        auto* bar = static_cast<CStatusBar*>(m_pOther);
        const auto index = static_cast<int>(m_nIndex);
        const UINT old = bar->GetPaneStyle(index);
        const UINT style = bOn ? (old & ~SBPS_DISABLED) : (old | SBPS_DISABLED);
        if (style != old) bar->SetPaneStyle(index, style);
    }
    void SetCheck(int nCheck) override {
        auto* bar = static_cast<CStatusBar*>(m_pOther);
        const auto index = static_cast<int>(m_nIndex);
        const UINT old = bar->GetPaneStyle(index);
        const UINT style = nCheck ? (old | SBPS_POPOUT) : (old & ~SBPS_POPOUT);
        if (style != old) bar->SetPaneStyle(index, style);
    }
    void SetRadio(BOOL bOn) override { SetCheck(bOn ? 1 : 0); }
    void SetText(LPCSTR lpszText) override {
        auto* bar = static_cast<CStatusBar*>(m_pOther);
        const auto index = static_cast<int>(m_nIndex);
        if (bar->GetPaneText(index) != (lpszText ? lpszText : "")) bar->SetPaneText(index, lpszText);
    }
};

}  // namespace

CStatusBar::CStatusBar() {
    // The control draws its own room around the panes.
    m_cxLeftBorder = m_cxRightBorder = m_cyTopBorder = m_cyBottomBorder = 0;
}

CStatusBar::~CStatusBar() = default;

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) { return CreateEx(pParentWnd, 0, dwStyle, nID); }

BOOL CStatusBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID) {
    m_dwStyle = dwStyle & CBRS_ALL;
    InitCommonControls();
    return CWnd::Create(STATUSCLASSNAMEA, nullptr, dwCtrlStyle | (dwStyle & ~CBRS_ALL) | kBarControlStyles | WS_CHILD,
                        CRect(), pParentWnd, nID);
}

int CStatusBar::TextWidth(const std::string& text) const {
    if (!m_hWnd || text.empty()) return 0;
    HDC hdc = ::GetDC(m_hWnd);
    if (!hdc) return 0;
    auto font = reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT));
    const HGDIOBJ old = ::SelectObject(hdc, font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
    SIZE size{};
    ::GetTextExtentPoint32A(hdc, text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(hdc, old);
    ::ReleaseDC(m_hWnd, hdc);
    return size.cx;
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount) {
    if (nIDCount < 0 || (nIDCount > 0 && !lpIDArray) || nIDCount > StatusBar::kMaxParts) return FALSE;
    std::vector<Pane> panes(static_cast<std::size_t>(nIDCount));
    for (int i = 0; i < nIDCount; ++i) {
        Pane& pane = panes[static_cast<std::size_t>(i)];
        pane.nID = lpIDArray[i];
        if (pane.nID == ID_SEPARATOR) {
            // The message pane stretches, without a border of its own, when it comes first.
            if (i == 0) pane.nStyle = SBPS_NOBORDERS | SBPS_STRETCH;
            continue;
        }
        if (!StringTable::Find(pane.nID, pane.text)) {
            m_panes.clear();
            UpdatePanes(true, true);
            return FALSE;
        }
        pane.cxText = TextWidth(pane.text);
    }
    m_panes = std::move(panes);
    UpdatePanes(true, true);
    return TRUE;
}

int CStatusBar::CommandToIndex(UINT nIDFind) const {
    for (std::size_t i = 0; i < m_panes.size(); ++i)
        if (m_panes[i].nID == nIDFind) return static_cast<int>(i);
    return -1;
}

UINT CStatusBar::GetItemID(int nIndex) const { return Valid(nIndex) ? m_panes[nIndex].nID : 0; }

void CStatusBar::GetItemRect(int nIndex, LPRECT lpRect) const {
    if (!SendMessage(SB_GETRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect))) *lpRect = RECT{};
}

std::string CStatusBar::GetPaneText(int nIndex) const { return Valid(nIndex) ? m_panes[nIndex].text : std::string(); }

BOOL CStatusBar::SetPaneText(int nIndex, LPCSTR lpszNewText, BOOL bUpdate) {
    if (!Valid(nIndex)) return FALSE;
    m_panes[nIndex].text = lpszNewText ? lpszNewText : "";
    if (bUpdate) ShowText(nIndex);
    return TRUE;
}

void CStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const {
    if (!Valid(nIndex)) return;
    nID = m_panes[nIndex].nID;
    nStyle = m_panes[nIndex].nStyle;
    cxWidth = m_panes[nIndex].cxText;
}

void CStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth) {
    if (!Valid(nIndex)) return;
    Pane& pane = m_panes[nIndex];
    const bool layout = pane.cxText != cxWidth || ((pane.nStyle ^ nStyle) & SBPS_STRETCH);
    pane.nID = nID;
    pane.nStyle = nStyle;
    pane.cxText = std::max(0, cxWidth);
    UpdatePanes(layout, true, nIndex);
}

UINT CStatusBar::GetPaneStyle(int nIndex) const { return Valid(nIndex) ? m_panes[nIndex].nStyle : 0; }

void CStatusBar::SetPaneStyle(int nIndex, UINT nStyle) {
    if (!Valid(nIndex) || m_panes[nIndex].nStyle == nStyle) return;
    const bool layout = (m_panes[nIndex].nStyle ^ nStyle) & SBPS_STRETCH;
    m_panes[nIndex].nStyle = nStyle;
    UpdatePanes(layout, true, nIndex);
}

void CStatusBar::ShowText(int nIndex) {
    if (!m_hWnd || !Valid(nIndex)) return;
    const Pane& pane = m_panes[nIndex];
    const WPARAM flags = pane.nStyle & (SBPS_NOBORDERS | SBPS_POPOUT);
    // A disabled indicator shows nothing.
    const char* text = (pane.nStyle & SBPS_DISABLED) ? "" : pane.text.c_str();
    SendMessage(SB_SETTEXTA, static_cast<WPARAM>(nIndex) | flags, reinterpret_cast<LPARAM>(text));
}

void CStatusBar::UpdatePanes(bool rects, bool texts, int only) {
    if (!m_hWnd) return;
    if (rects) {
        CRect client;
        GetClientRect(&client);
        const auto width = [](const Pane& p) { return p.cxText + 2 * kTextMargin; };
        int fixed = 0;
        int stretch = -1;
        for (std::size_t i = 0; i < m_panes.size(); ++i) {
            if ((m_panes[i].nStyle & SBPS_STRETCH) && stretch < 0)
                stretch = static_cast<int>(i);
            else
                fixed += width(m_panes[i]);
        }
        if (!m_panes.empty()) fixed += kBetweenPanes * static_cast<int>(m_panes.size() - 1);
        std::vector<int> rights;
        int left = 0;
        for (std::size_t i = 0; i < m_panes.size(); ++i) {
            const int w = static_cast<int>(i) == stretch ? std::max(0, client.Width() - fixed) : width(m_panes[i]);
            rights.push_back(left + w);
            left += w + kBetweenPanes;
        }
        if (rights.empty()) rights.push_back(-1);  // the control keeps one pane
        SendMessage(SB_SETPARTS, rights.size(), reinterpret_cast<LPARAM>(rights.data()));
    }
    if (texts) {
        for (std::size_t i = 0; i < m_panes.size(); ++i)
            if (only < 0 || static_cast<int>(i) == only) ShowText(static_cast<int>(i));
    }
}

CSize CStatusBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
    // As high as the control makes itself: a line of its font, a pane's frame and its borders.
    int height = 0;
    if (HDC hdc = m_hWnd ? ::GetDC(m_hWnd) : nullptr) {
        auto font = reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT));
        const HGDIOBJ old = ::SelectObject(hdc, font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
        TEXTMETRICA tm{};
        ::GetTextMetricsA(hdc, &tm);
        ::SelectObject(hdc, old);
        ::ReleaseDC(m_hWnd, hdc);
        int borders[3] = {0, 0, 0};
        SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
        height = tm.tmHeight + 2 + 2 * borders[1];
    }
    CRect inside;
    CalcInsideRect(inside, TRUE);
    int width = 0;
    for (const Pane& pane : m_panes) width += pane.cxText + 2 * kTextMargin + kBetweenPanes;
    return Stretched(CSize(width - inside.Width(), height - inside.Height()), bStretch, bHorz);
}

void CStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL) {
    CStatusCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = static_cast<UINT>(m_panes.size());
    for (std::size_t i = 0; i < m_panes.size(); ++i) {
        if (m_panes[i].nID == ID_SEPARATOR) continue;
        state.m_nIndex = static_cast<UINT>(i);
        state.m_nID = m_panes[i].nID;
        // Indicators are never greyed for want of a handler.
        state.DoUpdate(pTarget, FALSE);
    }
}

BEGIN_MESSAGE_MAP(CStatusBar, CControlBar)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_SIZE()
ON_MESSAGE(WM_SETTEXT, &CStatusBar::OnSetText)
ON_MESSAGE(WM_GETTEXT, &CStatusBar::OnGetText)
ON_MESSAGE(WM_GETTEXTLENGTH, &CStatusBar::OnGetTextLength)
ON_MESSAGE(WM_SETFONT, &CStatusBar::OnSetFont)
END_MESSAGE_MAP()

void CStatusBar::OnPaint() { Default(); }

BOOL CStatusBar::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }

void CStatusBar::OnSize(UINT, int, int) {
    Default();
    UpdatePanes(true, false);
}

LRESULT CStatusBar::OnSetText(WPARAM, LPARAM lParam) {
    const int index = CommandToIndex(ID_SEPARATOR);
    if (index < 0) return FALSE;
    return SetPaneText(index, reinterpret_cast<LPCSTR>(lParam));
}

LRESULT CStatusBar::OnGetText(WPARAM wParam, LPARAM lParam) {
    auto* out = reinterpret_cast<char*>(lParam);
    if (!out || wParam == 0) return 0;
    const std::string text = GetPaneText(CommandToIndex(ID_SEPARATOR));
    const std::size_t n = std::min<std::size_t>(wParam - 1, text.size());
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
    return static_cast<LRESULT>(n);
}

LRESULT CStatusBar::OnGetTextLength(WPARAM, LPARAM) {
    return static_cast<LRESULT>(GetPaneText(CommandToIndex(ID_SEPARATOR)).size());
}

LRESULT CStatusBar::OnSetFont(WPARAM, LPARAM) {
    const LRESULT result = Default();
    // The indicators' widths follow the font.
    for (Pane& pane : m_panes)
        if (pane.nID != ID_SEPARATOR) pane.cxText = TextWidth(pane.text);
    UpdatePanes(true, false);
    return result;
}
