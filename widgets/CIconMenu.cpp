#include "widgets/CIconMenu.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "platform/window/Windows.h"
#include "widgets/CIconMenuIcons.h"
#include "widgets/IconMenuSettings.h"
#include "widgets/IconMenuStyleRegistry.h"
#include "widgets/IconMenuWindowHook.h"

IMPLEMENT_DYNCREATE(CIconMenu, CMenu)

namespace {

// Menus may hold themselves: searches stop this deep.
constexpr int kMaxDepth = 32;
// The system commands generation 7 draws itself unless their ids differ (the low four bits of a
// system command are not looked at, so the command stays the same).
constexpr UINT kSwappedSystemIds[] = {0xF120, 0xF060, 0xF020};  // SC_RESTORE, SC_CLOSE, SC_MINIMIZE
constexpr UINT kCloseId = 0xF060;
// Item kinds a text rewrite keeps.
constexpr UINT kKeptTypes = MFT_RADIOCHECK | MFT_RIGHTJUSTIFY | MFT_RIGHTORDER;

MENUITEMINFOA InfoOf(HMENU menu, int position) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA;
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) info = MENUITEMINFOA{};
    return info;
}

std::string StringOf(HMENU menu, int position) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) return {};
    std::string text(info.cch + 1, '\0');
    info.dwTypeData = text.data();
    info.cch = static_cast<UINT>(text.size());
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) return {};
    text.resize(info.cch);
    return text;
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

void Redraw(HWND hwnd) {
    if (IsWindow(hwnd)) RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

}  // namespace

CIconMenu::CIconMenu(HMENU parent) : parentMenu(parent) { IconMenuWindowHook::Install(); }

CIconMenu::~CIconMenu() {
    // The popups' menus go with this menu's.
    for (auto& sub : subMenus) sub->Detach();
    subMenus.clear();
    items.clear();
}

CIconMenu* CIconMenu::FromHandleIcon(HMENU menu) { return dynamic_cast<CIconMenu*>(FromHandlePermanent(menu)); }

CIconMenu* CIconMenu::HolderOf(HMENU root, UINT id, ULONG_PTR itemData) {
    std::vector<HMENU> level{root};
    for (int depth = 0; depth < kMaxDepth && !level.empty(); ++depth) {
        std::vector<HMENU> next;
        for (HMENU menu : level) {
            if (CIconMenu* icon = FromHandleIcon(menu))
                if (const CIconMenuItemData* item = icon->DataOf(itemData); item && item->commandId == id) return icon;
            for (int i = 0, n = ::GetMenuItemCount(menu); i < n; ++i)
                if (HMENU sub = ::GetSubMenu(menu, i)) next.push_back(sub);
        }
        level = std::move(next);
    }
    return nullptr;
}

CIconMenu* CIconMenu::MeasuringMenu(HWND window, HMENU tracked, const MEASUREITEMSTRUCT& mis) {
    if (mis.CtlType != ODT_MENU) return nullptr;
    // An item that opens a popup has the popup's handle as its id.
    if (const CIconMenu* popup = FromHandleIcon(reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(mis.itemID))))
        if (CIconMenu* parent = FromHandleIcon(popup->parentMenu); parent && parent->DataOf(mis.itemData))
            return parent;
    for (HMENU root : {tracked, ::GetMenu(window), ::GetSystemMenu(window, FALSE)})
        if (CIconMenu* holder = root ? HolderOf(root, mis.itemID, mis.itemData) : nullptr) return holder;
    return nullptr;
}

bool CIconMenu::MeasureFor(HWND window, HMENU tracked, MEASUREITEMSTRUCT* mis) {
    CIconMenu* menu = mis ? MeasuringMenu(window, tracked, *mis) : nullptr;
    if (menu) menu->MeasureItem(mis);
    return menu != nullptr;
}

bool CIconMenu::MenuCharFor(const CMenu* menu, UINT ch, LRESULT& result) {
    CIconMenu* icon = menu ? FromHandleIcon(menu->m_hMenu) : nullptr;
    if (icon) result = icon->MenuChar(ch);
    return icon != nullptr;
}

void CIconMenu::PopupOpening(const CMenu* popup, HWND owner) {
    if (CIconMenu* icon = popup ? FromHandleIcon(popup->m_hMenu) : nullptr) icon->PreparePopup(owner);
}

BOOL CIconMenu::LoadMenu(UINT nIDResource) { return LoadMenu(MAKEINTRESOURCEA(static_cast<WORD>(nIDResource))); }

BOOL CIconMenu::LoadMenu(LPCSTR lpszResourceName) {
    if (!CMenu::LoadMenu(lpszResourceName)) return FALSE;
    SyncItems(true);
    return TRUE;
}

BOOL CIconMenu::Attach(HMENU hMenu) {
    if (!CMenu::Attach(hMenu)) return FALSE;
    SyncItems(true);
    return TRUE;
}

HMENU CIconMenu::Detach() {
    for (auto& sub : subMenus) sub->Detach();
    subMenus.clear();
    items.clear();
    return CMenu::Detach();
}

void CIconMenu::SyncItems(bool deep) { Sync(deep, 0); }

void CIconMenu::Sync(bool deep, int depth) {
    const int count = std::max(0, ::GetMenuItemCount(m_hMenu));
    std::vector<std::unique_ptr<CIconMenuItemData>> synced(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const MENUITEMINFOA info = InfoOf(m_hMenu, i);
        auto it = std::find_if(items.begin(), items.end(), [&](const auto& item) {
            return item && reinterpret_cast<ULONG_PTR>(item.get()) == info.dwItemData;
        });
        std::unique_ptr<CIconMenuItemData> item;
        if (it != items.end()) {
            item = std::move(*it);
        } else {
            item = std::make_unique<CIconMenuItemData>();
            item->text = StringOf(m_hMenu, i);
        }
        // Rewritten as a string item since (a command update's new text): the string is the text.
        if (!(info.fType & MFT_OWNERDRAW) && it != items.end()) item->text = StringOf(m_hMenu, i);
        Refresh(i, *item);
        if (!(info.fType & MFT_OWNERDRAW) || info.dwItemData != reinterpret_cast<ULONG_PTR>(item.get())) {
            MENUITEMINFOA owned{};
            owned.cbSize = sizeof owned;
            owned.fMask = MIIM_FTYPE | MIIM_DATA;
            owned.fType = info.fType | MFT_OWNERDRAW;
            owned.dwItemData = reinterpret_cast<ULONG_PTR>(item.get());
            SetMenuItemInfoA(m_hMenu, static_cast<UINT>(i), TRUE, &owned);
        }
        if (info.hSubMenu) {
            CIconMenu* sub = FromHandleIcon(info.hSubMenu);
            if (!sub && !FromHandlePermanent(info.hSubMenu)) {
                auto made = std::make_unique<CIconMenu>(m_hMenu);
                if (made->CMenu::Attach(info.hSubMenu)) {
                    sub = made.get();
                    subMenus.push_back(std::move(made));
                }
            }
            if (sub) {
                sub->parentMenu = m_hMenu;
                if (deep && depth < kMaxDepth) sub->Sync(true, depth + 1);
            }
        }
        synced[static_cast<std::size_t>(i)] = std::move(item);
    }
    items = std::move(synced);
    // Popups no longer held here: their menus are no longer this menu's to destroy.
    std::erase_if(subMenus, [this](auto& sub) {
        for (int i = 0, n = ::GetMenuItemCount(m_hMenu); i < n; ++i)
            if (::GetSubMenu(m_hMenu, i) == sub->m_hMenu) return false;
        sub->Detach();
        return true;
    });
}

void CIconMenu::Refresh(int position, CIconMenuItemData& item) const {
    const MENUITEMINFOA info = InfoOf(m_hMenu, position);
    item.menuFlags = (info.fType | info.fState | (info.hSubMenu ? MF_POPUP : 0)) & ~MFT_OWNERDRAW;
    item.commandId = info.wID;  // an item that opens a popup has the popup's handle as its id
}

CIconMenuItemData* CIconMenu::ItemData(int position) const {
    return position >= 0 && position < static_cast<int>(items.size()) ? items[static_cast<std::size_t>(position)].get()
                                                                       : nullptr;
}

int CIconMenu::PositionOf(const CIconMenuItemData* item) const {
    for (std::size_t i = 0; item && i < items.size(); ++i)
        if (items[i].get() == item) return static_cast<int>(i);
    return -1;
}

CIconMenuItemData* CIconMenu::DataOf(ULONG_PTR itemData) const {
    for (const auto& item : items)
        if (reinterpret_cast<ULONG_PTR>(item.get()) == itemData) return item.get();
    return nullptr;
}

bool CIconMenu::LoadToolBar(const WORD* table, COLORREF mask) {
    CIconMenuIcons* set = CIconMenuIcons::Get(table, mask == CLR_INVALID ? transparentColor : mask);
    if (!set) return false;
    SyncItems(true);
    const std::vector<UINT>& commands = set->Commands();
    for (auto it = commands.rbegin(); it != commands.rend(); ++it)
        if (const int image = set->Find(*it); image >= 0) Bind(*it, set, image, 0);
    CIconMenuIcons::DropUnused();
    return true;
}

bool CIconMenu::Bind(UINT command, CIconMenuIcons* set, int image, int depth) {
    bool bound = false;
    for (const auto& item : items) {
        if (item->commandId != command || (item->menuFlags & (MF_SEPARATOR | MF_POPUP)) || command == 0) continue;
        item->SetIcon(set, image);
        iconWidth = std::max(iconWidth, set->IconWidth());
        iconHeight = std::max(iconHeight, set->IconHeight());
        bound = true;
    }
    if (depth < kMaxDepth)
        for (int i = 0, n = static_cast<int>(items.size()); i < n; ++i)
            if (CIconMenu* sub = GetSubMenu(i)) bound |= sub->Bind(command, set, image, depth + 1);
    return bound;
}

CIconMenu* CIconMenu::GetSubMenu(int nPos) const { return FromHandleIcon(::GetSubMenu(m_hMenu, nPos)); }

CIconMenu* CIconMenu::FindSubMenu(LPCSTR text) const {
    if (!text) return nullptr;
    for (int i = 0, n = ::GetMenuItemCount(m_hMenu); i < n; ++i) {
        const CIconMenuItemData* item = ItemData(i);
        const std::string shown = (InfoOf(m_hMenu, i).fType & MFT_OWNERDRAW) && item ? item->text : StringOf(m_hMenu, i);
        if (shown == text) return GetSubMenu(i);
    }
    return nullptr;
}

CIconMenu* CIconMenu::Holding(UINT command, int* position, int depth) {
    for (int i = 0, n = static_cast<int>(items.size()); i < n; ++i) {
        const CIconMenuItemData* item = items[static_cast<std::size_t>(i)].get();
        if (item->commandId == command && !(item->menuFlags & (MF_POPUP | MF_SEPARATOR))) {
            *position = i;
            return this;
        }
    }
    if (depth >= kMaxDepth) return nullptr;
    for (int i = 0, n = static_cast<int>(items.size()); i < n; ++i)
        if (CIconMenu* sub = GetSubMenu(i))
            if (CIconMenu* found = sub->Holding(command, position, depth + 1)) return found;
    return nullptr;
}

bool CIconMenu::SetMenuText(UINT item, LPCSTR text, UINT flags) {
    if (!text) text = "";
    if (!(flags & MF_BYPOSITION)) {
        SyncItems(true);
        int position = -1;
        CIconMenu* holder = Holding(item, &position, 0);
        return holder && holder->SetMenuText(static_cast<UINT>(position), text, flags | MF_BYPOSITION);
    }
    const int count = ::GetMenuItemCount(m_hMenu);
    if (count < 0 || item >= static_cast<UINT>(count)) return false;
    if (static_cast<int>(items.size()) != count) SyncItems(false);
    CIconMenuItemData* data = ItemData(static_cast<int>(item));
    if (!data) return false;
    data->text = text;
    // A popup item must name its popup in both rewrites, or the popup would be destroyed.
    const HMENU popup = ::GetSubMenu(m_hMenu, static_cast<int>(item));
    UINT state = ::GetMenuState(m_hMenu, item, MF_BYPOSITION) & 0xFF & ~(MF_SEPARATOR | MF_BITMAP | MF_OWNERDRAW);
    if (popup) state |= MF_POPUP;
    const UINT_PTR id = popup ? reinterpret_cast<UINT_PTR>(popup) : ::GetMenuItemID(m_hMenu, static_cast<int>(item));
    // Kinds the rewrite's flags cannot carry: a radio check would turn into a check mark.
    const UINT kinds = InfoOf(m_hMenu, static_cast<int>(item)).fType & kKeptTypes;
    bool done = ModifyMenu(item, MF_BYPOSITION | MF_STRING | state, id, text) &&
                ModifyMenu(item, MF_BYPOSITION | MF_OWNERDRAW | state, id, reinterpret_cast<LPCSTR>(data));
    if (done && kinds) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE;
        info.fType = InfoOf(m_hMenu, static_cast<int>(item)).fType | kinds;
        done = SetMenuItemInfoA(m_hMenu, item, TRUE, &info);
    }
    Refresh(static_cast<int>(item), *data);
    return done;
}

int CIconMenu::SetMenuDrawMode(int style) { return IconMenuStyleRegistry::Instance().SetActive(style); }

int CIconMenu::SetIconVariants(int value) {
    return std::exchange(IconMenuSettings::Instance().useIconVariants, value);
}

LRESULT CIconMenu::MenuChar(UINT ch) {
    if (static_cast<int>(items.size()) != ::GetMenuItemCount(m_hMenu)) SyncItems(false);
    const std::string key = Upper(std::string{'&', static_cast<char>(ch & 0xFF)});
    for (std::size_t i = 0; i < items.size(); ++i)
        if (Upper(items[i]->text).find(key) != std::string::npos) return MAKELPARAM(static_cast<int>(i), static_cast<int>(MNC_EXECUTE));
    return 0;
}

void CIconMenu::PreparePopup(HWND owner) {
    ownerWindow = owner;
    isPopup = 1;
    SyncItems(false);
    if (IconMenuSettings::Instance().osGeneration == 7 && !systemIdsSwapped_) {
        SwapSystemIds(1);
        systemIdsSwapped_ = true;
    }
    CIconMenu* parent = FromHandleIcon(parentMenu);
    if (!parent) return;
    const int was = parent->openPopups++;
    // The bar item takes its open look, and its shadow falls outside it.
    if (parent->IsBar() && was == 0) RedrawBarItem();
}

void CIconMenu::PopupClosed() {
    if (systemIdsSwapped_) {
        SwapSystemIds(-1);
        systemIdsSwapped_ = false;
    }
    CIconMenu* parent = FromHandleIcon(parentMenu);
    if (!parent) return;
    if (parent->openPopups > 0) --parent->openPopups;
    if (parent->IsBar()) {
        parent->openPopups = 0;
        RedrawBarItem();
    }
}

void CIconMenu::SwapSystemIds(int delta) {
    bool closeChanged = false;
    for (int i = 0, n = ::GetMenuItemCount(m_hMenu); i < n; ++i) {
        const UINT id = ::GetMenuItemID(m_hMenu, i);
        for (UINT system : kSwappedSystemIds) {
            if (id != static_cast<UINT>(static_cast<int>(system) + (delta > 0 ? 0 : 1))) continue;
            MENUITEMINFOA info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_ID;
            info.wID = static_cast<UINT>(static_cast<int>(id) + delta);
            SetMenuItemInfoA(m_hMenu, static_cast<UINT>(i), TRUE, &info);
            if (CIconMenuItemData* item = ItemData(i)) item->commandId = info.wID;
            closeChanged |= system == kCloseId;
        }
    }
    if (delta < 0 && closeChanged) Redraw(ownerWindow);
}

void CIconMenu::RedrawBarItem() const {
    // The whole frame: the item, grown by the shadow, lies in its non-client area.
    Redraw(ownerWindow);
}

void CIconMenu::MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) {
    if (lpMeasureItemStruct) IconMenuStyleRegistry::Instance().Active().MeasureItem(*this, *lpMeasureItemStruct);
}

void CIconMenu::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
    if (lpDrawItemStruct) IconMenuStyleRegistry::Instance().Active().DrawItem(*this, *lpDrawItemStruct);
}
