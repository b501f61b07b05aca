#pragma once
// A menu whose items draw themselves: the icon of their command in a shaded band on the left,
// a flat selection, the accelerator right-aligned, popups with their own border and shadow. A
// menu bar made from a resource gets a CIconMenu for each of its popups; every item gets item
// data (its text and icon) and becomes owner-drawn. The frame measures and draws the items
// through the drawing style in use (IconMenuStyleRegistry).
//
// The menus, their item data and the icon sets belong to the user-interface thread.

#include <memory>
#include <vector>

#include "platform/framework/CMenu.h"
#include "widgets/CIconMenuItemData.h"

class CIconMenu : public CMenu {
    DECLARE_DYNCREATE(CIconMenu)

public:
    // `parent`: the menu that holds this one as a popup, if known.
    explicit CIconMenu(HMENU parent = nullptr);
    ~CIconMenu() override;

    // The CIconMenu of a menu handle, if it has one.
    static CIconMenu* FromHandleIcon(HMENU menu);
    // The CIconMenu in `root`'s tree that holds the item with this command and item data.
    static CIconMenu* HolderOf(HMENU root, UINT id, ULONG_PTR itemData);
    // The CIconMenu that measures an item a window was asked about: by the popup the item opens,
    // else in the popup being tracked, the window's menu, then its system menu.
    static CIconMenu* MeasuringMenu(HWND window, HMENU tracked, const MEASUREITEMSTRUCT& mis);
    // The frames' handling of the menu messages, the same in every frame kind: true when an icon
    // menu took the message.
    static bool MeasureFor(HWND window, HMENU tracked, MEASUREITEMSTRUCT* mis);
    static bool MenuCharFor(const CMenu* menu, UINT ch, LRESULT& result);
    static void PopupOpening(const CMenu* popup, HWND owner);

    // Loads (or wraps) a menu and makes every item of it and its popups owner-drawn.
    BOOL LoadMenu(UINT nIDResource);
    BOOL LoadMenu(LPCSTR lpszResourceName);
    BOOL Attach(HMENU hMenu);
    HMENU Detach();
    // Gives every item item data (its text from the menu string when it has none) and makes it
    // owner-drawn; popups get a CIconMenu and learn their parent. `deep`: their items too.
    void SyncItems(bool deep);

    // Binds the commands of an icon table (bitmap id, width, height, commands..., 0) found in this
    // menu or its popups to their icons; `mask` CLR_INVALID takes transparentColor. False when
    // the bitmap cannot be loaded: the menu draws on without icons.
    bool LoadToolBar(const WORD* table, COLORREF mask = CLR_INVALID);
    CIconMenu* GetSubMenu(int nPos) const;
    // The popup opened by the first item whose text is exactly `text`, or null.
    CIconMenu* FindSubMenu(LPCSTR text) const;
    // With MF_BYPOSITION `item` is a position of this menu, else a command of it or its popups.
    // The text is stored in the item data and the item rewritten with it, keeping its state.
    bool SetMenuText(UINT item, LPCSTR text, UINT flags);
    // The process-wide drawing style: the previous id, or -1 when there is no style `style`.
    static int SetMenuDrawMode(int style);
    // Whether icons draw in their prepared normal and disabled looks: the previous value.
    static int SetIconVariants(int value);

    // WM_MENUCHAR: the item whose text marks the typed character, as MNC_EXECUTE, else 0.
    LRESULT MenuChar(UINT ch);
    // WM_INITMENUPOPUP: this popup opens from `owner`'s menus.
    void PreparePopup(HWND owner);
    // Its menu window went.
    void PopupClosed();

    void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

    // The item data of an item, and the reverse; null and -1 for what is not this menu's.
    CIconMenuItemData* ItemData(int position) const;
    int PositionOf(const CIconMenuItemData* item) const;
    CIconMenuItemData* DataOf(ULONG_PTR itemData) const;
    // Whether its items draw as a menu bar's.
    bool IsBar() const { return !parentMenu && !isPopup; }

    std::vector<std::unique_ptr<CIconMenuItemData>> items;  // by position
    std::vector<std::unique_ptr<CIconMenu>> subMenus;       // the popups it made a CIconMenu for
    int iconWidth = 16;
    int iconHeight = 15;
    COLORREF transparentColor = CLR_DEFAULT;  // none given: icons are opaque
    HIMAGELIST checkImages = nullptr;         // not owned: 0 normal, 1 selected
    int isPopup = 1;
    HMENU parentMenu = nullptr;
    HWND ownerWindow = nullptr;
    int openPopups = 0;
    RECT barItemRect{};  // screen rectangle of the bar item it opened from, as last drawn open

private:
    void Sync(bool deep, int depth);
    void Refresh(int position, CIconMenuItemData& item) const;
    bool Bind(UINT command, class CIconMenuIcons* set, int image, int depth);
    CIconMenu* Holding(UINT command, int* position, int depth);
    void RedrawBarItem() const;
    void SwapSystemIds(int delta);

    bool systemIdsSwapped_ = false;
};
