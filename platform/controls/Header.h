#pragma once
// The header control ("SysHeader32"): a row of column captions that the user clicks, reorders by
// dragging (HDS_DRAGDROP) and resizes by dragging a divider. Items keep their index however they
// are shown; the order array says where each one is. Notifications go to the parent in the
// character form it asked for with WM_NOTIFYFORMAT (the A or W code; texts travel in A form only).

#include <memory>
#include <string>
#include <vector>

#include "platform/controls/CommCtrl.h"
#include "platform/window/Windows.h"

inline constexpr char WC_HEADERA[] = "SysHeader32";

// Styles.
constexpr DWORD HDS_HORZ = 0x0000;
constexpr DWORD HDS_BUTTONS = 0x0002;
constexpr DWORD HDS_HOTTRACK = 0x0004;
constexpr DWORD HDS_HIDDEN = 0x0008;
constexpr DWORD HDS_DRAGDROP = 0x0040;
constexpr DWORD HDS_FULLDRAG = 0x0080;

// Messages.
constexpr UINT HDM_FIRST = 0x1200;
constexpr UINT HDM_GETITEMCOUNT = HDM_FIRST + 0;
constexpr UINT HDM_INSERTITEMA = HDM_FIRST + 1;
constexpr UINT HDM_DELETEITEM = HDM_FIRST + 2;
constexpr UINT HDM_GETITEMA = HDM_FIRST + 3;
constexpr UINT HDM_SETITEMA = HDM_FIRST + 4;
constexpr UINT HDM_LAYOUT = HDM_FIRST + 5;
constexpr UINT HDM_HITTEST = HDM_FIRST + 6;
constexpr UINT HDM_GETITEMRECT = HDM_FIRST + 7;
constexpr UINT HDM_SETIMAGELIST = HDM_FIRST + 8;
constexpr UINT HDM_GETIMAGELIST = HDM_FIRST + 9;
constexpr UINT HDM_INSERTITEMW = HDM_FIRST + 10;
constexpr UINT HDM_GETITEMW = HDM_FIRST + 11;
constexpr UINT HDM_SETITEMW = HDM_FIRST + 12;
constexpr UINT HDM_ORDERTOINDEX = HDM_FIRST + 15;
constexpr UINT HDM_GETORDERARRAY = HDM_FIRST + 17;
constexpr UINT HDM_SETORDERARRAY = HDM_FIRST + 18;
constexpr UINT HDM_SETHOTDIVIDER = HDM_FIRST + 19;
constexpr UINT HDM_SETUNICODEFORMAT = 0x2005;
constexpr UINT HDM_GETUNICODEFORMAT = 0x2006;
constexpr UINT HDM_INSERTITEM = HDM_INSERTITEMA;
constexpr UINT HDM_GETITEM = HDM_GETITEMA;
constexpr UINT HDM_SETITEM = HDM_SETITEMA;

// Notifications.
constexpr UINT HDN_FIRST = 0U - 300U;
constexpr UINT HDN_ITEMCHANGINGA = HDN_FIRST - 0;
constexpr UINT HDN_ITEMCHANGEDA = HDN_FIRST - 1;
constexpr UINT HDN_ITEMCLICKA = HDN_FIRST - 2;
constexpr UINT HDN_ITEMDBLCLICKA = HDN_FIRST - 3;
constexpr UINT HDN_DIVIDERDBLCLICKA = HDN_FIRST - 5;
constexpr UINT HDN_BEGINTRACKA = HDN_FIRST - 6;
constexpr UINT HDN_ENDTRACKA = HDN_FIRST - 7;
constexpr UINT HDN_TRACKA = HDN_FIRST - 8;
constexpr UINT HDN_BEGINDRAG = HDN_FIRST - 10;
constexpr UINT HDN_ENDDRAG = HDN_FIRST - 11;
constexpr UINT HDN_ITEMCHANGINGW = HDN_FIRST - 20;
constexpr UINT HDN_ITEMCHANGEDW = HDN_FIRST - 21;
constexpr UINT HDN_ITEMCLICKW = HDN_FIRST - 22;
constexpr UINT HDN_ITEMDBLCLICKW = HDN_FIRST - 23;
constexpr UINT HDN_DIVIDERDBLCLICKW = HDN_FIRST - 25;
constexpr UINT HDN_BEGINTRACKW = HDN_FIRST - 26;
constexpr UINT HDN_ENDTRACKW = HDN_FIRST - 27;
constexpr UINT HDN_TRACKW = HDN_FIRST - 28;
constexpr UINT HDN_ITEMCHANGING = HDN_ITEMCHANGINGA;
constexpr UINT HDN_ITEMCHANGED = HDN_ITEMCHANGEDA;
constexpr UINT HDN_ITEMCLICK = HDN_ITEMCLICKA;
constexpr UINT HDN_ITEMDBLCLICK = HDN_ITEMDBLCLICKA;
constexpr UINT HDN_DIVIDERDBLCLICK = HDN_DIVIDERDBLCLICKA;
constexpr UINT HDN_BEGINTRACK = HDN_BEGINTRACKA;
constexpr UINT HDN_ENDTRACK = HDN_ENDTRACKA;
constexpr UINT HDN_TRACK = HDN_TRACKA;

// Items.
struct HDITEMA {
    UINT mask;
    int cxy;
    char* pszText;
    HBITMAP hbm;
    int cchTextMax;
    int fmt;
    LPARAM lParam;
    int iImage;
    int iOrder;
};
struct HDITEMW {
    UINT mask;
    int cxy;
    wchar_t* pszText;
    HBITMAP hbm;
    int cchTextMax;
    int fmt;
    LPARAM lParam;
    int iImage;
    int iOrder;
};
using HDITEM = HDITEMA;

constexpr UINT HDI_WIDTH = 0x0001;
constexpr UINT HDI_HEIGHT = HDI_WIDTH;
constexpr UINT HDI_TEXT = 0x0002;
constexpr UINT HDI_FORMAT = 0x0004;
constexpr UINT HDI_LPARAM = 0x0008;
constexpr UINT HDI_BITMAP = 0x0010;
constexpr UINT HDI_IMAGE = 0x0020;
constexpr UINT HDI_ORDER = 0x0080;

constexpr int HDF_LEFT = 0x0000;
constexpr int HDF_RIGHT = 0x0001;
constexpr int HDF_CENTER = 0x0002;
constexpr int HDF_JUSTIFYMASK = 0x0003;
constexpr int HDF_SORTDOWN = 0x0200;
constexpr int HDF_SORTUP = 0x0400;
constexpr int HDF_IMAGE = 0x0800;
constexpr int HDF_BITMAP_ON_RIGHT = 0x1000;
constexpr int HDF_BITMAP = 0x2000;
constexpr int HDF_STRING = 0x4000;
constexpr int HDF_OWNERDRAW = 0x8000;

struct NMHEADERA {
    NMHDR hdr;
    int iItem;
    int iButton;  // 0 left, 1 right, 2 middle
    HDITEMA* pitem;
};
struct NMHEADERW {
    NMHDR hdr;
    int iItem;
    int iButton;
    HDITEMW* pitem;
};
using NMHEADER = NMHEADERA;

struct HDLAYOUT {
    RECT* prc;         // in: the parent's area; out: what is left below the header
    WINDOWPOS* pwpos;  // out: where the header goes
};

struct HDHITTESTINFO {
    POINT pt;
    UINT flags;
    int iItem;
};

constexpr UINT HHT_NOWHERE = 0x0001;
constexpr UINT HHT_ONHEADER = 0x0002;
constexpr UINT HHT_ONDIVIDER = 0x0004;
constexpr UINT HHT_ONDIVOPEN = 0x0008;
constexpr UINT HHT_ABOVE = 0x0100;
constexpr UINT HHT_BELOW = 0x0200;
constexpr UINT HHT_TORIGHT = 0x0400;
constexpr UINT HHT_TOLEFT = 0x0800;

inline int Header_GetItemCount(HWND h) { return static_cast<int>(SendMessageA(h, HDM_GETITEMCOUNT, 0, 0)); }
inline int Header_InsertItem(HWND h, int i, const HDITEMA* item) {
    return static_cast<int>(SendMessageA(h, HDM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item)));
}
inline BOOL Header_DeleteItem(HWND h, int i) {
    return static_cast<BOOL>(SendMessageA(h, HDM_DELETEITEM, static_cast<WPARAM>(i), 0));
}
inline BOOL Header_GetItem(HWND h, int i, HDITEMA* item) {
    return static_cast<BOOL>(SendMessageA(h, HDM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item)));
}
inline BOOL Header_SetItem(HWND h, int i, const HDITEMA* item) {
    return static_cast<BOOL>(SendMessageA(h, HDM_SETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item)));
}
inline BOOL Header_GetItemRect(HWND h, int i, RECT* r) {
    return static_cast<BOOL>(SendMessageA(h, HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(r)));
}
inline BOOL Header_GetOrderArray(HWND h, int count, int* order) {
    return static_cast<BOOL>(
        SendMessageA(h, HDM_GETORDERARRAY, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(order)));
}
inline BOOL Header_SetOrderArray(HWND h, int count, const int* order) {
    return static_cast<BOOL>(
        SendMessageA(h, HDM_SETORDERARRAY, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(order)));
}
inline int Header_OrderToIndex(HWND h, int order) {
    return static_cast<int>(SendMessageA(h, HDM_ORDERTOINDEX, static_cast<WPARAM>(order), 0));
}

class Header : public std::enable_shared_from_this<Header> {
public:
    // Registers the window class (InitCommonControlsEx does).
    static void Register();
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    Header(HWND hwnd, const CREATESTRUCTA& create);

private:
    struct Item {
        std::string text;
        int width = 0;
        int format = HDF_LEFT | HDF_STRING;
        LPARAM param = 0;
        int image = 0;
        HBITMAP bitmap = nullptr;
    };
    enum class Mode { None, Pressing, Dragging, Tracking };

    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    // Items.
    int Insert(int index, const HDITEMA* item);
    bool Delete(int index);
    bool Get(int index, HDITEMA* item) const;
    bool Set(int index, const HDITEMA* item);
    bool Apply(int index, const HDITEMA& item);
    bool GetOrder(int count, int* order) const;
    bool SetOrder(int count, const int* order);
    void Move(int index, int position);
    int PositionOf(int index) const;

    // Geometry.
    int ItemHeight() const;
    RECT ItemRect(int index) const;
    int HitTest(HDHITTESTINFO& info) const;
    void Layout(HDLAYOUT* layout) const;
    int DropPosition(int x) const;
    int DividerAt(POINT p);

    // Input.
    void OnButtonDown(POINT p, bool doubleClick);
    void OnMouseMove(POINT p);
    void OnButtonUp(POINT p);
    void RunModal();
    void Cancel();
    bool OnSetCursor();

    void Paint(HDC hdc);
    void PaintItem(HDC hdc, const RECT& r, const Item& item, bool pressed) const;

    LRESULT Notify(UINT ansiCode, UINT wideCode, int index, int button, HDITEMA* item);
    LRESULT NotifyWidth(UINT ansiCode, UINT wideCode, int index, int width);
    void Invalidate();

    HWND hwnd_;
    HWND parent_;
    int id_;
    bool destroyed_ = false;
    bool unicode_ = false;
    HFONT font_ = nullptr;
    HIMAGELIST images_ = nullptr;
    std::vector<Item> items_;
    std::vector<int> order_;  // display position -> item index
    int hotDivider_ = -1;

    Mode mode_ = Mode::None;
    int active_ = -1;  // the item pressed, dragged or resized
    POINT start_{0, 0};
    bool pressedOver_ = false;
    bool dragRefused_ = false;
    int dragX_ = 0, dragOffset_ = 0;
    int startWidth_ = 0, trackWidth_ = 0;
};
