#pragma once
// MessageBoxA: a modal dialog of ours with an icon, the text (wrapped), and one of the
// platform's button sets; it returns the id of the button pressed. Owned by (and disabling) the
// top-level window of the given one. Its text is the static control 0xFFFF, its icon the static
// 0x14, its buttons carry their result ids, so that tests read and press them.
//
// Escape and the close box answer IDCANCEL when there is a Cancel button, IDOK for a lone OK
// button, and nothing otherwise. Returns 0 when the box could not be shown.

#include "platform/controls/Dialog.h"
#include "platform/window/WindowTypes.h"

// Button sets.
constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
constexpr UINT MB_YESNOCANCEL = 0x00000003;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_RETRYCANCEL = 0x00000005;
constexpr UINT MB_TYPEMASK = 0x0000000F;
// Icons.
constexpr UINT MB_ICONHAND = 0x00000010;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
constexpr UINT MB_ICONASTERISK = 0x00000040;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_ICONSTOP = MB_ICONHAND;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr UINT MB_ICONMASK = 0x000000F0;
// The default button.
constexpr UINT MB_DEFBUTTON1 = 0x00000000;
constexpr UINT MB_DEFBUTTON2 = 0x00000100;
constexpr UINT MB_DEFBUTTON3 = 0x00000200;
constexpr UINT MB_DEFMASK = 0x00000F00;
// Modality and placement: accepted; a box is always modal to its owner's top-level window.
constexpr UINT MB_APPLMODAL = 0x00000000;
constexpr UINT MB_SYSTEMMODAL = 0x00001000;
constexpr UINT MB_TASKMODAL = 0x00002000;
constexpr UINT MB_SETFOREGROUND = 0x00010000;
constexpr UINT MB_TOPMOST = 0x00040000;

// The system's icons, drawn by our own artwork (LoadIconA with no instance).
inline LPCSTR const IDI_HAND = MAKEINTRESOURCEA(32513);
inline LPCSTR const IDI_QUESTION = MAKEINTRESOURCEA(32514);
inline LPCSTR const IDI_EXCLAMATION = MAKEINTRESOURCEA(32515);
inline LPCSTR const IDI_ASTERISK = MAKEINTRESOURCEA(32516);
inline LPCSTR const IDI_ERROR = IDI_HAND;
inline LPCSTR const IDI_WARNING = IDI_EXCLAMATION;
inline LPCSTR const IDI_INFORMATION = IDI_ASTERISK;

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

class MessageBox {
public:
    static constexpr int kTextId = 0xFFFF;
    static constexpr int kIconId = 0x14;

    // Registers the icons' artwork; InitCommonControls does it.
    static void RegisterIcons();
    static int Show(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

private:
    static INT_PTR CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static void Layout(HWND hwnd, UINT type);
};
