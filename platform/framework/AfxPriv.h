#pragma once
// The framework's private window messages and the layout query its frames and bars answer.

#include "platform/window/WindowTypes.h"

// Pointer names the framework's signatures use (a repeated alias of the same type is allowed).
using LPRECT = RECT*;
using LPCRECT = const RECT*;
using LPPOINT = POINT*;
using LPCREATESTRUCTA = CREATESTRUCTA*;
using LPCREATESTRUCT = CREATESTRUCTA*;

constexpr UINT WM_SIZEPARENT = 0x0361;        // lParam: AFX_SIZEPARENTPARAMS*
constexpr UINT WM_SETMESSAGESTRING = 0x0362;  // wParam: string id, or 0 with lParam: text
constexpr UINT WM_IDLEUPDATECMDUI = 0x0363;   // wParam: disable commands without a handler
constexpr UINT WM_INITIALUPDATE = 0x0364;
constexpr UINT WM_COMMANDHELP = 0x0365;
constexpr UINT WM_HELPHITTEST = 0x0366;
constexpr UINT WM_EXITHELPMODE = 0x0367;
constexpr UINT WM_RECALCPARENT = 0x0368;
constexpr UINT WM_SIZECHILD = 0x0369;
constexpr UINT WM_KICKIDLE = 0x036A;
constexpr UINT WM_QUERYCENTERWND = 0x036B;
constexpr UINT WM_DISABLEMODAL = 0x036C;
constexpr UINT WM_FLOATSTATUS = 0x036D;
constexpr UINT WM_ACTIVATETOPLEVEL = 0x036E;
constexpr UINT WM_POPMESSAGESTRING = 0x0375;

// Message-map keys that are not window messages of their own.
constexpr UINT WM_CTLCOLOR = 0x0019;       // every WM_CTLCOLOR* message, with its CTLCOLOR_* kind
constexpr UINT WM_REFLECT_BASE = 0xBC00;   // + message: a notification offered back to its control
constexpr UINT WM_FIRSTCTLCOLOR = 0x0132;  // WM_CTLCOLORMSGBOX
constexpr UINT WM_LASTCTLCOLOR = 0x0138;   // WM_CTLCOLORSTATIC
constexpr UINT CTLCOLOR_MSGBOX = 0;
constexpr UINT CTLCOLOR_EDIT = 1;
constexpr UINT CTLCOLOR_LISTBOX = 2;
constexpr UINT CTLCOLOR_BTN = 3;
constexpr UINT CTLCOLOR_DLG = 4;
constexpr UINT CTLCOLOR_SCROLLBAR = 5;
constexpr UINT CTLCOLOR_STATIC = 6;

// WM_SIZEPARENT: each bar takes its share of `rect` and moves itself there unless hDWP is null
// (a query). Windows move at once here; hDWP only says whether to move.
struct AFX_SIZEPARENTPARAMS {
    void* hDWP;
    RECT rect;
    SIZE sizeTotal;
    BOOL bStretch;
};

// CWnd::RepositionBars flags.
constexpr UINT reposDefault = 0;
constexpr UINT reposQuery = 1;
constexpr UINT reposExtra = 2;
// CWnd::CalcWindowRect kinds.
constexpr UINT adjustBorder = 0;
constexpr UINT adjustOutside = 1;

// Moves `hwnd` to `rect` (its parent's client coordinates) when the layout is not a query.
void AfxRepositionWindow(AFX_SIZEPARENTPARAMS* layout, HWND hwnd, const RECT* rect);
