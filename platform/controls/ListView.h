#pragma once
// The list view control ("SysListView32") in report view: rows of texts under a header of
// columns, one selection or many, keyboard and mouse, custom drawing, and notifications to the
// parent as WM_NOTIFY. It keeps every row's texts itself, compactly (ListRowStore), and paints
// only the rows that show, so that a million rows cost little more than a hundred.
//
// Every view type is shown as the report view, the one the viewer uses.

#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/CommCtrl.h"
#include "platform/controls/ListRowStore.h"
#include "platform/window/Windows.h"

inline constexpr char WC_LISTVIEWA[] = "SysListView32";

// Styles.
constexpr DWORD LVS_ICON = 0x0000;
constexpr DWORD LVS_REPORT = 0x0001;
constexpr DWORD LVS_SMALLICON = 0x0002;
constexpr DWORD LVS_LIST = 0x0003;
constexpr DWORD LVS_TYPEMASK = 0x0003;
constexpr DWORD LVS_SINGLESEL = 0x0004;
constexpr DWORD LVS_SHOWSELALWAYS = 0x0008;
constexpr DWORD LVS_SORTASCENDING = 0x0010;
constexpr DWORD LVS_SORTDESCENDING = 0x0020;
constexpr DWORD LVS_SHAREIMAGELISTS = 0x0040;
constexpr DWORD LVS_NOLABELWRAP = 0x0080;
constexpr DWORD LVS_AUTOARRANGE = 0x0100;
constexpr DWORD LVS_EDITLABELS = 0x0200;
constexpr DWORD LVS_OWNERDRAWFIXED = 0x0400;
constexpr DWORD LVS_OWNERDATA = 0x1000;
constexpr DWORD LVS_NOSCROLL = 0x2000;
constexpr DWORD LVS_NOCOLUMNHEADER = 0x4000;
constexpr DWORD LVS_NOSORTHEADER = 0x8000;

// Extended styles (LVM_SETEXTENDEDLISTVIEWSTYLE).
constexpr DWORD LVS_EX_GRIDLINES = 0x00000001;
constexpr DWORD LVS_EX_SUBITEMIMAGES = 0x00000002;
constexpr DWORD LVS_EX_CHECKBOXES = 0x00000004;
constexpr DWORD LVS_EX_TRACKSELECT = 0x00000008;
constexpr DWORD LVS_EX_HEADERDRAGDROP = 0x00000010;
constexpr DWORD LVS_EX_FULLROWSELECT = 0x00000020;
constexpr DWORD LVS_EX_ONECLICKACTIVATE = 0x00000040;
constexpr DWORD LVS_EX_TWOCLICKACTIVATE = 0x00000080;
constexpr DWORD LVS_EX_FLATSB = 0x00000100;
constexpr DWORD LVS_EX_REGIONAL = 0x00000200;
constexpr DWORD LVS_EX_INFOTIP = 0x00000400;
constexpr DWORD LVS_EX_UNDERLINEHOT = 0x00000800;
constexpr DWORD LVS_EX_UNDERLINECOLD = 0x00001000;
constexpr DWORD LVS_EX_MULTIWORKAREAS = 0x00002000;
constexpr DWORD LVS_EX_LABELTIP = 0x00004000;
constexpr DWORD LVS_EX_BORDERSELECT = 0x00008000;
constexpr DWORD LVS_EX_DOUBLEBUFFER = 0x00010000;

// Messages.
constexpr UINT LVM_FIRST = 0x1000;
constexpr UINT LVM_GETBKCOLOR = LVM_FIRST + 0;
constexpr UINT LVM_SETBKCOLOR = LVM_FIRST + 1;
constexpr UINT LVM_GETIMAGELIST = LVM_FIRST + 2;
constexpr UINT LVM_SETIMAGELIST = LVM_FIRST + 3;
constexpr UINT LVM_GETITEMCOUNT = LVM_FIRST + 4;
constexpr UINT LVM_GETITEMA = LVM_FIRST + 5;
constexpr UINT LVM_SETITEMA = LVM_FIRST + 6;
constexpr UINT LVM_INSERTITEMA = LVM_FIRST + 7;
constexpr UINT LVM_DELETEITEM = LVM_FIRST + 8;
constexpr UINT LVM_DELETEALLITEMS = LVM_FIRST + 9;
constexpr UINT LVM_GETNEXTITEM = LVM_FIRST + 12;
constexpr UINT LVM_FINDITEMA = LVM_FIRST + 13;
constexpr UINT LVM_GETITEMRECT = LVM_FIRST + 14;
constexpr UINT LVM_GETSTRINGWIDTHA = LVM_FIRST + 17;
constexpr UINT LVM_HITTEST = LVM_FIRST + 18;
constexpr UINT LVM_ENSUREVISIBLE = LVM_FIRST + 19;
constexpr UINT LVM_SCROLL = LVM_FIRST + 20;
constexpr UINT LVM_REDRAWITEMS = LVM_FIRST + 21;
constexpr UINT LVM_GETCOLUMNA = LVM_FIRST + 25;
constexpr UINT LVM_SETCOLUMNA = LVM_FIRST + 26;
constexpr UINT LVM_INSERTCOLUMNA = LVM_FIRST + 27;
constexpr UINT LVM_DELETECOLUMN = LVM_FIRST + 28;
constexpr UINT LVM_GETCOLUMNWIDTH = LVM_FIRST + 29;
constexpr UINT LVM_SETCOLUMNWIDTH = LVM_FIRST + 30;
constexpr UINT LVM_GETHEADER = LVM_FIRST + 31;
constexpr UINT LVM_GETVIEWRECT = LVM_FIRST + 34;
constexpr UINT LVM_GETTEXTCOLOR = LVM_FIRST + 35;
constexpr UINT LVM_SETTEXTCOLOR = LVM_FIRST + 36;
constexpr UINT LVM_GETTEXTBKCOLOR = LVM_FIRST + 37;
constexpr UINT LVM_SETTEXTBKCOLOR = LVM_FIRST + 38;
constexpr UINT LVM_GETTOPINDEX = LVM_FIRST + 39;
constexpr UINT LVM_GETCOUNTPERPAGE = LVM_FIRST + 40;
constexpr UINT LVM_GETORIGIN = LVM_FIRST + 41;
constexpr UINT LVM_UPDATE = LVM_FIRST + 42;
constexpr UINT LVM_SETITEMSTATE = LVM_FIRST + 43;
constexpr UINT LVM_GETITEMSTATE = LVM_FIRST + 44;
constexpr UINT LVM_GETITEMTEXTA = LVM_FIRST + 45;
constexpr UINT LVM_SETITEMTEXTA = LVM_FIRST + 46;
constexpr UINT LVM_SETITEMCOUNT = LVM_FIRST + 47;
constexpr UINT LVM_SORTITEMS = LVM_FIRST + 48;
constexpr UINT LVM_GETSELECTEDCOUNT = LVM_FIRST + 50;
constexpr UINT LVM_SETEXTENDEDLISTVIEWSTYLE = LVM_FIRST + 54;
constexpr UINT LVM_GETEXTENDEDLISTVIEWSTYLE = LVM_FIRST + 55;
constexpr UINT LVM_GETSUBITEMRECT = LVM_FIRST + 56;
constexpr UINT LVM_SUBITEMHITTEST = LVM_FIRST + 57;
constexpr UINT LVM_SETCOLUMNORDERARRAY = LVM_FIRST + 58;
constexpr UINT LVM_GETCOLUMNORDERARRAY = LVM_FIRST + 59;
constexpr UINT LVM_SETHOTITEM = LVM_FIRST + 60;
constexpr UINT LVM_GETHOTITEM = LVM_FIRST + 61;
constexpr UINT LVM_SETHOTCURSOR = LVM_FIRST + 62;
constexpr UINT LVM_GETHOTCURSOR = LVM_FIRST + 63;
constexpr UINT LVM_GETSELECTIONMARK = LVM_FIRST + 66;
constexpr UINT LVM_SETSELECTIONMARK = LVM_FIRST + 67;
constexpr UINT LVM_GETITEMW = LVM_FIRST + 75;
constexpr UINT LVM_SETITEMW = LVM_FIRST + 76;
constexpr UINT LVM_INSERTITEMW = LVM_FIRST + 77;
constexpr UINT LVM_SETUNICODEFORMAT = 0x2005;
constexpr UINT LVM_GETUNICODEFORMAT = 0x2006;
constexpr UINT LVM_GETITEM = LVM_GETITEMA;
constexpr UINT LVM_SETITEM = LVM_SETITEMA;
constexpr UINT LVM_INSERTITEM = LVM_INSERTITEMA;
constexpr UINT LVM_FINDITEM = LVM_FINDITEMA;
constexpr UINT LVM_GETSTRINGWIDTH = LVM_GETSTRINGWIDTHA;
constexpr UINT LVM_GETCOLUMN = LVM_GETCOLUMNA;
constexpr UINT LVM_SETCOLUMN = LVM_SETCOLUMNA;
constexpr UINT LVM_INSERTCOLUMN = LVM_INSERTCOLUMNA;
constexpr UINT LVM_GETITEMTEXT = LVM_GETITEMTEXTA;
constexpr UINT LVM_SETITEMTEXT = LVM_SETITEMTEXTA;

// Notifications.
constexpr UINT LVN_FIRST = 0U - 100U;
constexpr UINT LVN_ITEMCHANGING = LVN_FIRST - 0;
constexpr UINT LVN_ITEMCHANGED = LVN_FIRST - 1;
constexpr UINT LVN_INSERTITEM = LVN_FIRST - 2;
constexpr UINT LVN_DELETEITEM = LVN_FIRST - 3;
constexpr UINT LVN_DELETEALLITEMS = LVN_FIRST - 4;
constexpr UINT LVN_COLUMNCLICK = LVN_FIRST - 8;
constexpr UINT LVN_BEGINDRAG = LVN_FIRST - 9;
constexpr UINT LVN_BEGINRDRAG = LVN_FIRST - 11;
constexpr UINT LVN_ITEMACTIVATE = LVN_FIRST - 14;
constexpr UINT LVN_HOTTRACK = LVN_FIRST - 21;
constexpr UINT LVN_KEYDOWN = LVN_FIRST - 55;

// Items.
struct LVITEMA {
    UINT mask;
    int iItem;
    int iSubItem;
    UINT state;
    UINT stateMask;
    char* pszText;
    int cchTextMax;
    int iImage;
    LPARAM lParam;
    int iIndent;
};
using LVITEM = LVITEMA;

constexpr UINT LVIF_TEXT = 0x0001;
constexpr UINT LVIF_IMAGE = 0x0002;
constexpr UINT LVIF_PARAM = 0x0004;
constexpr UINT LVIF_STATE = 0x0008;
constexpr UINT LVIF_INDENT = 0x0010;
constexpr UINT LVIF_NORECOMPUTE = 0x0800;

constexpr UINT LVIS_FOCUSED = 0x0001;
constexpr UINT LVIS_SELECTED = 0x0002;
constexpr UINT LVIS_CUT = 0x0004;
constexpr UINT LVIS_DROPHILITED = 0x0008;
constexpr UINT LVIS_OVERLAYMASK = 0x0F00;
constexpr UINT LVIS_STATEIMAGEMASK = 0xF000;

constexpr UINT LVNI_ALL = 0x0000;
constexpr UINT LVNI_FOCUSED = 0x0001;
constexpr UINT LVNI_SELECTED = 0x0002;
constexpr UINT LVNI_CUT = 0x0004;
constexpr UINT LVNI_DROPHILITED = 0x0008;
constexpr UINT LVNI_ABOVE = 0x0100;
constexpr UINT LVNI_BELOW = 0x0200;
constexpr UINT LVNI_TOLEFT = 0x0400;
constexpr UINT LVNI_TORIGHT = 0x0800;

// Columns.
struct LVCOLUMNA {
    UINT mask;
    int fmt;
    int cx;
    char* pszText;
    int cchTextMax;
    int iSubItem;
    int iImage;
    int iOrder;
};
using LVCOLUMN = LVCOLUMNA;

constexpr UINT LVCF_FMT = 0x0001;
constexpr UINT LVCF_WIDTH = 0x0002;
constexpr UINT LVCF_TEXT = 0x0004;
constexpr UINT LVCF_SUBITEM = 0x0008;
constexpr UINT LVCF_IMAGE = 0x0010;
constexpr UINT LVCF_ORDER = 0x0020;

constexpr int LVCFMT_LEFT = 0x0000;
constexpr int LVCFMT_RIGHT = 0x0001;
constexpr int LVCFMT_CENTER = 0x0002;
constexpr int LVCFMT_JUSTIFYMASK = 0x0003;
constexpr int LVCFMT_IMAGE = 0x0800;
constexpr int LVCFMT_BITMAP_ON_RIGHT = 0x1000;
constexpr int LVCFMT_COL_HAS_IMAGES = 0x8000;

constexpr int LVSCW_AUTOSIZE = -1;
constexpr int LVSCW_AUTOSIZE_USEHEADER = -2;

// Image lists.
constexpr int LVSIL_NORMAL = 0;
constexpr int LVSIL_SMALL = 1;
constexpr int LVSIL_STATE = 2;

// Item rectangles.
constexpr int LVIR_BOUNDS = 0;
constexpr int LVIR_ICON = 1;
constexpr int LVIR_LABEL = 2;
constexpr int LVIR_SELECTBOUNDS = 3;

// Hit tests.
struct LVHITTESTINFO {
    POINT pt;
    UINT flags;
    int iItem;
    int iSubItem;
};

constexpr UINT LVHT_NOWHERE = 0x0001;
constexpr UINT LVHT_ONITEMICON = 0x0002;
constexpr UINT LVHT_ONITEMLABEL = 0x0004;
constexpr UINT LVHT_ONITEMSTATEICON = 0x0008;
constexpr UINT LVHT_ONITEM = LVHT_ONITEMICON | LVHT_ONITEMLABEL | LVHT_ONITEMSTATEICON;
constexpr UINT LVHT_ABOVE = 0x0008;
constexpr UINT LVHT_BELOW = 0x0010;
constexpr UINT LVHT_TORIGHT = 0x0020;
constexpr UINT LVHT_TOLEFT = 0x0040;

// Finding.
struct LVFINDINFOA {
    UINT flags;
    LPCSTR psz;
    LPARAM lParam;
    POINT pt;
    UINT vkDirection;
};
using LVFINDINFO = LVFINDINFOA;

constexpr UINT LVFI_PARAM = 0x0001;
constexpr UINT LVFI_STRING = 0x0002;
constexpr UINT LVFI_PARTIAL = 0x0008;
constexpr UINT LVFI_WRAP = 0x0020;

using PFNLVCOMPARE = int(CALLBACK*)(LPARAM, LPARAM, LPARAM);

// Notification data.
struct NMLISTVIEW {
    NMHDR hdr;
    int iItem;
    int iSubItem;
    UINT uNewState;
    UINT uOldState;
    UINT uChanged;
    POINT ptAction;
    LPARAM lParam;
};

struct NMITEMACTIVATE {
    NMHDR hdr;
    int iItem;
    int iSubItem;
    UINT uNewState;
    UINT uOldState;
    UINT uChanged;
    POINT ptAction;
    LPARAM lParam;
    UINT uKeyFlags;
};

constexpr UINT LVKF_ALT = 0x0001;
constexpr UINT LVKF_CONTROL = 0x0002;
constexpr UINT LVKF_SHIFT = 0x0004;

struct NMLVKEYDOWN {
    NMHDR hdr;
    WORD wVKey;
    UINT flags;
};

struct NMLVCUSTOMDRAW {
    NMCUSTOMDRAW nmcd;
    COLORREF clrText;
    COLORREF clrTextBk;
    int iSubItem;
    DWORD dwItemType;
    COLORREF clrFace;
    int iIconEffect;
    int iIconPhase;
    int iPartId;
    int iStateId;
    RECT rcText;
    UINT uAlign;
};

// Calls of the messages, as the platform's helpers make them.
inline int ListView_GetItemCount(HWND h) { return static_cast<int>(SendMessageA(h, LVM_GETITEMCOUNT, 0, 0)); }
inline int ListView_InsertItem(HWND h, const LVITEMA* item) {
    return static_cast<int>(SendMessageA(h, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(item)));
}
inline BOOL ListView_DeleteAllItems(HWND h) { return static_cast<BOOL>(SendMessageA(h, LVM_DELETEALLITEMS, 0, 0)); }
inline BOOL ListView_GetItem(HWND h, LVITEMA* item) {
    return static_cast<BOOL>(SendMessageA(h, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(item)));
}
inline void ListView_SetItemText(HWND h, int row, int subItem, const char* text) {
    LVITEMA item{};
    item.iSubItem = subItem;
    item.pszText = const_cast<char*>(text);
    SendMessageA(h, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}
inline int ListView_GetItemText(HWND h, int row, int subItem, char* text, int size) {
    LVITEMA item{};
    item.iSubItem = subItem;
    item.pszText = text;
    item.cchTextMax = size;
    return static_cast<int>(SendMessageA(h, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
}
inline void ListView_SetItemState(HWND h, int row, UINT state, UINT mask) {
    LVITEMA item{};
    item.state = state;
    item.stateMask = mask;
    SendMessageA(h, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}
inline UINT ListView_GetItemState(HWND h, int row, UINT mask) {
    return static_cast<UINT>(SendMessageA(h, LVM_GETITEMSTATE, static_cast<WPARAM>(row), static_cast<LPARAM>(mask)));
}
inline int ListView_GetNextItem(HWND h, int start, UINT flags) {
    return static_cast<int>(SendMessageA(h, LVM_GETNEXTITEM, static_cast<WPARAM>(start), static_cast<LPARAM>(flags)));
}
inline int ListView_InsertColumn(HWND h, int index, const LVCOLUMNA* column) {
    return static_cast<int>(
        SendMessageA(h, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(column)));
}
inline BOOL ListView_DeleteColumn(HWND h, int index) {
    return static_cast<BOOL>(SendMessageA(h, LVM_DELETECOLUMN, static_cast<WPARAM>(index), 0));
}
inline HWND ListView_GetHeader(HWND h) { return reinterpret_cast<HWND>(SendMessageA(h, LVM_GETHEADER, 0, 0)); }
inline BOOL ListView_EnsureVisible(HWND h, int row, BOOL partialOk) {
    return static_cast<BOOL>(SendMessageA(h, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), partialOk));
}
inline DWORD ListView_SetExtendedListViewStyle(HWND h, DWORD style) {
    return static_cast<DWORD>(SendMessageA(h, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(style)));
}
inline HIMAGELIST ListView_SetImageList(HWND h, HIMAGELIST list, int which) {
    return reinterpret_cast<HIMAGELIST>(
        SendMessageA(h, LVM_SETIMAGELIST, static_cast<WPARAM>(which), reinterpret_cast<LPARAM>(list)));
}

class ListLabelTip;

class ListView : public std::enable_shared_from_this<ListView> {
public:
    // Registers the window classes of the list and its header (InitCommonControlsEx does).
    static void Register();
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    ListView(HWND hwnd, const CREATESTRUCTA& create);
    ~ListView();
    ListView(const ListView&) = delete;
    ListView& operator=(const ListView&) = delete;

    // A column as it shows: its index, its sub-item and where it lies (client x, scrolled).
    struct Column {
        int index = 0;
        int subItem = 0;
        int format = LVCFMT_LEFT;
        int left = 0;
        int right = 0;
    };

    // What painting and hit-testing read.
    HWND Handle() const { return hwnd_; }
    DWORD Style() const;
    DWORD ExStyle() const { return exStyle_; }
    const ListRowStore& Rows() const { return rows_; }
    const std::vector<Column>& Shown();  // in display order
    int RowHeight() const { return rowHeight_; }
    int RowsTop() const { return headerHeight_; }
    int TopIndex() const { return top_; }
    int HotItem() const { return hot_; }
    bool HasFocus() const { return focused_; }
    HFONT Font() const { return font_; }
    HIMAGELIST SmallImages() const { return smallImages_; }
    COLORREF BackColor() const { return backColor_; }
    COLORREF TextColor() const { return textColor_; }
    COLORREF TextBackColor() const { return textBackColor_; }
    // The row's area (all columns), in client coordinates.
    RECT RowRect(int row);
    // The rectangle of a cell's text (after the icon in the item column).
    RECT TextRect(int row, const Column& column);
    RECT IconRect(int row, const Column& column);
    LRESULT Notify(UINT code, NMHDR* header);
    bool Destroyed() const { return destroyed_; }

private:
    struct ColumnData {
        int subItem = 0;
        int format = LVCFMT_LEFT;
        int image = -1;
    };

    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnCreate();
    void OnDestroy();

    // Rows.
    int InsertItem(const LVITEMA* item);
    bool DeleteItem(int row);
    bool DeleteAllItems();
    bool GetItem(LVITEMA* item) const;
    bool SetItem(const LVITEMA* item);
    int GetItemText(int row, LVITEMA* item) const;
    bool SetItemText(int row, const LVITEMA* item);
    int NextItem(int start, UINT flags) const;
    int FindItem(int start, const LVFINDINFOA* find) const;
    bool SortItems(LPARAM param, PFNLVCOMPARE compare);
    void Shifted(int row, int by);  // indexes at or after `row` moved by one

    // States and selection.
    bool ChangeState(int row, UINT state, UINT mask, POINT at = POINT{0, 0});
    bool ChangeOne(int row, UINT state, UINT mask, POINT at);
    bool SetItemState(int row, const LVITEMA* item);
    bool SelectOnly(int row, POINT at);
    bool DeselectAll(POINT at);
    bool SelectRange(int from, int to, POINT at);

    // Columns.
    int InsertColumn(int index, const LVCOLUMNA* column);
    bool DeleteColumn(int index);
    bool GetColumn(int index, LVCOLUMNA* column) const;
    bool SetColumn(int index, const LVCOLUMNA* column);
    int ColumnWidth(int index) const;
    bool SetColumnWidth(int index, int width);
    int AutoWidth(int index, bool withHeader);
    int ColumnCount() const;
    void ColumnsChanged();
    int TotalWidth();
    LRESULT OnHeaderNotify(NMHDR* nm);

    // Geometry and scrolling.
    void Measure();
    void Layout();
    void PlaceHeader();
    int PerPage() const;
    int HitTest(LVHITTESTINFO& info, bool subItems);
    bool GetItemRect(int row, RECT* r, int code);
    bool GetSubItemRect(int row, RECT* r);
    void ScrollTo(int top, int x);
    void ScrollBy(int rows, int pixels) { ScrollTo(top_ + rows, scrollX_ + pixels); }
    bool EnsureVisible(int row, bool partialOk);
    void UpdateScrollBars();
    void FlushScrollBars();
    void OnScroll(int bar, int request);
    void OnWheel(int delta);

    // Input.
    void OnButtonDown(POINT p, bool right, bool doubleClick, WPARAM keys);
    void OnButtonUp(POINT p, bool right);
    void OnMouseMove(POINT p);
    bool OnKeyDown(int key);
    void MoveFocusTo(int row);
    void SetHot(int row);
    bool OnSetCursor();
    void UpdateLabelTip(POINT p);
    void CheckPointer();
    UINT KeyFlags() const;
    LRESULT NotifyActivate(UINT code, int row, int subItem, POINT at);
    LRESULT NotifyItem(UINT code, int row, UINT newState, UINT oldState, UINT changed, POINT at);

    // Painting.
    void InvalidateRow(int row);
    void InvalidateFrom(int row);
    void Invalidate();
    void SetExtendedStyle(DWORD mask, DWORD style);
    void SyncStyle();
    void SetFont(HFONT font, bool redraw);
    HIMAGELIST* ImageSlot(int which);   // LVSIL_*
    COLORREF* ColorSlot(UINT message);  // of the LVM_GET/SET*COLOR messages

    HWND hwnd_;
    HWND parent_;
    int id_;
    HWND header_ = nullptr;
    bool destroyed_ = false;
    bool redraw_ = true;
    bool focused_ = false;
    DWORD exStyle_ = 0;
    DWORD knownStyle_ = 0;  // the window style the layout was made for
    HFONT font_ = nullptr;
    HDC measureDc_ = nullptr;  // ours, with the font selected: for measuring texts
    HIMAGELIST normalImages_ = nullptr, smallImages_ = nullptr, stateImages_ = nullptr;
    COLORREF backColor_, textColor_, textBackColor_;
    HCURSOR hotCursor_ = nullptr;

    ListRowStore rows_;
    std::vector<ColumnData> columns_;  // by column index
    std::vector<Column> shown_;        // display order, rebuilt from the header when stale
    bool shownStale_ = true;
    int totalWidth_ = 0;

    int focus_ = -1;           // the focused row
    int mark_ = -1;            // the selection mark (anchor of Shift selections)
    int selectedCount_ = 0;
    int firstSelected_ = INT_MAX;  // no row above it is selected (INT_MAX: none is)
    int hot_ = -1;

    int charHeight_ = 13;
    int rowHeight_ = 17;
    int headerHeight_ = 0;
    RECT headerRect_{0, 0, 0, 0};
    int clientWidth_ = 0, clientHeight_ = 0;
    int top_ = 0;       // first row shown
    int scrollX_ = 0;   // pixels scrolled to the left
    bool scrollStale_ = false;
    bool laying_ = false;
    bool relayout_ = false;
    int wheelRest_ = 0;

    // A press being followed until its release (NM_CLICK) or a drag.
    bool tracking_ = false;
    bool trackingRight_ = false;
    int pressedRow_ = -1, pressedSubItem_ = 0;
    POINT pressedAt_{0, 0};
    bool pressedWasSelected_ = false;

    std::unique_ptr<ListLabelTip> tip_;
    bool pointerTimer_ = false;
};
