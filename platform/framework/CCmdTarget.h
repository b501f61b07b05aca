#pragma once
// Message maps and command routing. Each class with a map has one constant table of entries
// {message, code, id range, handler kind, handler}, chained to its base class's table. Window
// messages are looked up once per (table, message) and remembered; commands and notifications
// are matched by id and code as they are routed.
//
// A handler is reached through a small function made for that member (a thunk), so the member's
// signature is checked when the table is compiled and no member pointer is cast.

#include "platform/controls/CommCtrl.h"
#include "platform/framework/CObject.h"
#include "platform/window/WindowTypes.h"

class CCmdTarget;
class CCmdUI;

// Routing codes of OnCmdMsg. Control notifications arrive with their own code; WM_NOTIFY codes as
// MAKELONG(code, WM_NOTIFY).
constexpr int CN_COMMAND = 0;
constexpr int CN_UPDATE_COMMAND_UI = -1;

// Handler kinds: what a handler takes and returns (the letters name them: v void, b BOOL, i int,
// l LRESULT, u UINT, W CWnd*, D CDC*, M CMenu*, p CPoint, ...).
enum AfxSig : UINT {
    AfxSig_end = 0,
    // Commands and notifications.
    AfxSig_cmd_v,       // void ()
    AfxSig_cmd_b_u,     // BOOL (UINT id): FALSE routes on
    AfxSig_cmd_v_u,     // void (UINT id), for ranges
    AfxSig_cmdui,       // void (CCmdUI*)
    AfxSig_cmdui_u,     // void (CCmdUI*), for ranges (the id is in the CCmdUI)
    AfxSig_notify,      // void (NMHDR*, LRESULT*)
    AfxSig_notify_b,    // BOOL (NMHDR*, LRESULT*): FALSE routes on
    AfxSig_notify_u,    // void (UINT id, NMHDR*, LRESULT*)
    AfxSig_notify_b_u,  // BOOL (UINT id, NMHDR*, LRESULT*)
    // Window messages.
    AfxSig_v_v,          // void ()
    AfxSig_l_w_l,        // LRESULT (WPARAM, LPARAM)
    AfxSig_i_CREATE,     // int (LPCREATESTRUCTA)
    AfxSig_b_CREATE,     // BOOL (LPCREATESTRUCTA)
    AfxSig_v_u_ii,       // void (UINT, int, int)
    AfxSig_v_ii,         // void (int, int)
    AfxSig_b_D,          // BOOL (CDC*)
    AfxSig_v_t,          // void (UINT_PTR)
    AfxSig_v_u_p,        // void (UINT, CPoint)
    AfxSig_b_W_uu,       // BOOL (CWnd*, UINT, UINT)
    AfxSig_hbr_D_W_u,    // HBRUSH (CDC*, CWnd*, UINT)
    AfxSig_hbr_D_u,      // HBRUSH (CDC*, UINT), reflected
    AfxSig_l_p,          // LRESULT (CPoint)
    AfxSig_v_b_NCCALC,   // void (BOOL, NCCALCSIZE_PARAMS*)
    AfxSig_v_W,          // void (CWnd*)
    AfxSig_v_u_u_u,      // void (UINT, UINT, UINT)
    AfxSig_v_u_W_b,      // void (UINT, CWnd*, BOOL)
    AfxSig_v_b_u,        // void (BOOL, UINT)
    AfxSig_v_b,          // void (BOOL)
    AfxSig_v_M,          // void (CMenu*)
    AfxSig_v_M_u_b,      // void (CMenu*, UINT, BOOL)
    AfxSig_l_u_u_M,      // LRESULT (UINT, UINT, CMenu*)
    AfxSig_v_u_u_hmenu,  // void (UINT, UINT, HMENU)
    AfxSig_v_u_W,        // void (UINT, CWnd*)
    AfxSig_v_u_u_W,      // void (UINT, UINT, CWnd*)
    AfxSig_v_W_p,        // void (CWnd*, CPoint)
    AfxSig_v_POS,        // void (WINDOWPOS*)
    AfxSig_v_MMI,        // void (MINMAXINFO*)
    AfxSig_b_u_s_p,      // BOOL (UINT, short, CPoint)
    AfxSig_v_u_sz,       // void (UINT, LPCSTR)
    AfxSig_u_v,          // UINT ()
    AfxSig_v_i_MIS,      // void (int, MEASUREITEMSTRUCT*)
    AfxSig_v_i_DIS,      // void (int, DRAWITEMSTRUCT*)
    AfxSig_v_MIS,        // void (MEASUREITEMSTRUCT*), reflected
    AfxSig_v_DIS,        // void (DRAWITEMSTRUCT*), reflected
};

// One dispatch: a window message, or a command or notification being routed.
struct AfxCall {
    AfxCall(UINT msg, WPARAM w, LPARAM l, UINT id = 0, void* extra = nullptr)
        : message(msg), wParam(w), lParam(l), nID(id), pExtra(extra) {}

    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    UINT nID;
    void* pExtra;  // CCmdUI* for updates, AFX_NOTIFY* for notifications
    LRESULT result = 0;
};

// Calls the handler; FALSE when it declined (the _EX kinds) and routing goes on.
using AFX_THUNK = BOOL (*)(CCmdTarget& target, AfxCall& call);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // window message, WM_COMMAND or WM_NOTIFY; + WM_REFLECT_BASE when reflected
    UINT nCode;     // control or notification code (low 16 bits), CN_UPDATE_COMMAND_UI for updates
    UINT nID;       // first command or control id; 0 for window messages
    UINT nLastID;   // last id of the range
    UINT nSig;      // AfxSig
    AFX_THUNK pfn;  // null ends the table
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Filled by OnCmdMsg instead of calling: who would handle the command.
struct AFX_CMDHANDLERINFO {
    CCmdTarget* pTarget;
    const AFX_MSGMAP_ENTRY* pEntry;
};

// pExtra of a routed WM_NOTIFY.
struct AFX_NOTIFY {
    LRESULT* pResult;
    NMHDR* pNMHDR;
};

// Leaves the class in its protected part, where handlers usually follow.
#define DECLARE_MESSAGE_MAP()                     \
protected:                                        \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                        \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                 \
        using ThisClass [[maybe_unused]] = theClass;                                  \
        using TheBaseClass = baseClass;                                               \
        static const AFX_MSGMAP_ENTRY messageEntries[] = {
#define END_MESSAGE_MAP()                                                                        \
    { 0, 0, 0, 0, AfxSig_end, nullptr }                                                          \
    }                                                                                            \
    ;                                                                                            \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &messageEntries[0]}; \
    return &messageMap;                                                                          \
    }

namespace afx {

// The thunks of commands and notifications; those of window messages are in AfxMsg.h.
template <class T, auto Fn, UINT Sig>
BOOL CmdThunk(CCmdTarget& target, AfxCall& call) {
    T& object = static_cast<T&>(target);
    if constexpr (Sig == AfxSig_cmd_v) {
        (object.*Fn)();
    } else if constexpr (Sig == AfxSig_cmd_b_u) {
        return (object.*Fn)(call.nID);
    } else if constexpr (Sig == AfxSig_cmd_v_u) {
        (object.*Fn)(call.nID);
    } else if constexpr (Sig == AfxSig_cmdui || Sig == AfxSig_cmdui_u) {
        (object.*Fn)(static_cast<CCmdUI*>(call.pExtra));
    } else {
        auto* notify = static_cast<AFX_NOTIFY*>(call.pExtra);
        if constexpr (Sig == AfxSig_notify) {
            (object.*Fn)(notify->pNMHDR, notify->pResult);
        } else if constexpr (Sig == AfxSig_notify_b) {
            return (object.*Fn)(notify->pNMHDR, notify->pResult);
        } else if constexpr (Sig == AfxSig_notify_u) {
            (object.*Fn)(call.nID, notify->pNMHDR, notify->pResult);
        } else {
            static_assert(Sig == AfxSig_notify_b_u, "not a command or notification kind");
            return (object.*Fn)(call.nID, notify->pNMHDR, notify->pResult);
        }
    }
    return TRUE;
}

}  // namespace afx

#define AFX_CMD_ENTRY(message, code, first, last, sig, fn)                                          \
    {message, static_cast<UINT>(code),           static_cast<UINT>(first), static_cast<UINT>(last), \
     sig,     &afx::CmdThunk<ThisClass, fn, sig>},

// Handlers are named with their class: ON_COMMAND(ID_APP_EXIT, &CMyApp::OnAppExit).
#define ON_COMMAND(id, fn) AFX_CMD_ENTRY(WM_COMMAND, CN_COMMAND, id, id, AfxSig_cmd_v, fn)
#define ON_COMMAND_EX(id, fn) AFX_CMD_ENTRY(WM_COMMAND, CN_COMMAND, id, id, AfxSig_cmd_b_u, fn)
#define ON_COMMAND_RANGE(first, last, fn) AFX_CMD_ENTRY(WM_COMMAND, CN_COMMAND, first, last, AfxSig_cmd_v_u, fn)
#define ON_COMMAND_EX_RANGE(first, last, fn) AFX_CMD_ENTRY(WM_COMMAND, CN_COMMAND, first, last, AfxSig_cmd_b_u, fn)
#define ON_UPDATE_COMMAND_UI(id, fn) AFX_CMD_ENTRY(WM_COMMAND, CN_UPDATE_COMMAND_UI, id, id, AfxSig_cmdui, fn)
#define ON_UPDATE_COMMAND_UI_RANGE(first, last, fn) \
    AFX_CMD_ENTRY(WM_COMMAND, CN_UPDATE_COMMAND_UI, first, last, AfxSig_cmdui_u, fn)
#define ON_CONTROL(code, id, fn) AFX_CMD_ENTRY(WM_COMMAND, static_cast<WORD>(code), id, id, AfxSig_cmd_v, fn)
#define ON_CONTROL_RANGE(code, first, last, fn) \
    AFX_CMD_ENTRY(WM_COMMAND, static_cast<WORD>(code), first, last, AfxSig_cmd_v_u, fn)
#define ON_CONTROL_REFLECT(code, fn) \
    AFX_CMD_ENTRY(WM_REFLECT_BASE + WM_COMMAND, static_cast<WORD>(code), 0, 0, AfxSig_cmd_v, fn)
#define ON_CONTROL_REFLECT_EX(code, fn) \
    AFX_CMD_ENTRY(WM_REFLECT_BASE + WM_COMMAND, static_cast<WORD>(code), 0, 0, AfxSig_cmd_b_u, fn)
#define ON_NOTIFY(code, id, fn) AFX_CMD_ENTRY(WM_NOTIFY, static_cast<WORD>(code), id, id, AfxSig_notify, fn)
#define ON_NOTIFY_RANGE(code, first, last, fn) \
    AFX_CMD_ENTRY(WM_NOTIFY, static_cast<WORD>(code), first, last, AfxSig_notify_u, fn)
#define ON_NOTIFY_EX(code, id, fn) AFX_CMD_ENTRY(WM_NOTIFY, static_cast<WORD>(code), id, id, AfxSig_notify_b_u, fn)
#define ON_NOTIFY_EX_RANGE(code, first, last, fn) \
    AFX_CMD_ENTRY(WM_NOTIFY, static_cast<WORD>(code), first, last, AfxSig_notify_b_u, fn)
#define ON_NOTIFY_REFLECT(code, fn) \
    AFX_CMD_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, static_cast<WORD>(code), 0, 0, AfxSig_notify, fn)
#define ON_NOTIFY_REFLECT_EX(code, fn) \
    AFX_CMD_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, static_cast<WORD>(code), 0, 0, AfxSig_notify_b, fn)

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)

public:
    // Routes a command (CN_COMMAND or a control's code), a command-state update
    // (CN_UPDATE_COMMAND_UI, pExtra a CCmdUI*) or a notification (MAKELONG(code, WM_NOTIFY),
    // pExtra an AFX_NOTIFY*) to this object's handler. With pHandlerInfo, only says who would.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // The entry for a window message (matched by message alone) in this object's map chain, or
    // null. Remembered per thread for each (map, message).
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT message) const;
};
