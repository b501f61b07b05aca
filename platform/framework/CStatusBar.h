#pragma once
// The framework's status bar: a control bar that is itself a status bar control
// ("msctls_statusbar32"), with one pane per indicator id. A pane of ID_SEPARATOR is the message
// pane: its text is the bar's window text, which the frame sets to its prompts ("Ready" when
// idle). Other panes show their id's string, are as wide as it, and follow their command's
// update handler at idle time (disabled: blank; checked: raised; SetText: its text). The first
// stretchy pane takes what the others leave.

#include <string>
#include <vector>

#include "platform/controls/StatusBar.h"
#include "platform/framework/CControlBar.h"

// Pane styles.
constexpr UINT SBPS_NORMAL = 0x0000;
constexpr UINT SBPS_NOBORDERS = 0x0100;  // SBT_NOBORDERS
constexpr UINT SBPS_POPOUT = 0x0200;     // SBT_POPOUT
constexpr UINT SBPS_OWNERDRAW = 0x1000;  // SBT_OWNERDRAW
constexpr UINT SBPS_DISABLED = 0x04000000;
constexpr UINT SBPS_STRETCH = 0x08000000;

class CStatusBar : public CControlBar {
    DECLARE_DYNAMIC(CStatusBar)

public:
    CStatusBar();
    ~CStatusBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, UINT nID = AFX_IDW_STATUS_BAR);
    // dwCtrlStyle: the control's own (SBARS_SIZEGRIP).
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = 0, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                  UINT nID = AFX_IDW_STATUS_BAR);
    // One pane per id; FALSE (and no panes) when an id other than ID_SEPARATOR has no string.
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);

    int GetCount() const { return static_cast<int>(m_panes.size()); }
    int CommandToIndex(UINT nIDFind) const;
    UINT GetItemID(int nIndex) const;
    void GetItemRect(int nIndex, LPRECT lpRect) const;
    std::string GetPaneText(int nIndex) const;
    BOOL SetPaneText(int nIndex, LPCSTR lpszNewText, BOOL bUpdate = TRUE);
    void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
    void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);
    UINT GetPaneStyle(int nIndex) const;
    void SetPaneStyle(int nIndex, UINT nStyle);

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

protected:
    DECLARE_MESSAGE_MAP()

    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnSize(UINT nType, int cx, int cy);
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetTextLength(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);

private:
    struct Pane {
        UINT nID = ID_SEPARATOR;
        UINT nStyle = SBPS_NORMAL;
        int cxText = 0;
        std::string text;
    };

    bool Valid(int nIndex) const { return nIndex >= 0 && static_cast<std::size_t>(nIndex) < m_panes.size(); }
    int TextWidth(const std::string& text) const;
    // Gives the control the panes' right edges and (for `only`, or all when -1) their texts.
    void UpdatePanes(bool rects, bool texts, int only = -1);
    void ShowText(int nIndex);

    std::vector<Pane> m_panes;
};
