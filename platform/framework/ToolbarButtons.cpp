#include "platform/framework/ToolbarButtons.h"

#include <algorithm>
#include <vector>

#include "platform/framework/CCmdUI.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CToolBar.h"
#include "platform/graphics/Gdi.h"
#include "platform/window/Windows.h"

namespace {

TBBUTTON ButtonAt(HWND toolbar, int index, bool& found) {
    TBBUTTON b{};
    found = SendMessageA(toolbar, TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&b)) != 0;
    return b;
}

// A toolbar button's state, changed through the control so that what shows follows at once.
class CToolCmdUI : public CCmdUI {
public:
    explicit CToolCmdUI(HWND toolbar) : toolbar_(toolbar) {}

    void Enable(BOOL bOn) override {
        m_bEnableChanged = TRUE;
        const auto index = static_cast<int>(m_nIndex);
        const UINT old = ToolbarButtons::GetButtonStyle(toolbar_, index);
        UINT style = old & ~TBBS_DISABLED;
        // A button that goes grey is no longer held down.
        if (!bOn) style = (style | TBBS_DISABLED) & ~TBBS_PRESSED;
        if (style != old) ToolbarButtons::SetButtonStyle(toolbar_, index, style);
    }
    void SetCheck(int nCheck) override {
        const auto index = static_cast<int>(m_nIndex);
        const UINT old = ToolbarButtons::GetButtonStyle(toolbar_, index);
        UINT style = old & ~(TBBS_CHECKED | TBBS_INDETERMINATE);
        if (nCheck == 1)
            style |= TBBS_CHECKED;
        else if (nCheck == 2)
            style |= TBBS_INDETERMINATE;
        // A checked command's button is a check box.
        style |= TBBS_CHECKBOX;
        if (style != old) ToolbarButtons::SetButtonStyle(toolbar_, index, style);
    }
    void SetRadio(BOOL bOn) override { SetCheck(bOn ? 1 : 0); }
    void SetText(LPCSTR) override {}

private:
    HWND toolbar_;
};

}  // namespace

BOOL ToolbarButtons::SetButtons(HWND toolbar, const UINT* lpIDArray, int nIDCount, int separatorWidth) {
    if (!toolbar || nIDCount < 0) return FALSE;
    while (SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0) > 0)
        if (!SendMessageA(toolbar, TB_DELETEBUTTON, 0, 0)) return FALSE;
    std::vector<TBBUTTON> buttons;
    int image = 0;
    for (int i = 0; i < nIDCount; ++i) {
        TBBUTTON b{};
        const UINT id = lpIDArray ? lpIDArray[i] : ID_SEPARATOR;
        if (id == ID_SEPARATOR) {
            b.iBitmap = separatorWidth;
            b.fsStyle = BTNS_SEP;
        } else {
            b.iBitmap = image++;
            b.idCommand = static_cast<int>(id);
            b.fsState = TBSTATE_ENABLED;
            b.fsStyle = BTNS_BUTTON;
        }
        buttons.push_back(b);
    }
    if (!buttons.empty() &&
        !SendMessageA(toolbar, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data())))
        return FALSE;
    InvalidateRect(toolbar, nullptr, TRUE);
    return TRUE;
}

int ToolbarButtons::GetCount(HWND toolbar) { return static_cast<int>(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0)); }

int ToolbarButtons::CommandToIndex(HWND toolbar, UINT nIDFind) {
    return static_cast<int>(SendMessageA(toolbar, TB_COMMANDTOINDEX, nIDFind, 0));
}

UINT ToolbarButtons::GetItemID(HWND toolbar, int nIndex) {
    bool found = false;
    const TBBUTTON b = ButtonAt(toolbar, nIndex, found);
    return found ? static_cast<UINT>(b.idCommand) : 0;
}

void ToolbarButtons::GetItemRect(HWND toolbar, int nIndex, LPRECT lpRect) {
    if (!SendMessageA(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect)))
        *lpRect = RECT{};
}

UINT ToolbarButtons::GetButtonStyle(HWND toolbar, int nIndex) {
    bool found = false;
    const TBBUTTON b = ButtonAt(toolbar, nIndex, found);
    if (!found) return 0;
    return UINT{b.fsStyle} | UINT{static_cast<BYTE>(b.fsState ^ TBSTATE_ENABLED)} << 16;
}

void ToolbarButtons::SetButtonStyle(HWND toolbar, int nIndex, UINT nStyle) {
    bool found = false;
    const TBBUTTON b = ButtonAt(toolbar, nIndex, found);
    if (!found) return;
    TBBUTTONINFOA info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_STYLE | TBIF_STATE | TBIF_BYINDEX;
    info.fsStyle = static_cast<BYTE>(LOWORD(nStyle));
    // Where rows end is the bar's to say.
    info.fsState = static_cast<BYTE>(((HIWORD(nStyle) ^ TBSTATE_ENABLED) & ~TBSTATE_WRAP) | (b.fsState & TBSTATE_WRAP));
    if (info.fsStyle == b.fsStyle && info.fsState == b.fsState) return;
    SendMessageA(toolbar, TB_SETBUTTONINFOA, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&info));
}

INT_PTR ToolbarButtons::HitTest(HWND toolbar, CPoint point, TOOLINFOA* pTI) {
    POINT p = point;
    const auto index = static_cast<int>(SendMessageA(toolbar, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&p)));
    if (index < 0) return -1;
    bool found = false;
    const TBBUTTON b = ButtonAt(toolbar, index, found);
    if (!found || (b.fsStyle & BTNS_SEP) || b.idCommand == 0) return -1;
    if (pTI) {
        SendMessageA(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&pTI->rect));
        pTI->hwnd = toolbar;
        pTI->uId = static_cast<UINT_PTR>(b.idCommand);
        pTI->lpszText = LPSTR_TEXTCALLBACKA;
    }
    return b.idCommand;
}

void ToolbarButtons::UpdateCommands(CWnd& bar, CFrameWnd* pTarget, BOOL bDisableIfNoHndler) {
    CToolCmdUI state(bar.m_hWnd);
    state.m_pOther = &bar;
    const auto count = static_cast<int>(bar.SendMessage(TB_BUTTONCOUNT));
    state.m_nIndexMax = static_cast<UINT>(std::max(0, count));
    for (int i = 0; i < count; ++i) {
        bool found = false;
        const TBBUTTON b = ButtonAt(bar.m_hWnd, i, found);
        if (!found || (b.fsStyle & BTNS_SEP)) continue;
        state.m_nIndex = static_cast<UINT>(i);
        state.m_nID = static_cast<UINT>(b.idCommand);
        state.DoUpdate(pTarget, bDisableIfNoHndler);
    }
    // Controls on the bar (a combo box, say) follow their commands too.
    bar.UpdateDialogControls(pTarget, bDisableIfNoHndler);
}

BOOL ToolbarButtons::SetBitmap(HWND toolbar, CBitmap& current, HBITMAP hbmImageWell, SIZE image) {
    CBitmap taken;
    taken.Attach(hbmImageWell);  // freed here when it cannot be used
    BITMAP info{};
    if (!toolbar || !hbmImageWell || !::GetObjectA(hbmImageWell, sizeof info, &info) || image.cx <= 0) return FALSE;
    const int count = std::max<int>(1, info.bmWidth / image.cx);
    if (current.m_hObject) {
        TBREPLACEBITMAP replace{nullptr, reinterpret_cast<UINT_PTR>(current.m_hObject), nullptr,
                                reinterpret_cast<UINT_PTR>(hbmImageWell), count};
        if (!SendMessageA(toolbar, TB_REPLACEBITMAP, 0, reinterpret_cast<LPARAM>(&replace))) return FALSE;
    } else {
        TBADDBITMAP add{nullptr, reinterpret_cast<UINT_PTR>(hbmImageWell)};
        if (SendMessageA(toolbar, TB_ADDBITMAP, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(&add)) < 0)
            return FALSE;
    }
    current.DeleteObject();
    current.Attach(taken.Detach());
    InvalidateRect(toolbar, nullptr, TRUE);
    return TRUE;
}
