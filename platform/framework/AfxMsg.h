#pragma once
// The message-map entries of window messages: ON_WM_SIZE() and its kind map a message to the
// class's handler of the platform's name and signature (OnSize(UINT, int, int)); ON_MESSAGE maps
// any message, private ones included, to LRESULT (WPARAM, LPARAM). Include where a map is
// written.

#include "platform/framework/CCmdTarget.h"
#include "platform/framework/CDC.h"
#include "platform/framework/CMenu.h"
#include "platform/framework/CPoint.h"
#include "platform/framework/CWnd.h"

namespace afx {

inline CPoint PointOf(LPARAM l) { return CPoint(GET_X_LPARAM(l), GET_Y_LPARAM(l)); }
inline CWnd* WndOf(std::uintptr_t handle) { return CWnd::FromHandle(reinterpret_cast<HWND>(handle)); }
inline CDC* DCOf(std::uintptr_t handle) { return CDC::FromHandle(reinterpret_cast<HDC>(handle)); }
inline CMenu* MenuOf(std::uintptr_t handle) { return CMenu::FromHandle(reinterpret_cast<HMENU>(handle)); }

template <class T, auto Fn, UINT Sig>
BOOL WndThunk(CCmdTarget& target, AfxCall& c) {
    T& o = static_cast<T&>(target);
    const WPARAM w = c.wParam;
    const LPARAM l = c.lParam;
    if constexpr (Sig == AfxSig_v_v) {
        (o.*Fn)();
    } else if constexpr (Sig == AfxSig_l_w_l) {
        c.result = (o.*Fn)(w, l);
    } else if constexpr (Sig == AfxSig_i_CREATE) {
        c.result = (o.*Fn)(reinterpret_cast<LPCREATESTRUCTA>(l));
    } else if constexpr (Sig == AfxSig_b_CREATE) {
        c.result = (o.*Fn)(reinterpret_cast<LPCREATESTRUCTA>(l));
    } else if constexpr (Sig == AfxSig_v_u_ii) {
        (o.*Fn)(static_cast<UINT>(w), GET_X_LPARAM(l), GET_Y_LPARAM(l));
    } else if constexpr (Sig == AfxSig_v_ii) {
        (o.*Fn)(GET_X_LPARAM(l), GET_Y_LPARAM(l));
    } else if constexpr (Sig == AfxSig_b_D) {
        c.result = (o.*Fn)(DCOf(w));
    } else if constexpr (Sig == AfxSig_v_t) {
        (o.*Fn)(static_cast<UINT_PTR>(w));
    } else if constexpr (Sig == AfxSig_v_u_p) {
        (o.*Fn)(static_cast<UINT>(w), PointOf(l));
    } else if constexpr (Sig == AfxSig_b_W_uu) {
        c.result = (o.*Fn)(WndOf(w), LOWORD(static_cast<std::uintptr_t>(l)), HIWORD(static_cast<std::uintptr_t>(l)));
    } else if constexpr (Sig == AfxSig_hbr_D_W_u) {
        c.result = reinterpret_cast<LRESULT>((o.*Fn)(DCOf(w), WndOf(static_cast<std::uintptr_t>(l)), c.nID));
    } else if constexpr (Sig == AfxSig_hbr_D_u) {
        HBRUSH brush = (o.*Fn)(DCOf(w), static_cast<UINT>(l));
        c.result = reinterpret_cast<LRESULT>(brush);
        return brush != nullptr;
    } else if constexpr (Sig == AfxSig_l_p) {
        c.result = (o.*Fn)(PointOf(l));
    } else if constexpr (Sig == AfxSig_v_b_NCCALC) {
        (o.*Fn)(static_cast<BOOL>(w), reinterpret_cast<NCCALCSIZE_PARAMS*>(l));
    } else if constexpr (Sig == AfxSig_v_W) {
        (o.*Fn)(WndOf(c.message == WM_CAPTURECHANGED ? static_cast<std::uintptr_t>(l) : w));
    } else if constexpr (Sig == AfxSig_v_u_u_u) {
        (o.*Fn)(static_cast<UINT>(w), LOWORD(static_cast<std::uintptr_t>(l)), HIWORD(static_cast<std::uintptr_t>(l)));
    } else if constexpr (Sig == AfxSig_v_u_W_b) {
        (o.*Fn)(LOWORD(w), WndOf(static_cast<std::uintptr_t>(l)), HIWORD(w));
    } else if constexpr (Sig == AfxSig_v_b_u) {
        (o.*Fn)(static_cast<BOOL>(w), static_cast<UINT>(l));
    } else if constexpr (Sig == AfxSig_v_b) {
        (o.*Fn)(static_cast<BOOL>(w));
    } else if constexpr (Sig == AfxSig_v_M) {
        (o.*Fn)(MenuOf(w));
    } else if constexpr (Sig == AfxSig_v_M_u_b) {
        (o.*Fn)(MenuOf(w), LOWORD(static_cast<std::uintptr_t>(l)), HIWORD(static_cast<std::uintptr_t>(l)));
    } else if constexpr (Sig == AfxSig_l_u_u_M) {
        c.result = (o.*Fn)(LOWORD(w), HIWORD(w), MenuOf(static_cast<std::uintptr_t>(l)));
    } else if constexpr (Sig == AfxSig_v_i_MIS) {
        (o.*Fn)(static_cast<int>(w), reinterpret_cast<MEASUREITEMSTRUCT*>(l));
    } else if constexpr (Sig == AfxSig_v_i_DIS) {
        (o.*Fn)(static_cast<int>(w), reinterpret_cast<DRAWITEMSTRUCT*>(l));
    } else if constexpr (Sig == AfxSig_v_MIS) {
        (o.*Fn)(reinterpret_cast<MEASUREITEMSTRUCT*>(l));
    } else if constexpr (Sig == AfxSig_v_DIS) {
        (o.*Fn)(reinterpret_cast<DRAWITEMSTRUCT*>(l));
    } else if constexpr (Sig == AfxSig_v_u_u_hmenu) {
        (o.*Fn)(LOWORD(w), HIWORD(w), reinterpret_cast<HMENU>(l));
    } else if constexpr (Sig == AfxSig_v_u_W) {
        (o.*Fn)(static_cast<UINT>(w), WndOf(static_cast<std::uintptr_t>(l)));
    } else if constexpr (Sig == AfxSig_v_u_u_W) {
        (o.*Fn)(LOWORD(w), HIWORD(w), WndOf(static_cast<std::uintptr_t>(l)));
    } else if constexpr (Sig == AfxSig_v_W_p) {
        (o.*Fn)(WndOf(w), PointOf(l));
    } else if constexpr (Sig == AfxSig_v_POS) {
        (o.*Fn)(reinterpret_cast<WINDOWPOS*>(l));
    } else if constexpr (Sig == AfxSig_v_MMI) {
        (o.*Fn)(reinterpret_cast<MINMAXINFO*>(l));
    } else if constexpr (Sig == AfxSig_b_u_s_p) {
        c.result = (o.*Fn)(LOWORD(w), static_cast<short>(HIWORD(w)), PointOf(l));
    } else if constexpr (Sig == AfxSig_v_u_sz) {
        (o.*Fn)(static_cast<UINT>(w), reinterpret_cast<LPCSTR>(l));
    } else if constexpr (Sig == AfxSig_u_v) {
        c.result = static_cast<LRESULT>((o.*Fn)());
    } else {
        static_assert(Sig == AfxSig_end, "no such window-message kind");
    }
    return TRUE;
}

}  // namespace afx

#define AFX_WND_ENTRY(message, sig, fn) {message, 0, 0, 0, sig, &afx::WndThunk<ThisClass, fn, sig>},

#define ON_MESSAGE(message, fn) AFX_WND_ENTRY(message, AfxSig_l_w_l, fn)
#define ON_WM_CREATE() AFX_WND_ENTRY(WM_CREATE, AfxSig_i_CREATE, &ThisClass::OnCreate)
#define ON_WM_NCCREATE() AFX_WND_ENTRY(WM_NCCREATE, AfxSig_b_CREATE, &ThisClass::OnNcCreate)
#define ON_WM_DESTROY() AFX_WND_ENTRY(WM_DESTROY, AfxSig_v_v, &ThisClass::OnDestroy)
#define ON_WM_NCDESTROY() AFX_WND_ENTRY(WM_NCDESTROY, AfxSig_v_v, &ThisClass::OnNcDestroy)
#define ON_WM_CLOSE() AFX_WND_ENTRY(WM_CLOSE, AfxSig_v_v, &ThisClass::OnClose)
#define ON_WM_PAINT() AFX_WND_ENTRY(WM_PAINT, AfxSig_v_v, &ThisClass::OnPaint)
#define ON_WM_ERASEBKGND() AFX_WND_ENTRY(WM_ERASEBKGND, AfxSig_b_D, &ThisClass::OnEraseBkgnd)
#define ON_WM_SIZE() AFX_WND_ENTRY(WM_SIZE, AfxSig_v_u_ii, &ThisClass::OnSize)
#define ON_WM_MOVE() AFX_WND_ENTRY(WM_MOVE, AfxSig_v_ii, &ThisClass::OnMove)
#define ON_WM_TIMER() AFX_WND_ENTRY(WM_TIMER, AfxSig_v_t, &ThisClass::OnTimer)
#define ON_WM_SHOWWINDOW() AFX_WND_ENTRY(WM_SHOWWINDOW, AfxSig_v_b_u, &ThisClass::OnShowWindow)
#define ON_WM_SETFOCUS() AFX_WND_ENTRY(WM_SETFOCUS, AfxSig_v_W, &ThisClass::OnSetFocus)
#define ON_WM_KILLFOCUS() AFX_WND_ENTRY(WM_KILLFOCUS, AfxSig_v_W, &ThisClass::OnKillFocus)
#define ON_WM_ACTIVATE() AFX_WND_ENTRY(WM_ACTIVATE, AfxSig_v_u_W_b, &ThisClass::OnActivate)
#define ON_WM_MOUSEMOVE() AFX_WND_ENTRY(WM_MOUSEMOVE, AfxSig_v_u_p, &ThisClass::OnMouseMove)
#define ON_WM_LBUTTONDOWN() AFX_WND_ENTRY(WM_LBUTTONDOWN, AfxSig_v_u_p, &ThisClass::OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_WND_ENTRY(WM_LBUTTONUP, AfxSig_v_u_p, &ThisClass::OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() AFX_WND_ENTRY(WM_LBUTTONDBLCLK, AfxSig_v_u_p, &ThisClass::OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() AFX_WND_ENTRY(WM_RBUTTONDOWN, AfxSig_v_u_p, &ThisClass::OnRButtonDown)
#define ON_WM_RBUTTONUP() AFX_WND_ENTRY(WM_RBUTTONUP, AfxSig_v_u_p, &ThisClass::OnRButtonUp)
#define ON_WM_MOUSEWHEEL() AFX_WND_ENTRY(WM_MOUSEWHEEL, AfxSig_b_u_s_p, &ThisClass::OnMouseWheel)
#define ON_WM_CAPTURECHANGED() AFX_WND_ENTRY(WM_CAPTURECHANGED, AfxSig_v_W, &ThisClass::OnCaptureChanged)
#define ON_WM_KEYDOWN() AFX_WND_ENTRY(WM_KEYDOWN, AfxSig_v_u_u_u, &ThisClass::OnKeyDown)
#define ON_WM_KEYUP() AFX_WND_ENTRY(WM_KEYUP, AfxSig_v_u_u_u, &ThisClass::OnKeyUp)
#define ON_WM_CHAR() AFX_WND_ENTRY(WM_CHAR, AfxSig_v_u_u_u, &ThisClass::OnChar)
#define ON_WM_SYSKEYDOWN() AFX_WND_ENTRY(WM_SYSKEYDOWN, AfxSig_v_u_u_u, &ThisClass::OnSysKeyDown)
#define ON_WM_SETCURSOR() AFX_WND_ENTRY(WM_SETCURSOR, AfxSig_b_W_uu, &ThisClass::OnSetCursor)
#define ON_WM_CONTEXTMENU() AFX_WND_ENTRY(WM_CONTEXTMENU, AfxSig_v_W_p, &ThisClass::OnContextMenu)
#define ON_WM_HSCROLL() AFX_WND_ENTRY(WM_HSCROLL, AfxSig_v_u_u_W, &ThisClass::OnHScroll)
#define ON_WM_VSCROLL() AFX_WND_ENTRY(WM_VSCROLL, AfxSig_v_u_u_W, &ThisClass::OnVScroll)
#define ON_WM_NCHITTEST() AFX_WND_ENTRY(WM_NCHITTEST, AfxSig_l_p, &ThisClass::OnNcHitTest)
#define ON_WM_NCCALCSIZE() AFX_WND_ENTRY(WM_NCCALCSIZE, AfxSig_v_b_NCCALC, &ThisClass::OnNcCalcSize)
#define ON_WM_NCPAINT() AFX_WND_ENTRY(WM_NCPAINT, AfxSig_v_v, &ThisClass::OnNcPaint)
#define ON_WM_NCLBUTTONDOWN() AFX_WND_ENTRY(WM_NCLBUTTONDOWN, AfxSig_v_u_p, &ThisClass::OnNcLButtonDown)
#define ON_WM_NCLBUTTONUP() AFX_WND_ENTRY(WM_NCLBUTTONUP, AfxSig_v_u_p, &ThisClass::OnNcLButtonUp)
#define ON_WM_NCLBUTTONDBLCLK() AFX_WND_ENTRY(WM_NCLBUTTONDBLCLK, AfxSig_v_u_p, &ThisClass::OnNcLButtonDblClk)
#define ON_WM_NCMOUSEMOVE() AFX_WND_ENTRY(WM_NCMOUSEMOVE, AfxSig_v_u_p, &ThisClass::OnNcMouseMove)
#define ON_WM_WINDOWPOSCHANGING() AFX_WND_ENTRY(WM_WINDOWPOSCHANGING, AfxSig_v_POS, &ThisClass::OnWindowPosChanging)
#define ON_WM_WINDOWPOSCHANGED() AFX_WND_ENTRY(WM_WINDOWPOSCHANGED, AfxSig_v_POS, &ThisClass::OnWindowPosChanged)
#define ON_WM_GETMINMAXINFO() AFX_WND_ENTRY(WM_GETMINMAXINFO, AfxSig_v_MMI, &ThisClass::OnGetMinMaxInfo)
#define ON_WM_SYSCOLORCHANGE() AFX_WND_ENTRY(WM_SYSCOLORCHANGE, AfxSig_v_v, &ThisClass::OnSysColorChange)
#define ON_WM_SETTINGCHANGE() AFX_WND_ENTRY(WM_SETTINGCHANGE, AfxSig_v_u_sz, &ThisClass::OnSettingChange)
#define ON_WM_CANCELMODE() AFX_WND_ENTRY(WM_CANCELMODE, AfxSig_v_v, &ThisClass::OnCancelMode)
#define ON_WM_GETDLGCODE() AFX_WND_ENTRY(WM_GETDLGCODE, AfxSig_u_v, &ThisClass::OnGetDlgCode)
#define ON_WM_INITMENU() AFX_WND_ENTRY(WM_INITMENU, AfxSig_v_M, &ThisClass::OnInitMenu)
#define ON_WM_INITMENUPOPUP() AFX_WND_ENTRY(WM_INITMENUPOPUP, AfxSig_v_M_u_b, &ThisClass::OnInitMenuPopup)
#define ON_WM_MENUCHAR() AFX_WND_ENTRY(WM_MENUCHAR, AfxSig_l_u_u_M, &ThisClass::OnMenuChar)
#define ON_WM_MEASUREITEM() AFX_WND_ENTRY(WM_MEASUREITEM, AfxSig_v_i_MIS, &ThisClass::OnMeasureItem)
#define ON_WM_DRAWITEM() AFX_WND_ENTRY(WM_DRAWITEM, AfxSig_v_i_DIS, &ThisClass::OnDrawItem)
#define ON_WM_MEASUREITEM_REFLECT() \
    AFX_WND_ENTRY(WM_REFLECT_BASE + WM_MEASUREITEM, AfxSig_v_MIS, &ThisClass::MeasureItem)
#define ON_WM_DRAWITEM_REFLECT() AFX_WND_ENTRY(WM_REFLECT_BASE + WM_DRAWITEM, AfxSig_v_DIS, &ThisClass::DrawItem)
#define ON_WM_MENUSELECT() AFX_WND_ENTRY(WM_MENUSELECT, AfxSig_v_u_u_hmenu, &ThisClass::OnMenuSelect)
#define ON_WM_ENTERMENULOOP() AFX_WND_ENTRY(WM_ENTERMENULOOP, AfxSig_v_b, &ThisClass::OnEnterMenuLoop)
#define ON_WM_EXITMENULOOP() AFX_WND_ENTRY(WM_EXITMENULOOP, AfxSig_v_b, &ThisClass::OnExitMenuLoop)
#define ON_WM_ENTERIDLE() AFX_WND_ENTRY(WM_ENTERIDLE, AfxSig_v_u_W, &ThisClass::OnEnterIdle)
// Every WM_CTLCOLOR* message, with its CTLCOLOR_* kind: HBRUSH OnCtlColor(CDC*, CWnd*, UINT).
#define ON_WM_CTLCOLOR() AFX_WND_ENTRY(WM_CTLCOLOR, AfxSig_hbr_D_W_u, &ThisClass::OnCtlColor)
// The control's own answer: HBRUSH CtlColor(CDC*, UINT); null leaves it to the parent.
#define ON_WM_CTLCOLOR_REFLECT() AFX_WND_ENTRY(WM_REFLECT_BASE + WM_CTLCOLOR, AfxSig_hbr_D_u, &ThisClass::CtlColor)
