#pragma once
// The status bar ("msctls_statusbar32"): a row of panes with texts along the bottom of its parent,
// or in simple mode one pane across (the menus' prompts), with an optional size grip. It places
// itself in its parent on WM_SIZE, as CCS_BOTTOM (its default) or CCS_TOP says, unless
// CCS_NORESIZE or CCS_NOPARENTALIGN keeps it where it was put.

#include <memory>
#include <string>
#include <vector>

#include "platform/controls/CommCtrl.h"

inline constexpr const char* STATUSCLASSNAMEA = "msctls_statusbar32";

constexpr DWORD SBARS_SIZEGRIP = 0x0100;
constexpr DWORD SBARS_TOOLTIPS = 0x0800;

// SB_SETTEXTA's wParam: the pane index in the low byte, one of these in the high byte.
constexpr WPARAM SBT_NOBORDERS = 0x0100;
constexpr WPARAM SBT_POPOUT = 0x0200;
constexpr WPARAM SBT_RTLREADING = 0x0400;
constexpr WPARAM SBT_NOTABPARSING = 0x0800;
constexpr WPARAM SBT_OWNERDRAW = 0x1000;  // lParam is the caller's data; the pane is left blank
constexpr WPARAM SB_SIMPLEID = 0x00FF;    // the simple mode's pane

constexpr UINT SB_SETTEXTA = WM_USER + 1;        // TRUE, FALSE for a pane that does not exist
constexpr UINT SB_GETTEXTA = WM_USER + 2;        // MAKELONG(length, type); lParam must hold the text and its NUL
constexpr UINT SB_GETTEXTLENGTHA = WM_USER + 3;  // MAKELONG(length, type)
constexpr UINT SB_SETPARTS = WM_USER + 4;        // wParam count (1..256), lParam right edges (-1: to the end)
constexpr UINT SB_GETPARTS = WM_USER + 6;        // the number of panes; fills up to wParam right edges
constexpr UINT SB_GETBORDERS = WM_USER + 7;      // lParam int[3]: horizontal, vertical, between panes
constexpr UINT SB_SETMINHEIGHT = WM_USER + 8;    // the least height of the text area; counts from the next WM_SIZE
constexpr UINT SB_SIMPLE = WM_USER + 9;
constexpr UINT SB_GETRECT = WM_USER + 10;  // lParam RECT*, client coordinates
constexpr UINT SB_ISSIMPLE = WM_USER + 14;
constexpr UINT SB_SETBKCOLOR = CCM_SETBKCOLOR;

class StatusBar {
public:
    static constexpr const char* kProperty = "QbStatusBar";
    static constexpr int kMaxParts = 256;

    explicit StatusBar(HWND hwnd);

    static void Register();
    static std::unique_ptr<StatusBar> Make(HWND hwnd, const CREATESTRUCTA& cs);
    LRESULT Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    struct Pane {
        int right = -1;  // as set: -1 reaches the right end
        std::string text;
        WORD type = 0;    // SBT_* flags
        LPARAM data = 0;  // SBT_OWNERDRAW's
    };

    Pane* PaneAt(WPARAM index);
    BOOL SetText(WPARAM wParam, LPARAM lParam);
    LRESULT GetText(WPARAM index, char* out);
    BOOL SetParts(int count, const int* rights);
    BOOL GetRect(WPARAM index, RECT* r);
    // The whole bar's height for its font and minimum height.
    int BarHeight();
    void Align();
    bool ShowsGrip();
    void Paint();
    void PaintPane(HDC hdc, const Pane& pane, RECT r);

    HWND hwnd_;
    std::vector<Pane> panes_;
    Pane simple_;
    bool simpleMode_ = false;
    int minHeight_ = 0;
    HFONT font_ = nullptr;  // not owned
    COLORREF backColor_ = CLR_DEFAULT;
};
