// Classes, creation and destruction, geometry, tree, text, styles and properties.

#include <algorithm>
#include <cstring>

#include "platform/graphics/Rects.h"
#include "platform/graphics/SystemColors.h"
#include "platform/kernel/LastError.h"
#include "platform/window/DisplayDriver.h"
#include "platform/window/LockedWindow.h"
#include "platform/window/MessageDelivery.h"
#include "platform/window/ThreadQueue.h"
#include "platform/window/WindowManager.h"
#include "platform/window/WindowPlacement.h"
#include "platform/window/Windows.h"

namespace {

constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);

WindowManager& Manager() { return WindowManager::Instance(); }

// The window of a handle, or null with ERROR_INVALID_WINDOW_HANDLE.
Window* Checked(HWND hwnd) REQUIRES(gWindowLock) {
    Window* w = Manager().Find(hwnd);
    if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return w;
}

// False, with ERROR_INVALID_WINDOW_HANDLE, when there is no such window.
bool Found(const LockedWindow& w) {
    if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return static_cast<bool>(w);
}

std::string NameOf(LPCSTR name) {
    if (IS_INTRESOURCE(name)) return Manager().AtomName(static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(name)));
    return name;
}

// A window's area in its top-level's coordinates.
Region AreaInTop(Window* w) REQUIRES(gWindowLock) {
    const POINT o = WindowManager::WindowOffset(w);
    return Region(RECT{o.x, o.y, o.x + w->Width(), o.y + w->Height()});
}

void DestroyTree(HWND hwnd) EXCLUDES(gWindowLock) {
    SendMessageA(hwnd, WM_DESTROY, 0, 0);
    std::vector<HWND> children;
    {
        LockedWindow w(hwnd);
        if (w)
            for (Window* c : w->children) {
                c->destroying = true;
                children.push_back(c->handle);
            }
    }
    for (HWND child : children)
        if (Manager().Exists(child)) DestroyTree(child);
    SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
    // What is still queued for it goes; who sent to it gets 0.
    std::vector<std::shared_ptr<SentMessage>> unanswered;
    bool top;
    {
        LockedWindow w(hwnd);
        if (!w) return;
        top = w->IsTopLevel();
        unanswered = w->thread->Forget(hwnd);
        Manager().Remove(*w);
    }
    for (auto& m : unanswered) m->Answer(0);
    if (top) Manager().Driver()->Destroy(hwnd);
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
    const auto c = name ? Manager().FindClass(NameOf(name)) : std::nullopt;
    if (!c || !cls) return FALSE;
    *cls = WNDCLASSA{};
    cls->style = c->style;
    cls->lpfnWndProc = c->proc;
    cls->hCursor = c->cursor;
    cls->hbrBackground = c->background;
    // The caller's own name (or atom): the table's copy may go with UnregisterClass.
    cls->lpszClassName = name;
    return TRUE;
}

int GetClassNameA(HWND hwnd, char* name, int size) {
    LockedWindow w(hwnd);
    if (!Found(w) || !name || size <= 0) return 0;
    const int n = std::min<int>(size - 1, static_cast<int>(w->className.size()));
    std::memcpy(name, w->className.data(), static_cast<std::size_t>(n));
    name[n] = '\0';
    return n;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y, int width, int height,
                     HWND parent, HMENU menuOrId, HINSTANCE instance, LPVOID param) {
    const auto cls = className ? Manager().FindClass(NameOf(className)) : std::nullopt;
    if (!cls) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    const bool child = style & WS_CHILD;
    if (x == CW_USEDEFAULT) x = y = 100;
    if (width == CW_USEDEFAULT) {
        width = 800;
        height = 600;
    }
    // A resource id in the name's place (a static's icon) is for the window procedure, not text.
    const std::string text = title && !IS_INTRESOURCE(title) ? title : "";
    ThreadQueue* thread = &ThreadQueue::Current();
    HWND hwnd;
    RECT rect;
    {
        Mutex::Guard guard(gWindowLock);
        Window* parentWindow = nullptr;
        if (parent && !(parentWindow = Checked(parent))) return nullptr;
        if (child && !parentWindow) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        Window* w = Manager().Create(*cls, exStyle, style & ~WS_VISIBLE, child ? parentWindow : nullptr, thread);
        w->rect = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
        w->owner = child ? nullptr : parent;
        w->id = child ? reinterpret_cast<std::intptr_t>(menuOrId) : 0;
        w->menu = child ? nullptr : menuOrId;
        w->text = text;
        if (!child) w->surface = std::make_shared<Surface>(w->Width(), w->Height());
        hwnd = w->handle;
        rect = w->rect;
    }
    CREATESTRUCTA cs{param, instance,  menuOrId, parent, height, width, y, x, static_cast<LONG>(style),
                     title, className, exStyle};
    if (!SendMessageA(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    WindowPlacement::ComputeInsets(hwnd);
    if (!child) Manager().Driver()->Create(hwnd, rect, (style & WS_POPUP) && !(style & WS_CAPTION), text);
    if (SendMessageA(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    RECT client;
    POINT origin;
    {
        LockedWindow w(hwnd);
        if (!w) return nullptr;  // destroyed while being created
        client = w->ClientRect();
        origin = POINT{w->rect.left + w->insets.left, w->rect.top + w->insets.top};
    }
    SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(origin.x, origin.y));
    if (style & WS_VISIBLE) ShowWindow(hwnd, (style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : SW_SHOW);
    return hwnd;
}

BOOL DestroyWindow(HWND hwnd) {
    ThreadQueue* self = &ThreadQueue::Current();
    bool visible;
    std::vector<HWND> owned;
    {
        LockedWindow w(hwnd);
        if (!Found(w)) return FALSE;
        if (w->thread != self) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        if (w->destroying) return TRUE;
        w->destroying = true;
        visible = w->Visible();
        for (Window* top : Manager().TopLevels())
            if (top->owner == hwnd) owned.push_back(top->handle);
    }
    // Owned windows go first.
    for (HWND o : owned) DestroyWindow(o);
    if (visible) ShowWindow(hwnd, SW_HIDE);
    HWND focus, capture;
    {
        Mutex::Guard guard(gWindowLock);
        focus = Manager().focus;
        capture = Manager().capture;
    }
    if (focus && (focus == hwnd || IsChild(hwnd, focus))) SetFocus(nullptr);
    if (capture && (capture == hwnd || IsChild(hwnd, capture))) ReleaseCapture();
    DestroyTree(hwnd);
    return TRUE;
}

BOOL IsWindow(HWND hwnd) { return Manager().Exists(hwnd) ? TRUE : FALSE; }

// Windows change on the thread that owns them, where their surface is drawn.
BOOL ShowWindow(HWND hwnd, int command) {
    return MessageDelivery::RunOnOwner(hwnd, [hwnd, command] { return WindowPlacement::Show(hwnd, command); }) ? TRUE
                                                                                                               : FALSE;
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    return MessageDelivery::RunOnOwner(
               hwnd, [=] { return WindowPlacement::Set(hwnd, insertAfter, x, y, width, height, flags, false); })
               ? TRUE
               : FALSE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
    return SetWindowPos(hwnd, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND hwnd) { return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

BOOL GetWindowRect(HWND hwnd, RECT* r) {
    LockedWindow w(hwnd);
    if (!Found(w) || !r) return FALSE;
    const POINT o = WindowManager::WindowOffset(w.Get());
    const Window* top = WindowManager::TopLevelOf(w.Get());
    *r = RECT{top->rect.left + o.x, top->rect.top + o.y, top->rect.left + o.x + w->Width(),
              top->rect.top + o.y + w->Height()};
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* r) {
    LockedWindow w(hwnd);
    if (!Found(w) || !r) return FALSE;
    *r = w->ClientRect();
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* p) {
    LockedWindow w(hwnd);
    if (!Found(w) || !p) return FALSE;
    const POINT o = WindowManager::ScreenOfClient(w.Get());
    p->x += o.x;
    p->y += o.y;
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* p) {
    LockedWindow w(hwnd);
    if (!Found(w) || !p) return FALSE;
    const POINT o = WindowManager::ScreenOfClient(w.Get());
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
    LockedWindow w(hwnd);
    if (!Found(w)) return nullptr;
    if (w->parent) return w->parent->handle;
    return (w->style & WS_POPUP) ? w->owner : nullptr;
}

HWND SetParent(HWND hwnd, HWND parent) {
    Mutex::Guard guard(gWindowLock);
    Window* w = Checked(hwnd);
    Window* p = parent ? Checked(parent) : nullptr;
    // A window cannot go under itself or one of its own children: the tree would become a loop.
    if (!w || !p || w->IsTopLevel() || p == w || WindowManager::IsAncestor(w, p)) return nullptr;
    const HWND old = w->parent->handle;
    Window* top = WindowManager::TopLevelOf(w);
    Region area;
    if (WindowManager::IsShown(w)) area = AreaInTop(w);
    auto& siblings = w->parent->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), w), siblings.end());
    w->parent = p;
    p->children.insert(p->children.begin(), w);
    Manager().InvalidateArea(top, area, true);
    if (WindowManager::IsShown(w)) Manager().InvalidateArea(WindowManager::TopLevelOf(w), AreaInTop(w), true);
    return old;
}

HWND GetAncestor(HWND hwnd, UINT flags) {
    LockedWindow w(hwnd);
    if (!Found(w)) return nullptr;
    if (flags == GA_PARENT) return w->parent ? w->parent->handle : nullptr;
    return WindowManager::TopLevelOf(w.Get())->handle;
}

HWND GetWindow(HWND hwnd, UINT command) {
    LockedWindow w(hwnd);
    if (!Found(w)) return nullptr;
    if (command == GW_CHILD) return w->children.empty() ? nullptr : w->children.front()->handle;
    if (command == GW_OWNER) return w->owner;
    const std::vector<Window*>& siblings = Manager().SiblingsOf(*w);
    auto it = std::find(siblings.begin(), siblings.end(), w.Get());
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
    LockedWindow w(hwnd);
    if (!w) return FALSE;
    for (Window* p = w->parent; p; p = p->parent)
        if (p->handle == parent) return TRUE;
    return FALSE;
}

HWND GetDlgItem(HWND parent, int id) {
    LockedWindow w(parent);
    if (!Found(w)) return nullptr;
    for (Window* c : w->children)
        if (c->id == id) return c->handle;
    return nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
    LockedWindow w(hwnd);
    if (!Found(w)) return 0;
    return static_cast<int>(w->id);
}

std::intptr_t GetWindowLongPtrA(HWND hwnd, int index) {
    LockedWindow w(hwnd);
    if (!Found(w)) return 0;
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
    LockedWindow w(hwnd);
    if (!Found(w)) return 0;
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
    if (!IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) ? TRUE : FALSE;
}

int GetWindowTextA(HWND hwnd, char* text, int size) {
    if (!IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (!text || size <= 0) return 0;
    return static_cast<int>(SendMessageA(hwnd, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(text)));
}

int GetWindowTextLengthA(HWND hwnd) {
    if (!IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return static_cast<int>(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL IsWindowVisible(HWND hwnd) {
    LockedWindow w(hwnd);
    return w && WindowManager::IsShown(w.Get()) ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hwnd) {
    LockedWindow w(hwnd);
    return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    bool wasDisabled;
    {
        LockedWindow w(hwnd);
        if (!Found(w)) return FALSE;
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
    std::vector<HWND> all;
    {
        LockedWindow w(parent);
        if (!Found(w) || !proc) return FALSE;
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
    Mutex::Guard guard(gWindowLock);
    for (Window* top : Manager().TopLevels()) {
        if (!top->Visible() || !PtInRect(&top->rect, screen)) continue;
        return WindowManager::ChildAt(top, POINT{screen.x - top->rect.left, screen.y - top->rect.top})->handle;
    }
    return nullptr;
}

HWND ChildWindowFromPoint(HWND parent, POINT client) {
    LockedWindow w(parent);
    if (!Found(w)) return nullptr;
    const RECT inside = w->ClientRect();
    if (!PtInRect(&inside, client)) return nullptr;
    for (Window* c : w->children)
        if (PtInRect(&c->rect, client)) return c->handle;
    return parent;
}

HWND GetDesktopWindow() { return nullptr; }

BOOL SetPropA(HWND hwnd, LPCSTR name, HANDLE data) {
    if (!name) return FALSE;
    const std::string key = NameOf(name);
    LockedWindow w(hwnd);
    if (!Found(w)) return FALSE;
    w->props[key] = data;
    return TRUE;
}

HANDLE GetPropA(HWND hwnd, LPCSTR name) {
    if (!name) return nullptr;
    const std::string key = NameOf(name);
    LockedWindow w(hwnd);
    if (!w) return nullptr;
    auto it = w->props.find(key);
    return it == w->props.end() ? nullptr : it->second;
}

HANDLE RemovePropA(HWND hwnd, LPCSTR name) {
    if (!name) return nullptr;
    const std::string key = NameOf(name);
    LockedWindow w(hwnd);
    if (!w) return nullptr;
    auto it = w->props.find(key);
    if (it == w->props.end()) return nullptr;
    HANDLE data = it->second;
    w->props.erase(it);
    return data;
}

ATOM GlobalAddAtomA(LPCSTR name) { return name ? Manager().AddAtom(name) : 0; }

ATOM GlobalDeleteAtom(ATOM atom) { return Manager().DeleteAtom(atom) ? 0 : atom; }

ATOM GlobalFindAtomA(LPCSTR name) { return name ? Manager().FindAtom(name) : 0; }
