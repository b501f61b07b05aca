#include "platform/framework/CWnd.h"

#include <mutex>
#include <set>
#include <unordered_map>
#include <vector>

#include "platform/framework/AfxMsg.h"
#include "platform/framework/CCmdUI.h"
#include "platform/framework/CDC.h"
#include "platform/framework/CFont.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CHandleMap.h"
#include "platform/framework/CMenu.h"
#include "platform/framework/CWinApp.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/SystemColors.h"
#include "platform/window/Windows.h"

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

const char* const AFX_WND = "AfxWnd";
const char* const AFX_WNDFRAMEORVIEW = "AfxFrameOrView";
const char* const AFX_WNDCONTROLBAR = "AfxControlBar";

namespace {

constexpr UINT kButtonGetCheck = 0x00F0, kButtonSetCheck = 0x00F1;  // BM_GETCHECK, BM_SETCHECK

// What each thread keeps: its windows' objects, the message being handled (for Default), the
// object whose window is being created, and the objects their windows adopted.
struct ThreadState {
    CHandleMap<CWnd, HWND, &CWnd::m_hWnd> map;
    MSG current{};
    CWnd* creating = nullptr;
    HHOOK creationHook = nullptr;
    std::unordered_map<CWnd*, std::unique_ptr<CObject>> adopted;

    // A thread that ends with adopted windows still open: freeing one destroys its window and
    // its children's, whose objects then leave `adopted` themselves, so each is taken out of
    // the map before it is freed rather than freed by the map's own destructor.
    ~ThreadState() {
        while (!adopted.empty()) adopted.extract(adopted.begin()).mapped().reset();
    }
};
thread_local ThreadState t;

void RegisterClassOnce(LPCSTR name, UINT style, HCURSOR cursor, HBRUSH background) {
    WNDCLASSA cls{};
    cls.style = style;
    cls.lpfnWndProc = AfxWndProc;
    cls.hCursor = cursor;
    cls.hbrBackground = background;
    cls.lpszClassName = name;
    RegisterClassA(&cls);  // a second registration fails harmlessly
}

void RegisterStandardClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
        RegisterClassOnce(AFX_WND, CS_DBLCLKS, arrow, nullptr);
        RegisterClassOnce(AFX_WNDFRAMEORVIEW, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, arrow,
                          GetSysColorBrush(COLOR_WINDOW));
        RegisterClassOnce(AFX_WNDCONTROLBAR, CS_DBLCLKS, arrow, GetSysColorBrush(COLOR_BTNFACE));
    });
}

// Answers Enable only: whether a command from a menu or key is still allowed.
class CTestCmdUI : public CCmdUI {
public:
    BOOL m_bEnabled = TRUE;
    void Enable(BOOL bOn) override {
        m_bEnabled = bOn;
        m_bEnableChanged = TRUE;
    }
    void SetCheck(int) override {}
    void SetRadio(BOOL) override {}
    void SetText(LPCSTR) override {}
};

std::vector<HWND> ChildrenOf(HWND hwnd) {
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(hwnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

CWnd* DescendantOf(HWND hwnd, int nID, BOOL bOnlyPerm) {
    if (HWND child = ::GetDlgItem(hwnd, nID)) {
        // A child with its parent's id is found before the parent.
        if (::GetWindow(child, GW_CHILD))
            if (CWnd* deeper = DescendantOf(child, nID, bOnlyPerm)) return deeper;
        if (CWnd* found = bOnlyPerm ? CWnd::FromHandlePermanent(child) : CWnd::FromHandle(child)) return found;
    }
    for (HWND child : ChildrenOf(hwnd))
        if (CWnd* found = DescendantOf(child, nID, bOnlyPerm)) return found;
    return nullptr;
}

}  // namespace

// Ties the object to the window being created when the window gets its first message.
class CWndCreation {
public:
    explicit CWndCreation(CWnd* wnd) : previous_(t.creating) {
        t.creating = wnd;
        if (!t.creationHook) {
            t.creationHook = SetWindowsHookExA(WH_CALLWNDPROC, &Hook, nullptr, 0);
            installed_ = true;
        }
    }
    ~CWndCreation() {
        t.creating = previous_;
        if (installed_) {
            UnhookWindowsHookEx(t.creationHook);
            t.creationHook = nullptr;
        }
    }
    CWndCreation(const CWndCreation&) = delete;
    CWndCreation& operator=(const CWndCreation&) = delete;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && cwp && cwp->message == WM_NCCREATE && t.creating &&
            !CWnd::FromHandlePermanent(cwp->hwnd)) {
            CWnd* wnd = t.creating;
            t.creating = nullptr;
            if (wnd->Attach(cwp->hwnd)) {
                wnd->PreSubclassWindow();
                const auto proc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(cwp->hwnd, GWLP_WNDPROC));
                if (proc != AfxWndProc) {
                    wnd->m_pfnSuper = proc;
                    SetWindowLongPtrA(cwp->hwnd, GWLP_WNDPROC, reinterpret_cast<std::intptr_t>(&AfxWndProc));
                }
            }
        }
        return CallNextHookEx(t.creationHook, code, wParam, lParam);
    }

    CWnd* previous_;
    bool installed_ = false;
};

LPCSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon) {
    static std::mutex lock;
    static std::set<std::string> names;
    char name[96];
    std::snprintf(name, sizeof name, "Afx:%x:%lx:%lx:%lx", classStyle,
                  static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(cursor)),
                  static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(background)),
                  static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(icon)));
    std::lock_guard guard(lock);
    auto [it, added] = names.insert(name);
    if (added) RegisterClassOnce(it->c_str(), classStyle, cursor, background);
    return it->c_str();
}

LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
    if (!wnd) return DefWindowProcA(hwnd, message, wParam, lParam);
    const MSG outer = t.current;
    t.current = MSG{hwnd, message, wParam, lParam, 0, {}, 0};
    // The object may be gone when this returns (a close that destroyed an adopted window).
    const LRESULT result = wnd->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY && CWnd::FromHandlePermanent(hwnd) == wnd) {
        wnd->Detach();
        wnd->m_pfnSuper = nullptr;
        wnd->PostNcDestroy();
    }
    t.current = outer;
    return result;
}

CWnd::CWnd() { RegisterStandardClasses(); }

CWnd::~CWnd() {
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) {
        // The window goes on without this object: its own procedure gets it back.
        const HWND hwnd = m_hWnd;
        if (m_pfnSuper) SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<std::intptr_t>(m_pfnSuper));
        Detach();
        if (::IsWindow(hwnd)) ::DestroyWindow(hwnd);
    }
}

BOOL CWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                  UINT nID, CCreateContext* pContext) {
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, SafeHwnd(pParentWnd),
                    reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(nID)), pContext);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                    CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, SafeHwnd(pParentWnd),
                    reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(nID)), lpParam);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam) {
    if (m_hWnd) return FALSE;
    CREATESTRUCTA cs{
        lpParam,        nullptr,       nIDorHMenu, hWndParent, nHeight, nWidth, y, x, static_cast<LONG>(dwStyle),
        lpszWindowName, lpszClassName, dwExStyle};
    if (!PreCreateWindow(cs)) return FALSE;
    return CreatingWindow([&cs]() -> std::intptr_t {
               return ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x,
                                        cs.y, cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance,
                                        cs.lpCreateParams) != nullptr;
           }) != 0;
}

std::intptr_t CWnd::CreatingWindow(const std::function<std::intptr_t()>& create) {
    CWndCreation creation(this);
    return create();
}

BOOL CWnd::DestroyWindow() { return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE; }

BOOL CWnd::PreCreateWindow(CREATESTRUCTA& cs) {
    if (!cs.lpszClass) cs.lpszClass = AFX_WND;
    return TRUE;
}

void CWnd::PreSubclassWindow() {}

void CWnd::PostNcDestroy() {
    // Last statement: this may free the object.
    t.adopted.erase(this);
}

void CWnd::AdoptObject(std::unique_ptr<CObject> object, CWnd* wnd) {
    if (wnd && object) t.adopted[wnd] = std::move(object);
}

CWnd* CWnd::FromHandle(HWND hwnd) { return t.map.FromHandle(hwnd); }
CWnd* CWnd::FromHandlePermanent(HWND hwnd) { return hwnd ? t.map.FromHandlePermanent(hwnd) : nullptr; }
void CWnd::DeleteTempMap() { t.map.DeleteTemp(); }

BOOL CWnd::Attach(HWND hwnd) {
    if (!hwnd || m_hWnd || !t.map.SetPermanent(hwnd, this)) return FALSE;
    m_hWnd = hwnd;
    return TRUE;
}

HWND CWnd::Detach() {
    const HWND hwnd = m_hWnd;
    if (hwnd && t.map.FromHandlePermanent(hwnd) == this) t.map.RemovePermanent(hwnd);
    m_hWnd = nullptr;
    return hwnd;
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
    if (!::IsWindow(hwnd) || !Attach(hwnd)) return FALSE;
    PreSubclassWindow();
    const auto proc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
    if (proc != AfxWndProc) {
        m_pfnSuper = proc;
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<std::intptr_t>(&AfxWndProc));
    }
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    return pParent ? SubclassWindow(::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID))) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
    if (m_pfnSuper && m_hWnd) SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<std::intptr_t>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep, BOOL bOnlyPerm) const {
    for (HWND child : ChildrenOf(m_hWnd)) {
        if (!::IsWindow(child)) continue;
        if (!bOnlyPerm || FromHandlePermanent(child)) ::SendMessageA(child, message, wParam, lParam);
        if (bDeep && ::IsWindow(child)) {
            CWnd temporary;
            temporary.m_hWnd = child;
            temporary.SendMessageToDescendants(message, wParam, lParam, bDeep, bOnlyPerm);
            temporary.m_hWnd = nullptr;
        }
    }
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg) {
    for (HWND hwnd = pMsg->hwnd; hwnd; hwnd = ::GetParent(hwnd)) {
        if (CWnd* wnd = FromHandlePermanent(hwnd); wnd && wnd->PreTranslateMessage(pMsg)) return TRUE;
        if (hwnd == hWndStop) break;
    }
    return FALSE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    LRESULT result = 0;
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam)) return FALSE;
        result = 1;
    } else if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (!header || !header->hwndFrom || !OnNotify(wParam, lParam, &result)) return FALSE;
    } else if (message >= WM_FIRSTCTLCOLOR && message <= WM_LASTCTLCOLOR) {
        // The control answers for itself first (ON_WM_CTLCOLOR_REFLECT).
        if (!ReflectLastMsg(reinterpret_cast<HWND>(lParam), &result)) {
            const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(WM_CTLCOLOR);
            if (!entry) return FALSE;
            AfxCall call(message, wParam, lParam, message - WM_FIRSTCTLCOLOR);
            entry->pfn(*this, call);
            result = call.result;
        }
    } else if (!DispatchWindowMessage(message, wParam, lParam, &result)) {
        return FALSE;
    }
    if (pResult) *pResult = result;
    return TRUE;
}

BOOL CWnd::DispatchWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(message);
    if (!entry) return FALSE;
    AfxCall call(message, wParam, lParam);
    if (!entry->pfn(*this, call)) return FALSE;
    *pResult = call.result;
    return TRUE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) return CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() { return DefWindowProc(t.current.message, t.current.wParam, t.current.lParam); }

const MSG* CWnd::GetCurrentMessage() { return &t.current; }

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT nID = LOWORD(wParam);
    const auto control = reinterpret_cast<HWND>(lParam);
    int nCode = HIWORD(wParam);
    if (!control) {
        // A menu item or key: not run when its command has gone grey since.
        if (nID == 0) return FALSE;
        CTestCmdUI state;
        state.m_nID = nID;
        OnCmdMsg(nID, CN_UPDATE_COMMAND_UI, &state, nullptr);
        if (!state.m_bEnabled) return TRUE;
        nCode = CN_COMMAND;
    } else {
        if (ReflectLastMsg(control)) return TRUE;
        if (nID == 0) return FALSE;
    }
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (ReflectLastMsg(header->hwndFrom, pResult)) return TRUE;
    AFX_NOTIFY notify{pResult, header};
    return OnCmdMsg(static_cast<UINT>(header->idFrom), static_cast<int>(MAKELPARAM(header->code, WM_NOTIFY)), &notify,
                    nullptr);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    LRESULT ignored = 0;
    if (!pResult) pResult = &ignored;
    switch (message) {
        case WM_COMMAND: {
            const int code = static_cast<int>(MAKELPARAM(HIWORD(wParam), WM_REFLECT_BASE + WM_COMMAND));
            if (!CCmdTarget::OnCmdMsg(0, code, nullptr, nullptr)) return FALSE;
            *pResult = 1;
            return TRUE;
        }
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            AFX_NOTIFY notify{pResult, header};
            const int code = static_cast<int>(MAKELPARAM(header->code, WM_REFLECT_BASE + WM_NOTIFY));
            return CCmdTarget::OnCmdMsg(0, code, &notify, nullptr);
        }
        case WM_HSCROLL:
        case WM_VSCROLL:
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
            return DispatchWindowMessage(WM_REFLECT_BASE + message, wParam, lParam, pResult);
        default:
            break;
    }
    if (message >= WM_FIRSTCTLCOLOR && message <= WM_LASTCTLCOLOR) {
        // A reflected colour handler that gives no brush leaves the answer to the parent.
        const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(WM_REFLECT_BASE + WM_CTLCOLOR);
        if (!entry) return FALSE;
        AfxCall call(message, wParam, message - WM_FIRSTCTLCOLOR);
        if (!entry->pfn(*this, call)) return FALSE;
        *pResult = call.result;
        return TRUE;
    }
    return FALSE;
}

BOOL CWnd::ReflectLastMsg(HWND hWndChild, LRESULT* pResult) {
    CWnd* child = FromHandlePermanent(hWndChild);
    return child ? child->SendChildNotifyLastMsg(pResult) : FALSE;
}

BOOL CWnd::SendChildNotifyLastMsg(LRESULT* pResult) {
    return OnChildNotify(t.current.message, t.current.wParam, t.current.lParam, pResult);
}

CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }

CWnd* CWnd::SetParent(CWnd* pWndNewParent) { return FromHandle(::SetParent(m_hWnd, SafeHwnd(pWndNewParent))); }

CWnd* CWnd::GetOwner() const { return m_hWndOwner ? FromHandle(m_hWndOwner) : GetParent(); }

CFrameWnd* CWnd::GetParentFrame() const {
    for (HWND hwnd = ::GetParent(m_hWnd); hwnd; hwnd = ::GetParent(hwnd))
        if (auto* frame = dynamic_cast<CFrameWnd*>(FromHandlePermanent(hwnd))) return frame;
    return nullptr;
}

CFrameWnd* CWnd::GetTopLevelFrame() const {
    CFrameWnd* top = dynamic_cast<CFrameWnd*>(FromHandlePermanent(m_hWnd));
    for (CFrameWnd* frame = GetParentFrame(); frame; frame = frame->GetParentFrame()) top = frame;
    return top;
}

CWnd* CWnd::GetTopLevelParent() const {
    HWND top = m_hWnd;
    for (HWND up = ::GetParent(top); up; up = ::GetParent(up)) top = up;
    return FromHandle(top);
}

CWnd* CWnd::GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }

void CWnd::SetDlgItemText(int nID, LPCSTR lpszString) { ::SetWindowTextA(::GetDlgItem(m_hWnd, nID), lpszString); }

std::string CWnd::GetDlgItemText(int nID) const {
    CWnd* item = GetDlgItem(nID);
    return item ? item->GetWindowText() : std::string();
}

LRESULT CWnd::SendDlgItemMessage(int nID, UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageA(::GetDlgItem(m_hWnd, nID), message, wParam, lParam);
}

void CWnd::CheckDlgButton(int nIDButton, UINT nCheck) { SendDlgItemMessage(nIDButton, kButtonSetCheck, nCheck); }

UINT CWnd::IsDlgButtonChecked(int nIDButton) const {
    return static_cast<UINT>(SendDlgItemMessage(nIDButton, kButtonGetCheck));
}

CWnd* CWnd::GetDescendantWindow(int nID, BOOL bOnlyPerm) const { return DescendantOf(m_hWnd, nID, bOnlyPerm); }

CWnd* CWnd::GetWindow(UINT nCmd) const { return FromHandle(::GetWindow(m_hWnd, nCmd)); }

BOOL CWnd::IsChild(const CWnd* pWnd) const { return ::IsChild(m_hWnd, SafeHwnd(pWnd)); }

int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }

int CWnd::SetDlgCtrlID(int nID) { return static_cast<int>(SetWindowLongPtrA(m_hWnd, GWLP_ID, nID)); }

DWORD CWnd::GetStyle() const { return static_cast<DWORD>(GetWindowLongPtrA(m_hWnd, GWL_STYLE)); }

DWORD CWnd::GetExStyle() const { return static_cast<DWORD>(GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE)); }

namespace {

BOOL ModifyLong(HWND hwnd, int index, DWORD remove, DWORD add, UINT flags) {
    const auto old = static_cast<DWORD>(GetWindowLongPtrA(hwnd, index));
    const DWORD now = (old & ~remove) | add;
    if (now == old) return FALSE;
    SetWindowLongPtrA(hwnd, index, now);
    if (flags) SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
    return TRUE;
}

}  // namespace

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    return ModifyLong(m_hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}
BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    return ModifyLong(m_hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}
BOOL CWnd::ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::EnableWindow(BOOL bEnable) { return ::EnableWindow(m_hWnd, bEnable); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
void CWnd::SetWindowText(LPCSTR lpszString) { ::SetWindowTextA(m_hWnd, lpszString); }

std::string CWnd::GetWindowText() const {
    std::string text(static_cast<std::size_t>(std::max(0, GetWindowTextLength())) + 1, '\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextA(m_hWnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

int CWnd::GetWindowText(LPSTR lpszStringBuf, int nMaxCount) const {
    return ::GetWindowTextA(m_hWnd, lpszStringBuf, nMaxCount);
}
int CWnd::GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }

void CWnd::SetFont(CFont* pFont, BOOL bRedraw) {
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(pFont ? pFont->m_hObject : nullptr), bRedraw);
}

CFont* CWnd::GetFont() const { return CFont::FromHandle(reinterpret_cast<HFONT>(SendMessage(WM_GETFONT))); }

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon) {
    return reinterpret_cast<HICON>(SendMessage(WM_SETICON, bBigIcon, reinterpret_cast<LPARAM>(hIcon)));
}

void CWnd::GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
void CWnd::GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
void CWnd::ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(m_hWnd, lpPoint); }
void CWnd::ClientToScreen(LPRECT lpRect) const {
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(lpRect), 2);
}
void CWnd::ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(m_hWnd, lpPoint); }
void CWnd::ScreenToClient(LPRECT lpRect) const {
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(lpRect), 2);
}
void CWnd::MapWindowPoints(CWnd* pwndTo, LPPOINT lpPoint, UINT nCount) const {
    ::MapWindowPoints(m_hWnd, SafeHwnd(pwndTo), lpPoint, nCount);
}
void CWnd::MapWindowPoints(CWnd* pwndTo, LPRECT lpRect) const {
    ::MapWindowPoints(m_hWnd, SafeHwnd(pwndTo), reinterpret_cast<POINT*>(lpRect), 2);
}
void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
    ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}
void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint) {
    MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, bRepaint);
}
BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
    return ::SetWindowPos(m_hWnd, SafeHwnd(pWndInsertAfter), x, y, cx, cy, nFlags);
}

void CWnd::CalcWindowRect(LPRECT lpClientRect, UINT nAdjustType) {
    if (nAdjustType != adjustOutside) return;
    // The window's own non-client thickness, as it has it now.
    CRect window, client;
    GetWindowRect(&window);
    GetClientRect(&client);
    ClientToScreen(&client);
    lpClientRect->left -= client.left - window.left;
    lpClientRect->top -= client.top - window.top;
    lpClientRect->right += window.right - client.right;
    lpClientRect->bottom += window.bottom - client.bottom;
}

void CWnd::RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlag, LPRECT lpRectParam,
                          LPCRECT lpRectClient, BOOL bStretch) {
    AFX_SIZEPARENTPARAMS layout{};
    const bool query = (nFlag & ~reposExtra) == reposQuery;
    layout.hDWP = query ? nullptr : &layout;
    layout.bStretch = bStretch;
    if (lpRectClient)
        layout.rect = *lpRectClient;
    else
        GetClientRect(&layout.rect);
    CWnd* leftOver = nullptr;
    for (HWND child : ChildrenOf(m_hWnd)) {
        const auto id = static_cast<UINT>(::GetDlgCtrlID(child));
        if (id == nIDLeftOver && nIDLeftOver)
            leftOver = FromHandle(child);
        else if (id >= nIDFirst && id <= nIDLast && ::IsWindow(child))
            ::SendMessageA(child, WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
    }
    if (query) {
        if (!lpRectParam) return;
        if (bStretch)
            *lpRectParam = layout.rect;
        else
            *lpRectParam = RECT{0, 0, layout.sizeTotal.cx, layout.sizeTotal.cy};
        return;
    }
    if (!leftOver) return;
    CRect rest(layout.rect);
    if ((nFlag & reposExtra) && lpRectParam) {
        rest.left += lpRectParam->left;
        rest.top += lpRectParam->top;
        rest.right -= lpRectParam->right;
        rest.bottom -= lpRectParam->bottom;
    }
    leftOver->CalcWindowRect(&rest);
    AfxRepositionWindow(&layout, leftOver->m_hWnd, &rest);
}

void AfxRepositionWindow(AFX_SIZEPARENTPARAMS* layout, HWND hwnd, const RECT* rect) {
    if (!layout || !layout->hDWP || !hwnd || !rect) return;
    RECT old;
    ::GetWindowRect(hwnd, &old);
    ::MapWindowPoints(nullptr, ::GetParent(hwnd), reinterpret_cast<POINT*>(&old), 2);
    if (EqualRect(&old, rect)) return;
    ::SetWindowPos(hwnd, nullptr, rect->left, rect->top, std::max<LONG>(0, rect->right - rect->left),
                   std::max<LONG>(0, rect->bottom - rect->top), SWP_NOACTIVATE | SWP_NOZORDER);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner) {
    CRect area;
    HWND around = pAlternateOwner ? pAlternateOwner->m_hWnd : ::GetParent(m_hWnd);
    const bool child = (GetStyle() & WS_CHILD) != 0;
    if (child && around)
        ::GetClientRect(around, &area);
    else if (around && ::IsWindowVisible(around))
        ::GetWindowRect(around, &area);
    else
        area = CRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    CRect mine;
    GetWindowRect(&mine);
    int x = area.left + (area.Width() - mine.Width()) / 2;
    int y = area.top + (area.Height() - mine.Height()) / 2;
    if (!child) {
        x = std::max(0, x);
        y = std::max(0, y);
    }
    SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::Invalidate(BOOL bErase) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
void CWnd::InvalidateRect(LPCRECT lpRect, BOOL bErase) { ::InvalidateRect(m_hWnd, lpRect, bErase); }
void CWnd::ValidateRect(LPCRECT lpRect) { ::ValidateRect(m_hWnd, lpRect); }
void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }
BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, HRGN hrgnUpdate, UINT flags) {
    return ::RedrawWindow(m_hWnd, lpRectUpdate, hrgnUpdate, flags);
}
void CWnd::SetRedraw(BOOL bRedraw) { SendMessage(WM_SETREDRAW, bRedraw); }
CDC* CWnd::GetDC() { return CDC::FromHandle(::GetDC(m_hWnd)); }
CDC* CWnd::GetWindowDC() { return CDC::FromHandle(::GetWindowDC(m_hWnd)); }
int CWnd::ReleaseDC(CDC* pDC) {
    if (!pDC) return 0;
    HDC hdc = pDC->m_hDC;
    if (CDC::FromHandle(hdc) == pDC) pDC->Detach();
    return ::ReleaseDC(m_hWnd, hdc);
}

CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
CWnd* CWnd::GetFocus() { return FromHandle(::GetFocus()); }
CWnd* CWnd::SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
CWnd* CWnd::GetCapture() { return FromHandle(::GetCapture()); }
CWnd* CWnd::SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
CWnd* CWnd::GetActiveWindow() { return FromHandle(::GetActiveWindow()); }
UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer) {
    return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
}
BOOL CWnd::KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }
CMenu* CWnd::GetMenu() const { return CMenu::FromHandle(::GetMenu(m_hWnd)); }
BOOL CWnd::SetMenu(CMenu* pMenu) { return ::SetMenu(m_hWnd, pMenu ? pMenu->m_hMenu : nullptr); }
void CWnd::DrawMenuBar() { ::DrawMenuBar(m_hWnd); }
CMenu* CWnd::GetSystemMenu(BOOL bRevert) const { return CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert)); }

void CWnd::UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler) {
    CCmdUI state;
    for (HWND child : ChildrenOf(m_hWnd)) {
        const int id = ::GetDlgCtrlID(child);
        if (id <= 0 || id == 0xFFFF) continue;
        state.m_pOther = FromHandle(child);
        state.m_nID = static_cast<UINT>(id);
        state.DoUpdate(pTarget, bDisableIfNoHndler);
    }
}

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
ON_WM_NCDESTROY()
ON_WM_MEASUREITEM()
ON_WM_DRAWITEM()
ON_WM_SYSCOLORCHANGE()
END_MESSAGE_MAP()

// Default handling: the message as it came, to the window's own procedure.
int CWnd::OnCreate(LPCREATESTRUCTA) { return static_cast<int>(Default()); }
BOOL CWnd::OnNcCreate(LPCREATESTRUCTA) { return static_cast<BOOL>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnNcDestroy() {
    // The main window's end is the thread's end.
    if (CWinThread* thread = AfxGetThread(); thread && thread->m_pMainWnd == this) {
        thread->m_pMainWnd = nullptr;
        PostQuitMessage(0);
    }
    Default();
}
void CWnd::OnClose() { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnActivate(UINT, CWnd*, BOOL) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return static_cast<BOOL>(Default()); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyDown(UINT, UINT, UINT) { Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }
void CWnd::OnHScroll(UINT, UINT, CWnd*) { Default(); }
void CWnd::OnVScroll(UINT, UINT, CWnd*) { Default(); }
LRESULT CWnd::OnNcHitTest(CPoint) { return Default(); }
void CWnd::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) { Default(); }
void CWnd::OnNcPaint() { Default(); }
void CWnd::OnNcLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnNcMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnWindowPosChanging(WINDOWPOS*) { Default(); }
void CWnd::OnWindowPosChanged(WINDOWPOS*) { Default(); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
void CWnd::OnSysColorChange() {
    // The system tells top-level windows only; their child windows (bars, views, controls) draw
    // in those colours too, so they hear it from them.
    Default();
    if (!(GetStyle() & WS_CHILD)) SendMessageToDescendants(WM_SYSCOLORCHANGE, 0, 0, TRUE, FALSE);
}
void CWnd::OnSettingChange(UINT, LPCSTR) { Default(); }
void CWnd::OnCancelMode() { Default(); }
UINT CWnd::OnGetDlgCode() { return static_cast<UINT>(Default()); }
HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }
void CWnd::OnMenuSelect(UINT, UINT, HMENU) { Default(); }
void CWnd::OnInitMenu(CMenu*) { Default(); }
void CWnd::OnInitMenuPopup(CMenu*, UINT, BOOL) { Default(); }
LRESULT CWnd::OnMenuChar(UINT, UINT, CMenu*) { return Default(); }

namespace {

// The object of the menu (in `menu`'s tree) that holds command `id`, if it has one.
CMenu* MenuHolding(HMENU menu, UINT id, int depth = 0) {
    const int count = ::GetMenuItemCount(menu);
    if (depth > 16) return nullptr;  // a menu may hold itself
    for (int i = 0; i < count; ++i) {
        if (HMENU sub = ::GetSubMenu(menu, i)) {
            if (CMenu* found = MenuHolding(sub, id, depth + 1)) return found;
        } else if (::GetMenuItemID(menu, i) == id) {
            return CMenu::FromHandlePermanent(menu);
        }
    }
    return nullptr;
}

}  // namespace

void CWnd::OnMeasureItem(int, MEASUREITEMSTRUCT* lpMeasureItemStruct) {
    if (lpMeasureItemStruct->CtlType == ODT_MENU) {
        CMenu* menu = MenuHolding(::GetMenu(m_hWnd), lpMeasureItemStruct->itemID);
        if (!menu) menu = MenuHolding(::GetSystemMenu(m_hWnd, FALSE), lpMeasureItemStruct->itemID);
        if (menu) {
            menu->MeasureItem(lpMeasureItemStruct);
            return;
        }
    } else if (ReflectLastMsg(::GetDlgItem(m_hWnd, static_cast<int>(lpMeasureItemStruct->CtlID)))) {
        return;
    }
    Default();
}

void CWnd::OnDrawItem(int, DRAWITEMSTRUCT* lpDrawItemStruct) {
    if (lpDrawItemStruct->CtlType == ODT_MENU) {
        // A menu's hwndItem is the menu itself.
        if (CMenu* menu = CMenu::FromHandlePermanent(reinterpret_cast<HMENU>(lpDrawItemStruct->hwndItem))) {
            menu->DrawItem(lpDrawItemStruct);
            return;
        }
    } else if (ReflectLastMsg(lpDrawItemStruct->hwndItem)) {
        return;
    }
    Default();
}
void CWnd::OnEnterMenuLoop(BOOL) { Default(); }
void CWnd::OnExitMenuLoop(BOOL) { Default(); }
void CWnd::OnEnterIdle(UINT, CWnd*) { Default(); }
