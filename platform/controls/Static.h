#pragma once
// The static control ("Static"): text (left, centred or right, wrapped at words or not, with "&"
// prefixes underlined unless SS_NOPREFIX), an icon, filled rectangles, frames and etched lines.
// Text, icons and frames stand on the brush the parent answers to WM_CTLCOLORSTATIC.

#include <memory>
#include <string>

#include "platform/window/WindowTypes.h"

// Styles: one kind (SS_TYPEMASK) and flags.
constexpr DWORD SS_LEFT = 0x00000000;
constexpr DWORD SS_CENTER = 0x00000001;
constexpr DWORD SS_RIGHT = 0x00000002;
constexpr DWORD SS_ICON = 0x00000003;
constexpr DWORD SS_BLACKRECT = 0x00000004;
constexpr DWORD SS_GRAYRECT = 0x00000005;
constexpr DWORD SS_WHITERECT = 0x00000006;
constexpr DWORD SS_BLACKFRAME = 0x00000007;
constexpr DWORD SS_GRAYFRAME = 0x00000008;
constexpr DWORD SS_WHITEFRAME = 0x00000009;
constexpr DWORD SS_SIMPLE = 0x0000000B;
constexpr DWORD SS_LEFTNOWORDWRAP = 0x0000000C;
constexpr DWORD SS_ETCHEDHORZ = 0x00000010;
constexpr DWORD SS_ETCHEDVERT = 0x00000011;
constexpr DWORD SS_ETCHEDFRAME = 0x00000012;
constexpr DWORD SS_TYPEMASK = 0x0000001F;
constexpr DWORD SS_NOPREFIX = 0x00000080;
constexpr DWORD SS_NOTIFY = 0x00000100;
constexpr DWORD SS_CENTERIMAGE = 0x00000200;
constexpr DWORD SS_ENDELLIPSIS = 0x00004000;

// Messages.
constexpr UINT STM_SETICON = 0x0170;
constexpr UINT STM_GETICON = 0x0171;

// Notifications (SS_NOTIFY).
constexpr WORD STN_CLICKED = 0;
constexpr WORD STN_DBLCLK = 1;

class Static : public std::enable_shared_from_this<Static> {
public:
    static constexpr const char* kClassName = "Static";

    static void Register();
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    explicit Static(HWND hwnd) : hwnd_(hwnd) {}
    ~Static();

private:
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCreate(const CREATESTRUCTA& cs);
    void OnPaint();
    void PaintText(HDC hdc, const RECT& client, DWORD style);
    HICON SetIcon(HICON icon);
    DWORD Style() const;

    HWND hwnd_;
    HFONT font_ = nullptr;
    HICON icon_ = nullptr;
    HICON loaded_ = nullptr;  // the icon it loaded from its creation text: its own to destroy
};
