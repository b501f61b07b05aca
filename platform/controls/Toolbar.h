#pragma once
// The toolbar ("ToolbarWindow32"): a row (or rows) of image buttons and separators. A click sends
// WM_COMMAND with the button's command id to the toolbar's notify window (its parent, or what
// TB_SETPARENT names), which also gets its WM_NOTIFY notifications. TBSTYLE_FLAT draws buttons
// without edges until the pointer is over them (hot tracking, with the hot image list) and lets
// the parent's background show, as TBSTYLE_TRANSPARENT does; disabled buttons draw from the
// disabled image list, or embossed without one. With TBSTYLE_TOOLTIPS the toolbar makes its own
// tooltip control, one tool per button, and passes TTN_NEEDTEXTA on to the notify window with
// the command id as idFrom. TB_SAVERESTOREA keeps the button layout in the registry
// (ToolbarSavedLayout).
//
// Button texts (iString, TBBUTTONINFOA's text) are kept and given back but not drawn; there is
// no customize dialog (TB_CUSTOMIZE answers FALSE) and no custom draw.

#include <memory>
#include <string>
#include <vector>

#include "platform/controls/CommCtrl.h"
#include "platform/controls/ToolbarButton.h"
#include "platform/kernel/Registry.h"

inline constexpr const char* TOOLBARCLASSNAMEA = "ToolbarWindow32";

using INT_PTR = std::intptr_t;

// Window styles.
constexpr DWORD TBSTYLE_TOOLTIPS = 0x0100;
constexpr DWORD TBSTYLE_WRAPABLE = 0x0200;
constexpr DWORD TBSTYLE_ALTDRAG = 0x0400;
constexpr DWORD TBSTYLE_FLAT = 0x0800;
constexpr DWORD TBSTYLE_LIST = 0x1000;
constexpr DWORD TBSTYLE_CUSTOMERASE = 0x2000;
constexpr DWORD TBSTYLE_REGISTERDROP = 0x4000;
constexpr DWORD TBSTYLE_TRANSPARENT = 0x8000;

// Extended styles (TB_SETEXTENDEDSTYLE).
constexpr DWORD TBSTYLE_EX_DRAWDDARROWS = 0x0001;  // a drop-down button gets a separate arrow part
constexpr DWORD TBSTYLE_EX_MIXEDBUTTONS = 0x0008;
constexpr DWORD TBSTYLE_EX_HIDECLIPPEDBUTTONS = 0x0010;
constexpr DWORD TBSTYLE_EX_DOUBLEBUFFER = 0x0080;

// Button styles.
constexpr BYTE BTNS_BUTTON = 0x00;
constexpr BYTE BTNS_SEP = 0x01;
constexpr BYTE BTNS_CHECK = 0x02;
constexpr BYTE BTNS_GROUP = 0x04;
constexpr BYTE BTNS_CHECKGROUP = BTNS_GROUP | BTNS_CHECK;
constexpr BYTE BTNS_DROPDOWN = 0x08;
constexpr BYTE BTNS_AUTOSIZE = 0x10;
constexpr BYTE BTNS_NOPREFIX = 0x20;
constexpr BYTE BTNS_SHOWTEXT = 0x40;
constexpr BYTE BTNS_WHOLEDROPDOWN = 0x80;
constexpr BYTE TBSTYLE_BUTTON = BTNS_BUTTON;
constexpr BYTE TBSTYLE_SEP = BTNS_SEP;
constexpr BYTE TBSTYLE_CHECK = BTNS_CHECK;
constexpr BYTE TBSTYLE_GROUP = BTNS_GROUP;
constexpr BYTE TBSTYLE_CHECKGROUP = BTNS_CHECKGROUP;
constexpr BYTE TBSTYLE_DROPDOWN = BTNS_DROPDOWN;
constexpr BYTE TBSTYLE_AUTOSIZE = BTNS_AUTOSIZE;
constexpr BYTE TBSTYLE_NOPREFIX = BTNS_NOPREFIX;

// Button states.
constexpr BYTE TBSTATE_CHECKED = 0x01;
constexpr BYTE TBSTATE_PRESSED = 0x02;
constexpr BYTE TBSTATE_ENABLED = 0x04;
constexpr BYTE TBSTATE_HIDDEN = 0x08;
constexpr BYTE TBSTATE_INDETERMINATE = 0x10;
constexpr BYTE TBSTATE_WRAP = 0x20;
constexpr BYTE TBSTATE_ELLIPSES = 0x40;
constexpr BYTE TBSTATE_MARKED = 0x80;

// Messages. Those taking a button by command id say "id"; by position, "index".
constexpr UINT TB_ENABLEBUTTON = WM_USER + 1;  // id, LOWORD(lParam) on/off; TRUE when found
constexpr UINT TB_CHECKBUTTON = WM_USER + 2;
constexpr UINT TB_PRESSBUTTON = WM_USER + 3;
constexpr UINT TB_HIDEBUTTON = WM_USER + 4;
constexpr UINT TB_INDETERMINATE = WM_USER + 5;
constexpr UINT TB_MARKBUTTON = WM_USER + 6;
constexpr UINT TB_ISBUTTONENABLED = WM_USER + 9;  // id; non-zero when so
constexpr UINT TB_ISBUTTONCHECKED = WM_USER + 10;
constexpr UINT TB_ISBUTTONPRESSED = WM_USER + 11;
constexpr UINT TB_ISBUTTONHIDDEN = WM_USER + 12;
constexpr UINT TB_ISBUTTONINDETERMINATE = WM_USER + 13;
constexpr UINT TB_ISBUTTONHIGHLIGHTED = WM_USER + 14;
constexpr UINT TB_SETSTATE = WM_USER + 17;       // id, LOWORD(lParam) the TBSTATE_* bits
constexpr UINT TB_GETSTATE = WM_USER + 18;       // id; the bits, -1 when not found
constexpr UINT TB_ADDBITMAP = WM_USER + 19;      // wParam images, lParam TBADDBITMAP*; the first index or -1
constexpr UINT TB_ADDBUTTONSA = WM_USER + 20;    // wParam count, lParam TBBUTTON[]
constexpr UINT TB_INSERTBUTTONA = WM_USER + 21;  // index (beyond the end or -1: appends), TBBUTTON*
constexpr UINT TB_DELETEBUTTON = WM_USER + 22;   // index
constexpr UINT TB_GETBUTTON = WM_USER + 23;      // index, TBBUTTON*
constexpr UINT TB_BUTTONCOUNT = WM_USER + 24;
constexpr UINT TB_COMMANDTOINDEX = WM_USER + 25;  // id; the index or -1
constexpr UINT TB_SAVERESTOREA = WM_USER + 26;    // wParam TRUE saves, FALSE restores; lParam TBSAVEPARAMSA*
constexpr UINT TB_CUSTOMIZE = WM_USER + 27;
constexpr UINT TB_GETITEMRECT = WM_USER + 29;  // index, RECT*; FALSE for a hidden button
constexpr UINT TB_BUTTONSTRUCTSIZE =
    WM_USER + 30;                                // the caller's sizeof(TBBUTTON); a smaller (32-bit) one reads as ours
constexpr UINT TB_SETBUTTONSIZE = WM_USER + 31;  // MAKELPARAM(cx, cy)
constexpr UINT TB_SETBITMAPSIZE = WM_USER + 32;  // MAKELPARAM(cx, cy)
constexpr UINT TB_AUTOSIZE = WM_USER + 33;
constexpr UINT TB_GETTOOLTIPS = WM_USER + 35;
constexpr UINT TB_SETTOOLTIPS = WM_USER + 36;    // wParam the tooltip window
constexpr UINT TB_SETPARENT = WM_USER + 37;      // wParam the notify window; the previous one
constexpr UINT TB_SETCMDID = WM_USER + 42;       // index, new id
constexpr UINT TB_CHANGEBITMAP = WM_USER + 43;   // id, image
constexpr UINT TB_GETBITMAP = WM_USER + 44;      // id; the image
constexpr UINT TB_REPLACEBITMAP = WM_USER + 46;  // lParam TBREPLACEBITMAP*
constexpr UINT TB_SETINDENT = WM_USER + 47;
constexpr UINT TB_SETIMAGELIST = WM_USER + 48;  // lParam the list, not owned; the previous one
constexpr UINT TB_GETIMAGELIST = WM_USER + 49;
constexpr UINT TB_GETRECT = WM_USER + 51;  // id, RECT*
constexpr UINT TB_SETHOTIMAGELIST = WM_USER + 52;
constexpr UINT TB_GETHOTIMAGELIST = WM_USER + 53;
constexpr UINT TB_SETDISABLEDIMAGELIST = WM_USER + 54;
constexpr UINT TB_GETDISABLEDIMAGELIST = WM_USER + 55;
constexpr UINT TB_SETSTYLE = WM_USER + 56;
constexpr UINT TB_GETSTYLE = WM_USER + 57;
constexpr UINT TB_GETBUTTONSIZE = WM_USER + 58;   // MAKELONG(cx, cy)
constexpr UINT TB_GETBUTTONINFOA = WM_USER + 65;  // id (index with TBIF_BYINDEX), TBBUTTONINFOA*; the index or -1
constexpr UINT TB_SETBUTTONINFOA = WM_USER + 66;
constexpr UINT TB_HITTEST = WM_USER + 69;  // lParam POINT*; see Toolbar::HitTest
constexpr UINT TB_GETHOTITEM = WM_USER + 71;
constexpr UINT TB_SETHOTITEM = WM_USER + 72;        // index or -1; the previous one
constexpr UINT TB_MOVEBUTTON = WM_USER + 82;        // from index, to index
constexpr UINT TB_GETMAXSIZE = WM_USER + 83;        // lParam SIZE*
constexpr UINT TB_SETEXTENDEDSTYLE = WM_USER + 84;  // wParam mask (0: all), lParam styles; the previous ones
constexpr UINT TB_GETEXTENDEDSTYLE = WM_USER + 85;

struct TBBUTTON {
    int iBitmap;
    int idCommand;
    BYTE fsState;
    BYTE fsStyle;
    BYTE bReserved[6];
    DWORD_PTR dwData;
    INT_PTR iString;
};

struct TBADDBITMAP {
    HINSTANCE hInst;  // null: nID is an HBITMAP; else nID is a bitmap resource of hInst
    UINT_PTR nID;
};
// The platform's own button pictures: not available here (TB_ADDBITMAP answers -1).
inline HINSTANCE const HINST_COMMCTRL = reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(-1));

struct TBREPLACEBITMAP {
    HINSTANCE hInstOld;
    UINT_PTR nIDOld;
    HINSTANCE hInstNew;
    UINT_PTR nIDNew;
    int nButtons;
};

struct TBSAVEPARAMSA {
    HKEY hkr;
    LPCSTR pszSubKey;
    LPCSTR pszValueName;
};

constexpr DWORD TBIF_IMAGE = 0x00000001;
constexpr DWORD TBIF_TEXT = 0x00000002;
constexpr DWORD TBIF_STATE = 0x00000004;
constexpr DWORD TBIF_STYLE = 0x00000008;
constexpr DWORD TBIF_LPARAM = 0x00000010;
constexpr DWORD TBIF_COMMAND = 0x00000020;
constexpr DWORD TBIF_SIZE = 0x00000040;
constexpr DWORD TBIF_BYINDEX = 0x80000000;

struct TBBUTTONINFOA {
    UINT cbSize;
    DWORD dwMask;
    int idCommand;
    int iImage;
    BYTE fsState;
    BYTE fsStyle;
    WORD cx;
    DWORD_PTR lParam;
    char* pszText;
    int cchText;
};

// Notifications (WM_NOTIFY to the notify window).
constexpr UINT TBN_FIRST = 0U - 700U;
constexpr UINT TBN_GETBUTTONINFOA = TBN_FIRST - 0;
constexpr UINT TBN_BEGINDRAG = TBN_FIRST - 1;  // a button went down (iItem: its id)
constexpr UINT TBN_ENDDRAG = TBN_FIRST - 2;    // and up
constexpr UINT TBN_BEGINADJUST = TBN_FIRST - 3;
constexpr UINT TBN_ENDADJUST = TBN_FIRST - 4;
constexpr UINT TBN_RESET = TBN_FIRST - 5;
constexpr UINT TBN_QUERYINSERT = TBN_FIRST - 6;
constexpr UINT TBN_QUERYDELETE = TBN_FIRST - 7;
constexpr UINT TBN_TOOLBARCHANGE = TBN_FIRST - 8;  // the buttons changed (a restore)
constexpr UINT TBN_CUSTHELP = TBN_FIRST - 9;
constexpr UINT TBN_DROPDOWN = TBN_FIRST - 10;       // answers TBDDRET_*
constexpr UINT TBN_HOTITEMCHANGE = TBN_FIRST - 13;  // NMTBHOTITEM; non-zero keeps the old hot item
constexpr UINT TBN_DELETINGBUTTON = TBN_FIRST - 15;
constexpr UINT NM_TOOLTIPSCREATED = NM_FIRST - 19;

constexpr LRESULT TBDDRET_DEFAULT = 0;
constexpr LRESULT TBDDRET_NODEFAULT = 1;
constexpr LRESULT TBDDRET_TREATPRESSED = 2;  // the drop-down part acts as a button press

struct NMTOOLBARA {
    NMHDR hdr;
    int iItem;
    TBBUTTON tbButton;
    int cchText;
    char* pszText;
    RECT rcButton;
};

constexpr DWORD HICF_OTHER = 0x00;
constexpr DWORD HICF_MOUSE = 0x01;
constexpr DWORD HICF_ENTERING = 0x10;
constexpr DWORD HICF_LEAVING = 0x20;

struct NMTBHOTITEM {
    NMHDR hdr;
    int idOld;
    int idNew;
    DWORD dwFlags;
};

struct NMTOOLTIPSCREATED {
    NMHDR hdr;
    HWND hwndToolTips;
};

class Toolbar {
public:
    static constexpr const char* kProperty = "QbToolbar";

    explicit Toolbar(HWND hwnd);
    ~Toolbar();
    Toolbar(const Toolbar&) = delete;
    Toolbar& operator=(const Toolbar&) = delete;

    static void Register();
    static std::unique_ptr<Toolbar> Make(HWND hwnd, const CREATESTRUCTA& cs);
    LRESULT Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    // Images added with TB_ADDBITMAP, one list per bitmap, so that TB_REPLACEBITMAP can swap one.
    struct Strip {
        HINSTANCE instance = nullptr;
        UINT_PTR id = 0;
        HIMAGELIST list = nullptr;  // owned
        int count = 0;
    };
    enum class Look { Normal, Hot, Disabled };
    enum class Draw { None, Plain, Emboss };

    int IndexOf(int command) const;
    ToolbarButton* ById(WPARAM command);
    bool IsSeparator(int index) const { return buttons_[index].style & BTNS_SEP; }
    SIZE ButtonSize() const;
    int SeparatorWidth(const ToolbarButton& b) const;
    int ArrowWidth(const ToolbarButton& b) const;

    // Buttons, images and state.
    BOOL Insert(int index, const TBBUTTON* buttons, int count);
    BOOL Delete(int index);
    BOOL Move(int from, int to);
    BOOL SetStateBit(WPARAM command, BYTE bit, bool on);
    BOOL SetState(WPARAM command, BYTE state);
    BOOL SetStateAt(int index, BYTE state);
    LRESULT GetButtonInfo(WPARAM which, TBBUTTONINFOA* info);
    BOOL SetButtonInfo(WPARAM which, const TBBUTTONINFOA* info);
    LRESULT AddBitmap(int count, const TBADDBITMAP* add);
    BOOL ReplaceBitmap(const TBREPLACEBITMAP* replace);
    BOOL SetBitmapSize(SIZE size);
    LRESULT SetImageList(HIMAGELIST& slot, HIMAGELIST list);
    // The list and index that draw `image` in `look`, and how: the disabled look is embossed from
    // the normal image when there is no disabled one.
    Draw ImageFor(int image, Look look, HIMAGELIST& list, int& index) const;

    // Layout and drawing.
    void Layout();
    // The height of the rows laid out, below the divider.
    int ContentBottom() const;
    void AutoSize();
    LRESULT HitTest(POINT p) const;
    int ButtonAt(POINT p) const;  // a usable (visible, non-separator) button, or -1
    void InvalidateButton(int index);
    void Paint();
    void PaintButton(HDC hdc, int index);
    BOOL EraseBackground(HDC hdc);

    // Mouse and notifications. A notification's receiver may destroy the toolbar: after one,
    // nothing touches the state unless Alive().
    bool Alive() const;
    void SetHot(int index, DWORD reason);
    void MouseMove(POINT p);
    void ButtonDown(POINT p);
    void ButtonUp(POINT p);
    void CancelPress();
    bool DropDown(int index);
    void Relay(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Notify(UINT code, NMHDR* header);
    LRESULT NotifyButton(UINT code, int index);
    void SyncTools();
    void UseTooltip(HWND tooltip);

    // Saving the layout: the buttons' order, separators, hidden and wrap states. Restoring takes
    // the buttons on the bar by command id, asks the notify window (TBN_GETBUTTONINFOA) for those
    // that are not, and drops those the saved layout does not have.
    BOOL SaveRestore(bool save, const TBSAVEPARAMSA* params);
    std::vector<ToolbarButton> Offered();

    HWND hwnd_;
    HWND notify_ = nullptr;
    std::vector<ToolbarButton> buttons_;
    std::size_t structSize_ = sizeof(TBBUTTON);
    SIZE buttonSize_{24, 22};
    SIZE bitmapSize_{16, 15};
    int indent_ = 0;
    DWORD exStyle_ = 0;
    HIMAGELIST images_ = nullptr;  // the lists given: not owned
    HIMAGELIST hotImages_ = nullptr;
    HIMAGELIST disabledImages_ = nullptr;
    std::vector<Strip> strips_;
    int hot_ = -1;
    int pressed_ = -1;  // the button held down by the mouse
    HWND tooltip_ = nullptr;
    HWND ownTooltip_ = nullptr;    // made here, destroyed here
    std::vector<UINT_PTR> tools_;  // the command ids registered with tooltip_
    HFONT font_ = nullptr;         // not owned
};
