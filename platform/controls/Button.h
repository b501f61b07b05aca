#pragma once
// The button control ("Button"): push buttons (the default one framed), check boxes, radio
// buttons and group boxes. A click by the mouse (pressed inside, released inside), Space, or
// Enter on a push button reports BN_CLICKED to the parent; automatic check boxes and radio
// buttons change their check first.

#include <memory>

#include "platform/window/WindowTypes.h"

// Styles: one kind (BS_TYPEMASK) and flags.
constexpr DWORD BS_PUSHBUTTON = 0x00000000;
constexpr DWORD BS_DEFPUSHBUTTON = 0x00000001;
constexpr DWORD BS_CHECKBOX = 0x00000002;
constexpr DWORD BS_AUTOCHECKBOX = 0x00000003;
constexpr DWORD BS_RADIOBUTTON = 0x00000004;
constexpr DWORD BS_3STATE = 0x00000005;
constexpr DWORD BS_AUTO3STATE = 0x00000006;
constexpr DWORD BS_GROUPBOX = 0x00000007;
constexpr DWORD BS_AUTORADIOBUTTON = 0x00000009;
constexpr DWORD BS_TYPEMASK = 0x0000000F;
constexpr DWORD BS_LEFTTEXT = 0x00000020;
constexpr DWORD BS_PUSHLIKE = 0x00001000;
constexpr DWORD BS_NOTIFY = 0x00004000;

// Messages.
constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;
constexpr UINT BM_GETSTATE = 0x00F2;
constexpr UINT BM_SETSTATE = 0x00F3;
constexpr UINT BM_SETSTYLE = 0x00F4;
constexpr UINT BM_CLICK = 0x00F5;

constexpr WPARAM BST_UNCHECKED = 0x0000;
constexpr WPARAM BST_CHECKED = 0x0001;
constexpr WPARAM BST_INDETERMINATE = 0x0002;
constexpr WPARAM BST_PUSHED = 0x0004;
constexpr WPARAM BST_FOCUS = 0x0008;

// Notifications (the high word of WM_COMMAND's wParam); the focus ones with BS_NOTIFY only.
constexpr WORD BN_CLICKED = 0;
constexpr WORD BN_SETFOCUS = 6;
constexpr WORD BN_KILLFOCUS = 7;

class Button : public std::enable_shared_from_this<Button> {
public:
    static constexpr const char* kClassName = "Button";

    static void Register();
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    explicit Button(HWND hwnd) : hwnd_(hwnd) {}

private:
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void OnPaint();
    void PaintPush(HDC hdc, const RECT& client, DWORD style);
    void PaintCheck(HDC hdc, const RECT& client, DWORD style, bool radio);
    void PaintGroup(HDC hdc, const RECT& client, HBRUSH brush);
    void OnFocus(bool gained);
    void OnButtonUp(POINT p);
    void SetPushed(bool pushed);
    void SetCheck(WPARAM check);
    void Click();
    void UncheckGroup();
    DWORD Style() const;
    DWORD Kind() const;
    bool Pushlike() const;

    HWND hwnd_;
    HFONT font_ = nullptr;
    WPARAM check_ = BST_UNCHECKED;
    bool pushed_ = false, focused_ = false, tracking_ = false, spaceDown_ = false;
};
