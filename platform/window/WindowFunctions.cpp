// Classes, creation and destruction, geometry, tree, text, styles and properties.

#include <algorithm>
#include <cstring>

#include "platform/drivers/DisplayDriver.h"
#include "platform/graphics/Rects.h"
#include "platform/kernel/LastError.h"
#include "platform/window/MessageDelivery.h"
#include "platform/window/WindowManager.h"
#include "platform/window/Windows.h"

namespace {

constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);

WindowManager& Manager() { return WindowManager::Instance(); }

std::shared_ptr<Window> Checked(HWND hwnd) {
    auto w = Manager().Find(hwnd);
    if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return w;
}

std::string NameOf(LPCSTR name) {
    if (IS_INTRESOURCE(name)) return Manager().AtomName(static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(name)));
    return name;
}

// A window's area in its top-level's coordinates.
Region AreaInTop(Window* w) {
    const POINT o = WindowManager::WindowOffset(w);
    return Region(RECT{o.x, o.y, o.x + w->Width(), o.y + w->Height()});
}

// The non-client thickness the window procedure asks for.
void ComputeInsets(HWND hwnd, Window* w) {
    RECT r = w->rect;
    SendMessageA(hwnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&r));
    std::lock_guard guard(Manager().Lock());
    w->insets = RECT{std::max<LONG>(0, r.left - w->rect.left), std::max<LONG>(0, r.top - w->rect.top),
                     std::max<LONG>(0, w->rect.right - r.right), std::max<LONG>(0, w->rect.bottom - r.bottom)};
}

void DestroyTree(const std::shared_ptr<Window>& w) {
    SendMessageA(w->handle, WM_DESTROY, 0, 0);
    std::vector<std::shared_ptr<Window>> children;
    {
        std::lock_guard guard(Manager().Lock());
        for (Window* c : w->children)
            if (auto child = Manager().Find(c->handle)) children.push_back(child);
    }
    for (auto& child : children) {
        child->destroying = true;
        DestroyTree(child);
    }
    SendMessageA(w->handle, WM_NCDESTROY, 0, 0);
    // What is still queued for it goes; who sent to it gets 0.
    std::vector<std::shared_ptr<SentMessage>> unanswered;
    {
        std::lock_guard guard(Manager().Lock());
        unanswered = w->thread->Forget(w->handle);
    }
    for (auto& m : unanswered) m->Answer(0);
    const bool top = w->IsTopLevel();
    Manager().Remove(*w);
    if (top) Manager().Driver().Destroy(w->handle);
}

}  // namespace

ATOM RegisterClassA(const WNDCLASSA* cls) {
    if (!cls || !cls->lpszClassName || !cls->lpfnWndProc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WindowClass c{cls->lpszClassName, cls->style, cls->lpfnWndProc, cls->hCursor, cls->hbrBackground};
    if (!Manager().AddClass(c)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    return Manager().AddAtom(cls->lpszClassName);
}

BOOL UnregisterClassA(LPCSTR name, HINSTANCE) { return name && Manager().RemoveClass(NameOf(name)) ? TRUE : FALSE; }

BOOL GetClassInfoA(HINSTANCE, LPCSTR name, WNDCLASSA* cls) {
    const WindowClass* c = name ? Manager().FindClass(NameOf(name)) : nullptr;
    if (!c || !cls) return FALSE;
    *cls = WNDCLASSA{};
    cls->style = c->style;
    cls->lpfnWndProc = c->proc;
    cls->hCursor = c->cursor;
    cls->hbrBackground = c->background;
    cls->lpszClassName = c->name.c_str();
    return TRUE;
}

int GetClassNameA(HWND hwnd, char* name, int size) {
    auto w = Checked(hwnd);
    if (!w || !name || size <= 0) return 0;
    std::lock_guard guard(Manager().Lock());
    const int n = std::min<int>(size - 1, static_cast<int>(w->className.size()));
    std::memcpy(name, w->className.data(), static_cast<std::size_t>(n));
    name[n] = '\0';
    return n;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y, int width, int height,
                     HWND parent, HMENU menuOrId, HINSTANCE instance, LPVOID param) {
    const WindowClass* cls = className ? Manager().FindClass(NameOf(className)) : nullptr;
    if (!cls) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    const WindowClass classCopy = *cls;
    std::shared_ptr<Window> parentWindow;
    if (parent) {
        parentWindow = Checked(parent);
        if (!parentWindow) return nullptr;
    }
    const bool child = style & WS_CHILD;
    if (child && !parentWindow) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (x == CW_USEDEFAULT) x = y = 100;
    if (width == CW_USEDEFAULT) {
        width = 800;
        height = 600;
    }
    auto w = Manager().Create(classCopy, exStyle, style & ~WS_VISIBLE, child ? parentWindow.get() : nullptr);
    const HWND hwnd = w->handle;
    {
        std::lock_guard guard(Manager().Lock());
        w->rect = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
        w->owner = child ? nullptr : parent;
        w->id = child ? reinterpret_cast<std::intptr_t>(menuOrId) : 0;
        w->menu = child ? nullptr : menuOrId;
        w->text = title ? title : "";
        if (!child) w->surface = std::make_shared<Surface>(w->Width(), w->Height());
    }
    CREATESTRUCTA cs{param, instance,  menuOrId, parent, height, width, y, x, static_cast<LONG>(style),
                     title, className, exStyle};
    if (!SendMessageA(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    ComputeInsets(hwnd, w.get());
    if (!child) Manager().Driver().Create(hwnd, w->rect, (style & WS_POPUP) && !(style & WS_CAPTION), w->text);
    if (SendMessageA(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (!IsWindow(hwnd)) return nullptr;  // destroyed while being created
    const RECT client = w->ClientRect();
    SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(w->rect.left + w->insets.left, w->rect.top + w->insets.top));
    if (style & WS_VISIBLE) ShowWindow(hwnd, (style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : SW_SHOW);
    return hwnd;
}

BOOL DestroyWindow(HWND hwnd) {
    auto w = Checked(hwnd);
    if (!w) return FALSE;
    if (w->thread != &ThreadQueue::Current()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (w->destroying) return TRUE;
    w->destroying = true;
    // Owned windows go first.
    std::vector<HWND> owned;
    {
        std::lock_guard guard(Manager().Lock());
        for (Window* top : Manager().TopLevels())
            if (top->owner == hwnd) owned.push_back(top->handle);
    }
    for (HWND o : owned) DestroyWindow(o);
    if (w->Visible()) ShowWindow(hwnd, SW_HIDE);
    HWND focus, capture;
    {
        std::lock_guard guard(Manager().Lock());
        focus = Manager().focus;
        capture = Manager().capture;
    }
    if (focus && (focus == hwnd || IsChild(hwnd, focus))) SetFocus(nullptr);
    if (capture && (capture == hwnd || IsChild(hwnd, capture))) ReleaseCapture();
    DestroyTree(w);
    return TRUE;
}

BOOL IsWindow(HWND hwnd) { return Manager().Find(hwnd) ? TRUE : FALSE; }

BOOL ShowWindow(HWND hwnd, int command) {
    auto w = Checked(hwnd);
    if (!w) return FALSE;
    // Windows change on the thread that owns them, where their surface is drawn.
    if (w->thread != &ThreadQueue::Current()) return SendMessageA(hwnd, kWmRunShowWindow, command, 0) ? TRUE : FALSE;
    const bool wasVisible = w->Visible();
    if (command == SW_HIDE) {
        if (!wasVisible) return FALSE;
        SendMessageA(hwnd, WM_SHOWWINDOW, FALSE, 0);
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        // The keyboard and the activation leave what is hidden.
        const HWND focus = GetFocus();
        const HWND parent = GetAncestor(hwnd, GA_PARENT);
        if (focus && (focus == hwnd || IsChild(hwnd, focus))) SetFocus(parent);
        if (!parent && GetActiveWindow() == hwnd) SetActiveWindow(w->owner);
        return TRUE;
    }
    if (!wasVisible) SendMessageA(hwnd, WM_SHOWWINDOW, TRUE, 0);
    UINT flags = SWP_SHOWWINDOW | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE;
    RECT r = w->rect;
    const bool maximize = w->IsTopLevel() && (command == SW_SHOWMAXIMIZED || command == SW_MAXIMIZE);
    const bool restore = command == SW_RESTORE || command == SW_SHOWNORMAL;
    if (maximize || (restore && w->maximized)) {
        std::lock_guard guard(Manager().Lock());
        if (maximize && !w->maximized) {
            const SIZE screen = Manager().Driver().ScreenSize();
            w->restored = w->rect;
            r = RECT{0, 0, screen.cx, screen.cy};
            w->maximized = true;
            w->style |= WS_MAXIMIZE;
        } else if (restore) {
            r = w->restored;
            w->maximized = false;
            w->style &= ~WS_MAXIMIZE;
        }
        flags &= ~(SWP_NOMOVE | SWP_NOSIZE);
    }
    const bool activate = command != SW_SHOWNA && command != SW_SHOWNOACTIVATE && command != SW_SHOWMINNOACTIVE;
    if (!activate) flags |= SWP_NOACTIVATE;
    SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, flags);
    if (w->IsTopLevel()) {
        Manager().Driver().Show(hwnd, true, w->maximized);
        if (activate) SetActiveWindow(hwnd);
    }
    return wasVisible ? TRUE : FALSE;
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    auto w = Checked(hwnd);
    if (!w) return FALSE;
    WINDOWPOS pos{hwnd, insertAfter, x, y, width, height, flags & ~kSwpFromDriver};
    if (w->thread != &ThreadQueue::Current())
        return SendMessageA(hwnd, kWmRunSetWindowPos, 0, reinterpret_cast<LPARAM>(&pos)) ? TRUE : FALSE;
    {
        std::lock_guard guard(Manager().Lock());
        if (flags & SWP_NOMOVE) {
            pos.x = w->rect.left;
            pos.y = w->rect.top;
        }
        if (flags & SWP_NOSIZE) {
            pos.cx = w->Width();
            pos.cy = w->Height();
        }
    }
    SendMessageA(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    Window* top;
    Region before, after;
    bool sized, moved, shownChange;
    {
        std::lock_guard guard(Manager().Lock());
        top = WindowManager::TopLevelOf(w.get());
        const bool wasShown = Manager().IsShown(w.get());
        if (wasShown) before = AreaInTop(w.get());
        sized = pos.cx != w->Width() || pos.cy != w->Height();
        moved = pos.x != w->rect.left || pos.y != w->rect.top;
        w->rect = RECT{pos.x, pos.y, pos.x + std::max(pos.cx, 0), pos.y + std::max(pos.cy, 0)};
        if (!(pos.flags & SWP_NOZORDER)) {
            if (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST) {
                Manager().Raise(*w);
            } else if (insertAfter == HWND_BOTTOM) {
                auto& siblings =
                    w->parent ? w->parent->children : const_cast<std::vector<Window*>&>(Manager().TopLevels());
                Manager().PlaceAfter(*w, siblings.empty() ? nullptr : siblings.back());
            } else if (auto after = Manager().Find(insertAfter); after && after->parent == w->parent) {
                Manager().PlaceAfter(*w, after.get());
            }
        }
        if (pos.flags & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
        if (pos.flags & SWP_HIDEWINDOW) w->style &= ~WS_VISIBLE;
        shownChange = wasShown != Manager().IsShown(w.get());
        if (w->surface && sized) w->surface->Resize(w->Width(), w->Height());
    }
    if (sized || (pos.flags & SWP_FRAMECHANGED)) ComputeInsets(hwnd, w.get());
    if (w->IsTopLevel()) {
        if (pos.flags & SWP_HIDEWINDOW) Manager().Driver().Show(hwnd, false, false);
        if ((sized || moved) && !(flags & kSwpFromDriver)) Manager().Driver().Move(hwnd, w->rect);
    }
    {
        std::lock_guard guard(Manager().Lock());
        if (Manager().IsShown(w.get())) after = AreaInTop(w.get());
        // A top-level window that only moved keeps its pixels; anything else is drawn again where
        // it was and where it is.
        const bool redraw =
            !(pos.flags & SWP_NOREDRAW) && (sized || shownChange || (moved && !w->IsTopLevel()) ||
                                            (pos.flags & SWP_FRAMECHANGED) || !(pos.flags & SWP_NOZORDER));
        if (redraw && top) {
            Region area = before;
            area.Add(after);
            if (w->IsTopLevel() && Manager().IsShown(w.get())) area = AreaInTop(w.get());
            Manager().InvalidateArea(top, area, true);
        }
    }
    // What did not change is not announced.
    if (!moved) pos.flags |= SWP_NOMOVE;
    if (!sized) pos.flags |= SWP_NOSIZE;
    SendMessageA(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
    return SetWindowPos(hwnd, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND hwnd) { return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

BOOL GetWindowRect(HWND hwnd, RECT* r) {
    auto w = Checked(hwnd);
    if (!w || !r) return FALSE;
    std::lock_guard guard(Manager().Lock());
    const POINT o = WindowManager::WindowOffset(w.get());
    const Window* top = WindowManager::TopLevelOf(w.get());
    *r = RECT{top->rect.left + o.x, top->rect.top + o.y, top->rect.left + o.x + w->Width(),
              top->rect.top + o.y + w->Height()};
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* r) {
    auto w = Checked(hwnd);
    if (!w || !r) return FALSE;
    std::lock_guard guard(Manager().Lock());
    *r = w->ClientRect();
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* p) {
    auto w = Checked(hwnd);
    if (!w || !p) return FALSE;
    std::lock_guard guard(Manager().Lock());
    const POINT o = WindowManager::ScreenOfClient(w.get());
    p->x += o.x;
    p->y += o.y;
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* p) {
    auto w = Checked(hwnd);
    if (!w || !p) return FALSE;
    std::lock_guard guard(Manager().Lock());
    const POINT o = WindowManager::ScreenOfClient(w.get());
    p->x -= o.x;
    p->y -= o.y;
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
    POINT a{0, 0}, b{0, 0};
    if (from && !ClientToScreen(from, &a)) return 0;
    if (to && !ClientToScreen(to, &b)) return 0;
    const int dx = a.x - b.x, dy = a.y - b.y;
    for (UINT i = 0; points && i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    return MAKELPARAM(dx, dy);
}

HWND GetParent(HWND hwnd) {
    auto w = Checked(hwnd);
    if (!w) return nullptr;
    std::lock_guard guard(Manager().Lock());
    if (w->parent) return w->parent->handle;
    return (w->style & WS_POPUP) ? w->owner : nullptr;
}

HWND SetParent(HWND hwnd, HWND parent) {
    auto w = Checked(hwnd);
    auto p = parent ? Checked(parent) : nullptr;
    if (!w || (parent && !p) || w->IsTopLevel() || !p) return nullptr;
    HWND old;
    Region area;
    Window* top;
    {
        std::lock_guard guard(Manager().Lock());
        old = w->parent->handle;
        top = WindowManager::TopLevelOf(w.get());
        if (Manager().IsShown(w.get())) area = AreaInTop(w.get());
        auto& siblings = w->parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), w.get()), siblings.end());
        w->parent = p.get();
        p->children.insert(p->children.begin(), w.get());
        Manager().InvalidateArea(top, area, true);
        if (Manager().IsShown(w.get()))
            Manager().InvalidateArea(WindowManager::TopLevelOf(w.get()), AreaInTop(w.get()), true);
    }
    return old;
}

HWND GetAncestor(HWND hwnd, UINT flags) {
    auto w = Checked(hwnd);
    if (!w) return nullptr;
    std::lock_guard guard(Manager().Lock());
    if (flags == GA_PARENT) return w->parent ? w->parent->handle : nullptr;
    return WindowManager::TopLevelOf(w.get())->handle;
}

HWND GetWindow(HWND hwnd, UINT command) {
    auto w = Checked(hwnd);
    if (!w) return nullptr;
    std::lock_guard guard(Manager().Lock());
    if (command == GW_CHILD) return w->children.empty() ? nullptr : w->children.front()->handle;
    if (command == GW_OWNER) return w->owner;
    const std::vector<Window*>& siblings = w->parent ? w->parent->children : Manager().TopLevels();
    auto it = std::find(siblings.begin(), siblings.end(), w.get());
    switch (command) {
        case GW_HWNDFIRST:
            return siblings.front()->handle;
        case GW_HWNDLAST:
            return siblings.back()->handle;
        case GW_HWNDNEXT:
            return it + 1 < siblings.end() ? (*(it + 1))->handle : nullptr;
        case GW_HWNDPREV:
            return it > siblings.begin() ? (*(it - 1))->handle : nullptr;
        default:
            return nullptr;
    }
}

BOOL IsChild(HWND parent, HWND hwnd) {
    auto w = Manager().Find(hwnd);
    if (!w) return FALSE;
    std::lock_guard guard(Manager().Lock());
    for (Window* p = w->parent; p; p = p->parent)
        if (p->handle == parent) return TRUE;
    return FALSE;
}

HWND GetDlgItem(HWND parent, int id) {
    auto w = Checked(parent);
    if (!w) return nullptr;
    std::lock_guard guard(Manager().Lock());
    for (Window* c : w->children)
        if (c->id == id) return c->handle;
    return nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
    auto w = Checked(hwnd);
    if (!w) return 0;
    std::lock_guard guard(Manager().Lock());
    return static_cast<int>(w->id);
}

std::intptr_t GetWindowLongPtrA(HWND hwnd, int index) {
    auto w = Checked(hwnd);
    if (!w) return 0;
    std::lock_guard guard(Manager().Lock());
    switch (index) {
        case GWLP_WNDPROC:
            return reinterpret_cast<std::intptr_t>(w->proc);
        case GWL_STYLE:
            return w->style;
        case GWL_EXSTYLE:
            return w->exStyle;
        case GWLP_ID:
            return w->id;
        case GWLP_USERDATA:
            return w->userData;
        case GWLP_HWNDPARENT:
            return reinterpret_cast<std::intptr_t>(w->parent ? w->parent->handle : w->owner);
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
    }
}

std::intptr_t SetWindowLongPtrA(HWND hwnd, int index, std::intptr_t value) {
    auto w = Checked(hwnd);
    if (!w) return 0;
    std::lock_guard guard(Manager().Lock());
    std::intptr_t old = 0;
    switch (index) {
        case GWLP_WNDPROC:
            old = reinterpret_cast<std::intptr_t>(w->proc);
            w->proc = reinterpret_cast<WNDPROC>(value);
            break;
        case GWL_STYLE:
            old = w->style;
            w->style = static_cast<DWORD>(value);
            break;
        case GWL_EXSTYLE:
            old = w->exStyle;
            w->exStyle = static_cast<DWORD>(value);
            break;
        case GWLP_ID:
            old = w->id;
            w->id = value;
            break;
        case GWLP_USERDATA:
            old = w->userData;
            w->userData = value;
            break;
        case GWLP_HWNDPARENT:
            old = reinterpret_cast<std::intptr_t>(w->owner);
            if (!w->parent) w->owner = reinterpret_cast<HWND>(value);
            break;
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
    }
    return old;
}

BOOL SetWindowTextA(HWND hwnd, LPCSTR text) {
    if (!Checked(hwnd)) return FALSE;
    return SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) ? TRUE : FALSE;
}

int GetWindowTextA(HWND hwnd, char* text, int size) {
    if (!Checked(hwnd) || !text || size <= 0) return 0;
    return static_cast<int>(SendMessageA(hwnd, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(text)));
}

int GetWindowTextLengthA(HWND hwnd) {
    if (!Checked(hwnd)) return 0;
    return static_cast<int>(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL IsWindowVisible(HWND hwnd) {
    auto w = Manager().Find(hwnd);
    if (!w) return FALSE;
    std::lock_guard guard(Manager().Lock());
    return Manager().IsShown(w.get()) ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hwnd) {
    auto w = Manager().Find(hwnd);
    if (!w) return FALSE;
    std::lock_guard guard(Manager().Lock());
    return (w->style & WS_DISABLED) ? FALSE : TRUE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    auto w = Checked(hwnd);
    if (!w) return FALSE;
    bool wasDisabled;
    {
        std::lock_guard guard(Manager().Lock());
        wasDisabled = w->style & WS_DISABLED;
        if (enable)
            w->style &= ~WS_DISABLED;
        else
            w->style |= WS_DISABLED;
    }
    if (wasDisabled == !enable) return wasDisabled ? TRUE : FALSE;
    if (!enable) {
        const HWND focus = GetFocus();
        if (focus && (focus == hwnd || IsChild(hwnd, focus))) SetFocus(nullptr);
    }
    SendMessageA(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled ? TRUE : FALSE;
}

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM param) {
    auto w = Checked(parent);
    if (!w || !proc) return FALSE;
    std::vector<HWND> all;
    {
        std::lock_guard guard(Manager().Lock());
        std::vector<Window*> pending(w->children.rbegin(), w->children.rend());
        while (!pending.empty()) {
            Window* c = pending.back();
            pending.pop_back();
            all.push_back(c->handle);
            pending.insert(pending.end(), c->children.rbegin(), c->children.rend());
        }
    }
    for (HWND h : all)
        if (IsWindow(h) && !proc(h, param)) break;
    return TRUE;
}

HWND WindowFromPoint(POINT screen) {
    std::lock_guard guard(Manager().Lock());
    for (Window* top : Manager().TopLevels()) {
        if (!top->Visible() || !PtInRect(&top->rect, screen)) continue;
        return WindowManager::ChildAt(top, POINT{screen.x - top->rect.left, screen.y - top->rect.top})->handle;
    }
    return nullptr;
}

HWND ChildWindowFromPoint(HWND parent, POINT client) {
    auto w = Checked(parent);
    if (!w) return nullptr;
    std::lock_guard guard(Manager().Lock());
    const RECT inside = w->ClientRect();
    if (!PtInRect(&inside, client)) return nullptr;
    for (Window* c : w->children)
        if (PtInRect(&c->rect, client)) return c->handle;
    return parent;
}

HWND GetDesktopWindow() { return nullptr; }

BOOL SetPropA(HWND hwnd, LPCSTR name, HANDLE data) {
    auto w = Checked(hwnd);
    if (!w || !name) return FALSE;
    const std::string key = NameOf(name);
    std::lock_guard guard(Manager().Lock());
    w->props[key] = data;
    return TRUE;
}

HANDLE GetPropA(HWND hwnd, LPCSTR name) {
    auto w = Manager().Find(hwnd);
    if (!w || !name) return nullptr;
    const std::string key = NameOf(name);
    std::lock_guard guard(Manager().Lock());
    auto it = w->props.find(key);
    return it == w->props.end() ? nullptr : it->second;
}

HANDLE RemovePropA(HWND hwnd, LPCSTR name) {
    auto w = Manager().Find(hwnd);
    if (!w || !name) return nullptr;
    const std::string key = NameOf(name);
    std::lock_guard guard(Manager().Lock());
    auto it = w->props.find(key);
    if (it == w->props.end()) return nullptr;
    HANDLE data = it->second;
    w->props.erase(it);
    return data;
}

ATOM GlobalAddAtomA(LPCSTR name) { return name ? Manager().AddAtom(name) : 0; }

ATOM GlobalDeleteAtom(ATOM atom) { return Manager().DeleteAtom(atom) ? 0 : atom; }

ATOM GlobalFindAtomA(LPCSTR name) { return name ? Manager().FindAtom(name) : 0; }
