#include "platform/controls/MenuTracker.h"

#include <cctype>
#include <optional>

#include "platform/controls/MenuBar.h"
#include "platform/controls/MenuLayout.h"
#include "platform/controls/MenuTable.h"
#include "platform/controls/Menus.h"
#include "platform/controls/PopupMenuWindow.h"
#include "platform/graphics/Rects.h"
#include "platform/window/MessageBeep.h"
#include "platform/window/ModalLoop.h"
#include "platform/window/PointerGrab.h"
#include "platform/window/Windows.h"

namespace {

MenuTable& Table() { return MenuTable::Instance(); }

thread_local MenuTracker* tActive = nullptr;

std::optional<MenuItem> ItemOf(HMENU menu, int position) {
    std::lock_guard guard(Table().Lock());
    Menu* m = Table().Find(menu);
    if (!m || !m->ValidPosition(position)) return std::nullopt;
    return m->items[static_cast<std::size_t>(position)];
}

std::vector<MenuItem> ItemsOf(HMENU menu) {
    std::lock_guard guard(Table().Lock());
    Menu* m = Table().Find(menu);
    return m ? m->items : std::vector<MenuItem>{};
}

void SetBarSelection(HMENU menu, int position) {
    std::lock_guard guard(Table().Lock());
    if (Menu* m = Table().Find(menu)) m->selected = position;
}

// Whether the text marks `ch` as its mnemonic ("&&" is a plain "&").
bool HasMnemonic(const std::string& text, UINT ch) {
    const int wanted = std::toupper(static_cast<unsigned char>(ch));
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        return std::toupper(static_cast<unsigned char>(text[i + 1])) == wanted;
    }
    return false;
}

bool IsMouseMessage(UINT m) {
    return (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) || (m >= WM_NCMOUSEMOVE && m <= WM_NCMOUSEMOVE + 9);
}

}  // namespace

MenuTracker::MenuTracker(HWND owner, HMENU root, bool bar, bool system, UINT flags)
    : owner_(owner), bar_(bar), system_(system), flags_(flags), levels_{Level{root, nullptr, -1}} {}

MenuTracker::~MenuTracker() {
    if (tActive == this) tActive = nullptr;
}

bool MenuTracker::Active() { return tActive != nullptr; }

bool MenuTracker::End() {
    if (!tActive) return false;
    tActive->done_ = true;
    ModalLoop::Wake();
    return true;
}

void MenuTracker::TrackBar(HWND owner, const POINT* mouse, UINT key) {
    const HMENU bar = GetMenu(owner);
    if (Active() || !IsMenu(bar)) return;
    MenuTracker t(owner, bar, true, false, 0);
    t.Begin();
    if (mouse) {
        const int position = MenuBar::ItemAt(owner, bar, *mouse);
        if (position < 0) {
            t.done_ = true;
        } else {
            t.Select(0, position, true);
            t.OpenPopup(0, false);
        }
    } else if (key == 0) {
        t.Step(0, 1);
    } else {
        t.OnChar(key);
        if (t.levels_[0].selected < 0) t.done_ = true;  // no item has it: the bar is left at once
    }
    t.Run();
    t.Finish();
}

void MenuTracker::TrackSystemMenu(HWND owner) {
    const HMENU menu = GetSystemMenu(owner, FALSE);
    if (Active() || !menu) return;
    RECT r;
    GetWindowRect(owner, &r);
    MenuTracker t(owner, menu, false, true, 0);
    t.Begin();
    if (t.OpenRoot(POINT{r.left, r.top}, TPM_LEFTALIGN, nullptr))
        t.Step(0, 1);
    else
        t.done_ = true;
    t.Run();
    t.Finish();
}

BOOL MenuTracker::TrackPopup(HMENU menu, UINT flags, POINT at, HWND owner, const RECT* exclude) {
    if (Active() || !IsMenu(menu) || !IsWindow(owner)) return FALSE;
    MenuTracker t(owner, menu, false, false, flags);
    t.Begin();
    if (!t.OpenRoot(at, flags, exclude)) t.done_ = true;
    t.Run();
    t.Finish();
    if (flags & TPM_RETURNCMD) return t.hasChoice_ ? static_cast<BOOL>(t.chosen_) : 0;
    return TRUE;
}

LRESULT MenuTracker::Notify(UINT message, WPARAM wParam, LPARAM lParam) {
    if ((flags_ & TPM_NONOTIFY) || !IsWindow(owner_)) return 0;
    return SendMessageA(owner_, message, wParam, lParam);
}

void MenuTracker::Begin() {
    tActive = this;
    SendMessageA(owner_, WM_ENTERMENULOOP, bar_ ? FALSE : TRUE, 0);
    Notify(WM_INITMENU, reinterpret_cast<WPARAM>(levels_[0].menu), 0);
}

void MenuTracker::Run() {
    if (done_ || !IsWindow(owner_)) return;
    SetCapture(owner_);
    const PointerGrab grab(owner_);
    ModalLoop::Run([this] { return Idle(); }, [this](MSG& msg) { return Filter(msg); });
}

void MenuTracker::Finish() {
    CloseFrom(bar_ ? 1 : 0);
    if (bar_) {
        SetBarSelection(levels_[0].menu, -1);
        if (IsWindow(owner_)) MenuBar::Redraw(owner_);
    }
    if (GetCapture() == owner_) ReleaseCapture();
    Notify(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    if (IsWindow(owner_)) SendMessageA(owner_, WM_EXITMENULOOP, bar_ ? FALSE : TRUE, 0);
    tActive = nullptr;
    if (!hasChoice_ || (flags_ & TPM_RETURNCMD) || !IsWindow(owner_)) return;
    if (system_)
        PostMessageA(owner_, WM_SYSCOMMAND, chosen_,
                     choiceByMouse_ ? MAKELPARAM(choicePoint_.x, choicePoint_.y) : 0);
    else
        PostMessageA(owner_, WM_COMMAND, MAKEWPARAM(static_cast<int>(chosen_), 0), 0);
}

// The loop's condition; when nothing is waiting, the owner hears once that the menu is idle.
bool MenuTracker::Idle() {
    if (done_ || !IsWindow(owner_)) return true;
    MSG next;
    if (!idleSent_ && !PeekMessageA(&next, nullptr, 0, 0, PM_NOREMOVE)) {
        idleSent_ = true;
        const HWND shown = levels_.back().window ? levels_.back().window : owner_;
        SendMessageA(owner_, WM_ENTERIDLE, MSGF_MENU, reinterpret_cast<LPARAM>(shown));
    }
    return done_ || !IsWindow(owner_);
}

bool MenuTracker::Filter(MSG& msg) {
    idleSent_ = false;
    const UINT m = msg.message;
    if (IsMouseMessage(m)) {
        OnMouse(m, msg.pt);
        return true;
    }
    switch (m) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            switch (static_cast<int>(msg.wParam)) {
                case VK_ESCAPE:
                case VK_MENU:
                case VK_F10:
                case VK_LEFT:
                case VK_RIGHT:
                case VK_UP:
                case VK_DOWN:
                case VK_RETURN:
                case VK_HOME:
                case VK_END:
                    OnKey(static_cast<int>(msg.wParam));
                    break;
                default:
                    TranslateMessage(&msg);  // its character comes next
                    break;
            }
            return true;
        case WM_CHAR:
        case WM_SYSCHAR:
            OnChar(static_cast<UINT>(msg.wParam));
            return true;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            return true;
        default:
            return false;
    }
}

MenuTracker::Hit MenuTracker::HitTest(POINT screen) const {
    for (int level = Deepest(); level >= 0; --level) {
        const Level& l = levels_[static_cast<std::size_t>(level)];
        if (IsBar(level)) {
            const int position = MenuBar::ItemAt(owner_, l.menu, screen);
            if (position >= 0) return Hit{level, position, true};
            if (MenuBarHost::HitTest(owner_, MAKELPARAM(screen.x, screen.y), HTNOWHERE) == HTMENU)
                return Hit{level, -1, true};
            continue;
        }
        bool inside = false;
        const int position = PopupMenuWindow::ItemAt(l.window, screen, &inside);
        if (inside) return Hit{level, position, true};
    }
    return Hit{};
}

void MenuTracker::OnMouse(UINT message, POINT screen) {
    const Hit hit = HitTest(screen);
    const bool down = message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN ||
                      message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK || message == WM_NCLBUTTONDOWN ||
                      message == WM_NCRBUTTONDOWN || message == WM_NCLBUTTONDBLCLK;
    const bool up = message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_NCLBUTTONUP ||
                    message == WM_NCRBUTTONUP;
    const bool right = message == WM_RBUTTONUP || message == WM_NCRBUTTONUP;
    const bool move = message == WM_MOUSEMOVE || message == WM_NCMOUSEMOVE;
    if (down && !hit.inside) {
        done_ = true;  // a click off the menus closes them
        return;
    }
    if (hit.level < 0 || hit.position < 0) return;
    Level& level = levels_[static_cast<std::size_t>(hit.level)];
    if (IsBar(hit.level)) {
        if (down && hit.position == level.selected && Deepest() >= 1) {
            done_ = true;  // a press on the open item closes its menu
            return;
        }
        if (hit.position == level.selected || !(down || move)) return;
        const bool follow = down || Deepest() >= 1;
        CloseFrom(1);
        Select(0, hit.position, true);
        if (follow) OpenPopup(0, false);
        return;
    }
    if (move || down) {
        // Over the item whose submenu is open, that submenu stays.
        if (hit.level < Deepest() && level.selected == hit.position) return;
        CloseFrom(hit.level + 1);
        Select(hit.level, hit.position, true);
        const auto item = ItemOf(level.menu, hit.position);
        if (item && item->subMenu) OpenPopup(hit.level, false);
        return;
    }
    if (up && (!right || bar_ || (flags_ & TPM_RIGHTBUTTON))) {
        const auto item = ItemOf(level.menu, hit.position);
        if (item && !item->subMenu) {
            choicePoint_ = screen;
            Execute(hit.level, hit.position, true);
        }
    }
}

void MenuTracker::OnKey(int vk) {
    const int deepest = Deepest();
    const bool onBar = IsBar(deepest);
    const int selected = levels_[static_cast<std::size_t>(deepest)].selected;
    switch (vk) {
        case VK_ESCAPE:
            // One level back; from the bar or the first popup, out.
            if (onBar || deepest == 0)
                done_ = true;
            else
                CloseFrom(deepest);
            return;
        case VK_MENU:
        case VK_F10:
            done_ = true;
            return;
        case VK_UP:
        case VK_DOWN:
            if (onBar) {
                if (OpenPopup(0, false)) Step(1, vk == VK_DOWN ? 1 : -1);
            } else {
                Step(deepest, vk == VK_DOWN ? 1 : -1);
            }
            return;
        case VK_HOME:
        case VK_END:
            if (!onBar) {
                Select(deepest, -1, false);
                Step(deepest, vk == VK_HOME ? 1 : -1);
            }
            return;
        case VK_LEFT:
            if (onBar || (bar_ && deepest == 1))
                MoveOnBar(-1);
            else if (deepest >= 1)
                CloseFrom(deepest);
            return;
        case VK_RIGHT:
            if (!onBar) {
                const auto item = ItemOf(levels_[static_cast<std::size_t>(deepest)].menu, selected);
                if (item && item->subMenu && !item->IsDisabled()) {
                    OpenPopup(deepest, true);
                    return;
                }
            }
            if (bar_) MoveOnBar(1);
            return;
        case VK_RETURN:
            if (selected >= 0) Execute(deepest, selected, false);
            return;
        default:
            return;
    }
}

void MenuTracker::OnChar(UINT ch) {
    const int deepest = Deepest();
    Level& level = levels_[static_cast<std::size_t>(deepest)];
    const std::vector<MenuItem> items = ItemsOf(level.menu);
    std::vector<int> matches;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (!items[i].IsOwnerDrawn() && !items[i].IsSeparator() && !(items[i].type & MFT_BITMAP) &&
            HasMnemonic(items[i].text, ch))
            matches.push_back(static_cast<int>(i));
    if (matches.size() == 1) {
        Select(deepest, matches[0], false);
        Execute(deepest, matches[0], false);
        return;
    }
    if (matches.size() > 1) {
        // Several items share it: each press moves to the next, none runs.
        int next = matches[0];
        for (int m : matches)
            if (m > level.selected) {
                next = m;
                break;
            }
        Select(deepest, next, false);
        return;
    }
    const UINT kind = (IsBar(deepest) ? 0 : MF_POPUP) | (system_ ? MF_SYSMENU : 0);
    const LRESULT answer =
        Notify(WM_MENUCHAR, MAKEWPARAM(static_cast<int>(ch & 0xFFFF), static_cast<int>(kind)),
               reinterpret_cast<LPARAM>(level.menu));
    const int position = LOWORD(static_cast<std::uintptr_t>(answer));
    const bool valid = position < static_cast<int>(items.size());
    switch (HIWORD(static_cast<std::uintptr_t>(answer))) {
        case MNC_EXECUTE:
            if (!valid) break;
            Select(deepest, position, false);
            Execute(deepest, position, false);
            return;
        case MNC_SELECT:
            if (valid) Select(deepest, position, false);
            return;
        case MNC_CLOSE:
            done_ = true;
            return;
        default:
            break;
    }
    MessageBeep(0);
}

void MenuTracker::Select(int levelIndex, int position, bool byMouse) {
    Level& level = levels_[static_cast<std::size_t>(levelIndex)];
    if (level.selected == position) return;
    level.selected = position;
    if (IsBar(levelIndex)) {
        SetBarSelection(level.menu, position);
        MenuBar::Redraw(owner_);
    } else {
        PopupMenuWindow::Select(level.window, position);
    }
    const auto item = ItemOf(level.menu, position);
    if (!item) return;
    UINT flags = (item->type | item->state | MF_HILITE) & 0xFFFF;
    if (item->subMenu) flags |= MF_POPUP;
    if (byMouse) flags |= MF_MOUSESELECT;
    if (system_) flags |= MF_SYSMENU;
    const int id = item->subMenu ? position : static_cast<int>(item->id & 0xFFFF);
    Notify(WM_MENUSELECT, MAKEWPARAM(id, static_cast<int>(flags)), reinterpret_cast<LPARAM>(level.menu));
}

void MenuTracker::Step(int levelIndex, int direction) {
    if (levelIndex > Deepest()) return;
    const Level& level = levels_[static_cast<std::size_t>(levelIndex)];
    const std::vector<MenuItem> items = ItemsOf(level.menu);
    const int count = static_cast<int>(items.size());
    if (count == 0) return;
    int position = level.selected;
    if (position < 0) position = direction > 0 ? -1 : count;
    for (int tries = 0; tries < count; ++tries) {
        position = ((position + direction) % count + count) % count;
        if (!items[static_cast<std::size_t>(position)].IsSeparator()) {
            Select(levelIndex, position, false);
            return;
        }
    }
}

void MenuTracker::MoveOnBar(int direction) {
    const bool wasOpen = Deepest() >= 1;
    CloseFrom(1);
    Step(0, direction);
    if (wasOpen) OpenPopup(0, true);
}

bool MenuTracker::OpenRoot(POINT at, UINT flags, const RECT* exclude) {
    const HMENU menu = levels_[0].menu;
    Notify(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, system_ ? TRUE : FALSE));
    if (done_ || !IsMenu(menu) || !IsWindow(owner_)) return false;
    const SIZE content = MenuLayout::LayoutPopup(owner_, menu);
    levels_[0].window = PopupMenuWindow::OpenAt(owner_, menu, content, at, flags, exclude);
    return levels_[0].window != nullptr;
}

bool MenuTracker::OpenPopup(int levelIndex, bool selectFirst) {
    const Level parent = levels_[static_cast<std::size_t>(levelIndex)];
    const auto item = ItemOf(parent.menu, parent.selected);
    if (!item || !item->subMenu || item->IsDisabled()) return false;
    CloseFrom(levelIndex + 1);
    const HMENU sub = item->subMenu;
    Notify(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(sub), MAKELPARAM(parent.selected, FALSE));
    if (done_ || !IsMenu(sub) || !IsWindow(owner_)) return false;
    const SIZE content = MenuLayout::LayoutPopup(owner_, sub);
    RECT anchor;
    const bool below = IsBar(levelIndex);
    if (below) {
        if (!MenuBar::ItemScreenRect(owner_, parent.menu, parent.selected, &anchor)) return false;
    } else {
        RECT whole;
        if (!PopupMenuWindow::ItemScreenRect(parent.window, parent.selected, &anchor) ||
            !GetWindowRect(parent.window, &whole))
            return false;
        anchor.left = whole.left;
        anchor.right = whole.right;
    }
    const HWND window = PopupMenuWindow::Open(owner_, sub, content, anchor, below);
    if (!window) return false;
    levels_.push_back(Level{sub, window, -1});
    if (below) MenuBar::Redraw(owner_);
    if (selectFirst) Step(levelIndex + 1, 1);
    return true;
}

void MenuTracker::CloseFrom(int levelIndex) {
    const bool closedBarPopup = bar_ && levelIndex <= 1 && Deepest() >= 1;
    while (Deepest() >= levelIndex && Deepest() >= 0) {
        const Level level = levels_.back();
        if (IsBar(Deepest())) break;  // the bar itself stays
        levels_.pop_back();
        if (level.window) PopupMenuWindow::Close(level.window);
        const bool systemRoot = system_ && levels_.empty();
        Notify(WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(level.menu), MAKELPARAM(0, systemRoot ? MF_SYSMENU : 0));
        if (levels_.empty()) break;
    }
    if (closedBarPopup && IsWindow(owner_)) MenuBar::Redraw(owner_);
}

void MenuTracker::Execute(int levelIndex, int position, bool byMouse) {
    const auto item = ItemOf(levels_[static_cast<std::size_t>(levelIndex)].menu, position);
    if (!item || item->IsSeparator()) return;
    if (item->subMenu) {
        Select(levelIndex, position, byMouse);
        if (Deepest() > levelIndex && levels_[static_cast<std::size_t>(levelIndex + 1)].menu == item->subMenu) {
            Step(levelIndex + 1, 1);
            return;
        }
        OpenPopup(levelIndex, true);
        return;
    }
    if (item->IsDisabled()) return;  // greyed: nothing runs, the menu stays
    chosen_ = item->id;
    hasChoice_ = true;
    choiceByMouse_ = byMouse;
    done_ = true;
}
