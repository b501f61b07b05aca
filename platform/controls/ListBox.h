#pragma once
// The list box control ("ListBox"): one column of texts, each with a data value, one of them
// selected, kept sorted with LBS_SORT. Only the rows in view are drawn, so that a list of a
// hundred thousand names scrolls as fast as one of ten. Keys: the arrows, Page Up/Down,
// Home/End, and typing a name's first letters; the mouse selects, drags and double clicks; the
// wheel scrolls. The parent hears LBN_SELCHANGE and LBN_DBLCLK (LBS_NOTIFY), LBN_SETFOCUS and
// LBN_KILLFOCUS, and is asked WM_CTLCOLORLISTBOX.
//
// Differences from the platform: one selection only (no LBS_MULTIPLESEL/LBS_EXTENDEDSEL), no
// owner drawing, and the height is never made integral (as with LBS_NOINTEGRALHEIGHT).

#include <memory>
#include <string>
#include <vector>

#include "platform/window/WindowTypes.h"

// Styles.
constexpr DWORD LBS_NOTIFY = 0x0001;
constexpr DWORD LBS_SORT = 0x0002;
constexpr DWORD LBS_NOREDRAW = 0x0004;
constexpr DWORD LBS_HASSTRINGS = 0x0040;
constexpr DWORD LBS_USETABSTOPS = 0x0080;
constexpr DWORD LBS_NOINTEGRALHEIGHT = 0x0100;
constexpr DWORD LBS_WANTKEYBOARDINPUT = 0x0400;
constexpr DWORD LBS_DISABLENOSCROLL = 0x1000;
constexpr DWORD LBS_NOSEL = 0x4000;
constexpr DWORD LBS_STANDARD = LBS_NOTIFY | LBS_SORT | WS_VSCROLL | WS_BORDER;

// Messages.
constexpr UINT LB_ADDSTRING = 0x0180;
constexpr UINT LB_INSERTSTRING = 0x0181;
constexpr UINT LB_DELETESTRING = 0x0182;
constexpr UINT LB_RESETCONTENT = 0x0184;
constexpr UINT LB_SETCURSEL = 0x0186;
constexpr UINT LB_GETCURSEL = 0x0188;
constexpr UINT LB_GETTEXT = 0x0189;
constexpr UINT LB_GETTEXTLEN = 0x018A;
constexpr UINT LB_GETCOUNT = 0x018B;
constexpr UINT LB_SELECTSTRING = 0x018C;
constexpr UINT LB_GETTOPINDEX = 0x018E;
constexpr UINT LB_FINDSTRING = 0x018F;
constexpr UINT LB_SETTOPINDEX = 0x0197;
constexpr UINT LB_GETITEMRECT = 0x0198;
constexpr UINT LB_GETITEMDATA = 0x0199;
constexpr UINT LB_SETITEMDATA = 0x019A;
constexpr UINT LB_SETITEMHEIGHT = 0x01A0;
constexpr UINT LB_GETITEMHEIGHT = 0x01A1;
constexpr UINT LB_FINDSTRINGEXACT = 0x01A2;
constexpr UINT LB_INITSTORAGE = 0x01A8;
constexpr UINT LB_ITEMFROMPOINT = 0x01A9;

constexpr LRESULT LB_OKAY = 0;
constexpr LRESULT LB_ERR = -1;
constexpr LRESULT LB_ERRSPACE = -2;

// Notifications (the high word of WM_COMMAND's wParam).
constexpr WORD LBN_SELCHANGE = 1;
constexpr WORD LBN_DBLCLK = 2;
constexpr WORD LBN_SELCANCEL = 3;
constexpr WORD LBN_SETFOCUS = 4;
constexpr WORD LBN_KILLFOCUS = 5;

class ListBox : public std::enable_shared_from_this<ListBox> {
public:
    static constexpr const char* kClassName = "ListBox";

    static void Register();
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    explicit ListBox(HWND hwnd) : hwnd_(hwnd) {}

private:
    struct Item {
        std::string text;
        LPARAM data = 0;
    };

    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Insert(long long index, const char* text);
    LRESULT Delete(long long index);
    void Reset();
    LRESULT Find(long long after, const char* text, bool exact) const;
    LRESULT CopyText(long long index, char* out) const;
    LRESULT ItemFromPoint(POINT p) const;
    void OnPaint();
    void OnKeyDown(int vk);
    void OnChar(char c);
    void OnButtonDown(POINT p, bool twice);
    void OnMouseMove(POINT p);
    void OnScroll(int request);
    void OnSetFont(HFONT font, bool redraw);
    void OnFocus(bool gained);
    // Selects `index` (-1: nothing), scrolls it into view and tells the parent when `notify`;
    // false when the list went meanwhile.
    bool Select(long long index, bool notify);
    void ScrollTo(long long top);
    void EnsureVisible(long long index);
    void Changed();  // after the rows or the client area changed: the bar and the picture
    void UpdateScrollBar();
    int Rows() const;  // the whole rows in view
    RECT ItemRect(long long index) const;
    bool Notify(WORD code);
    DWORD Style() const;
    bool Valid(long long index) const { return index >= 0 && index < static_cast<long long>(items_.size()); }

    HWND hwnd_;
    std::vector<Item> items_;
    HFONT font_ = nullptr;
    int itemHeight_ = 0;
    long long selected_ = -1, top_ = 0;
    bool focused_ = false, tracking_ = false, redraw_ = true;
    int wheel_ = 0;
    std::string typed_;  // what was typed to find an item, while the keys come quickly
    DWORD typedAt_ = 0;
};
