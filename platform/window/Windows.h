#pragma once
// Windows, messages, painting and input: the window system's functions, under the names, with
// the arguments and results the viewer's code expects.

#include <functional>

#include "platform/window/WindowTypes.h"

// Classes.
ATOM RegisterClassA(const WNDCLASSA* cls);
BOOL UnregisterClassA(LPCSTR name, HINSTANCE instance);
BOOL GetClassInfoA(HINSTANCE instance, LPCSTR name, WNDCLASSA* cls);
int GetClassNameA(HWND hwnd, char* name, int size);

// Windows.
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y, int width, int height,
                     HWND parent, HMENU menuOrId, HINSTANCE instance, LPVOID param);
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);
BOOL ShowWindow(HWND hwnd, int command);
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int width, int height, UINT flags);
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
BOOL BringWindowToTop(HWND hwnd);
BOOL GetWindowRect(HWND hwnd, RECT* r);  // screen coordinates
BOOL GetClientRect(HWND hwnd, RECT* r);
BOOL ClientToScreen(HWND hwnd, POINT* p);
BOOL ScreenToClient(HWND hwnd, POINT* p);
int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count);
HWND GetParent(HWND hwnd);  // the parent of a child, the owner of a top-level window
HWND SetParent(HWND hwnd, HWND parent);
HWND GetAncestor(HWND hwnd, UINT flags);
HWND GetWindow(HWND hwnd, UINT command);
BOOL IsChild(HWND parent, HWND hwnd);
HWND GetDlgItem(HWND parent, int id);
int GetDlgCtrlID(HWND hwnd);
std::intptr_t GetWindowLongPtrA(HWND hwnd, int index);
std::intptr_t SetWindowLongPtrA(HWND hwnd, int index, std::intptr_t value);
BOOL SetWindowTextA(HWND hwnd, LPCSTR text);
int GetWindowTextA(HWND hwnd, char* text, int size);
int GetWindowTextLengthA(HWND hwnd);
BOOL IsWindowVisible(HWND hwnd);  // it and every ancestor
BOOL IsWindowEnabled(HWND hwnd);
BOOL EnableWindow(HWND hwnd, BOOL enable);  // the previous state: TRUE when it was disabled
BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM param);
HWND WindowFromPoint(POINT screen);
HWND ChildWindowFromPoint(HWND parent, POINT client);
HWND GetDesktopWindow();
BOOL SetPropA(HWND hwnd, LPCSTR name, HANDLE data);  // a name, or an atom as MAKEINTRESOURCEA
HANDLE GetPropA(HWND hwnd, LPCSTR name);
HANDLE RemovePropA(HWND hwnd, LPCSTR name);
ATOM GlobalAddAtomA(LPCSTR name);
ATOM GlobalDeleteAtom(ATOM atom);
ATOM GlobalFindAtomA(LPCSTR name);

// Messages.
LRESULT SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// A window of the calling thread gets the message at once; one of another thread gets it as a
// sent message when that thread next looks at its queue, and the caller does not wait (messages
// below WM_USER that carry pointers are refused across threads: ERROR_MESSAGE_SYNC_ONLY).
BOOL SendNotifyMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Messages below WM_USER that carry pointers are refused (ERROR_MESSAGE_SYNC_ONLY).
BOOL PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
// FALSE for WM_QUIT, -1 for bad arguments, else TRUE.
BOOL GetMessageA(MSG* msg, HWND hwnd, UINT first, UINT last);
BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT first, UINT last, UINT remove);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
BOOL WaitMessage();
// The calling thread's queue (QS_* bits of `flags`): high word what is in it, low word what came
// since the last look (GetQueueStatus, GetMessage, PeekMessage) and is still there.
DWORD GetQueueStatus(UINT flags);
DWORD GetMessageTime();
DWORD GetMessagePos();
LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
std::uintptr_t SetTimer(HWND hwnd, std::uintptr_t id, UINT milliseconds, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, std::uintptr_t id);
// WH_CALLWNDPROC for one thread (0: the calling one): called before every message sent to a
// window of that thread.
HHOOK SetWindowsHookExA(int kind, HOOKPROC proc, HINSTANCE module, DWORD threadId);
BOOL UnhookWindowsHookEx(HHOOK hook);
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);
// Linux extension: the framework's idle processing. GetMessage calls `hook` with a growing count
// whenever the queue runs empty, until it returns false; the next message starts a new round.
void SetThreadIdleHook(std::function<bool(long count)> hook);

// The colour scheme: the system colours and their brushes change (StoreSysColors), then every
// top-level window is sent WM_SYSCOLORCHANGE as by SendNotifyMessage, so that a thread that does
// not look at its queue cannot hold the caller up. Frameworks pass it on to child windows. FALSE,
// with nothing changed or sent, for bad arguments (ERROR_INVALID_PARAMETER).
BOOL SetSysColors(int count, const int* indexes, const COLORREF* colors);

// Painting.
BOOL InvalidateRect(HWND hwnd, const RECT* r, BOOL erase);
BOOL ValidateRect(HWND hwnd, const RECT* r);
BOOL UpdateWindow(HWND hwnd);
BOOL RedrawWindow(HWND hwnd, const RECT* r, HRGN region, UINT flags);
BOOL GetUpdateRect(HWND hwnd, RECT* r, BOOL erase);
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
HDC GetDC(HWND hwnd);
HDC GetWindowDC(HWND hwnd);
// Linux extension: a window context that draws outside the client area only, so that drawing the
// frame or the scroll bars sends the frame alone to the screen, not the client between.
HDC GetFrameDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC hdc);

// Input.
HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();
HWND GetActiveWindow();
HWND SetActiveWindow(HWND hwnd);
BOOL SetForegroundWindow(HWND hwnd);
HWND GetForegroundWindow();
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
BOOL GetCursorPos(POINT* p);
short GetKeyState(int vk);
short GetAsyncKeyState(int vk);
UINT GetDoubleClickTime();
