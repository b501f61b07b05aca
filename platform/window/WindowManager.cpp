#include "platform/window/WindowManager.h"

#include <algorithm>
#include <cctype>

#include "platform/graphics/Rects.h"
#include "platform/graphics/SystemColors.h"
#include "platform/kernel/Immortal.h"
#include "platform/window/DisplayDriver.h"
#include "platform/window/NoDisplay.h"
#include "platform/window/Windows.h"

namespace {

std::string Folded(const std::string& s) {
    std::string out = s;
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

WindowManager& WindowManager::Instance() {
    static Immortal<WindowManager> manager;
    return *manager;
}

Window* WindowManager::Find(HWND hwnd) {
    auto it = windows_.find(hwnd);
    return it == windows_.end() ? nullptr : it->second.get();
}

bool WindowManager::Exists(HWND hwnd) {
    Mutex::Guard guard(gWindowLock);
    return Find(hwnd) != nullptr;
}

Window* WindowManager::Create(const WindowClass& cls, DWORD exStyle, DWORD style, Window* parent, ThreadQueue* thread) {
    nextHandle_ += 4;  // never reused: a stale handle finds nothing
    const HWND handle = reinterpret_cast<HWND>(nextHandle_);
    auto owned = std::make_unique<Window>(handle, cls, thread);
    Window* w = owned.get();
    w->style = style;
    w->exStyle = exStyle;
    w->parent = parent;
    if (parent)
        parent->children.insert(parent->children.begin(), w);
    else
        topLevels_.insert(topLevels_.begin(), w);
    windows_.emplace(handle, std::move(owned));
    return w;
}

void WindowManager::Remove(Window& w) {
    // Children left behind (made while their parent went) go too: none may keep a freed parent.
    while (!w.children.empty()) Remove(*w.children.front());
    auto& siblings = SiblingsOf(w);
    siblings.erase(std::remove(siblings.begin(), siblings.end(), &w), siblings.end());
    if (focus == w.handle) focus = nullptr;
    if (capture == w.handle) capture = nullptr;
    if (active == w.handle) active = nullptr;
    windows_.erase(w.handle);
}

std::vector<HWND> WindowManager::WindowsOfThread(ThreadQueue& thread) {
    Mutex::Guard guard(gWindowLock);
    std::vector<HWND> found;
    for (Window* top : topLevels_)
        if (top->thread == &thread) found.push_back(top->handle);
    for (auto& [handle, w] : windows_)
        if (w->thread == &thread && w->parent) found.push_back(handle);
    return found;
}

std::vector<Window*>& WindowManager::SiblingsOf(Window& w) { return w.parent ? w.parent->children : topLevels_; }

void WindowManager::Raise(Window& w) { PlaceAfter(w, nullptr); }

void WindowManager::PlaceAfter(Window& w, Window* after) {
    auto& siblings = SiblingsOf(w);
    siblings.erase(std::remove(siblings.begin(), siblings.end(), &w), siblings.end());
    auto at = after ? std::find(siblings.begin(), siblings.end(), after) : siblings.end();
    siblings.insert(at == siblings.end() ? (after ? siblings.end() : siblings.begin()) : at + 1, &w);
}

bool WindowManager::AddClass(const WindowClass& cls) {
    Mutex::Guard guard(gWindowLock);
    return classes_.emplace(Folded(cls.name), cls).second;
}

bool WindowManager::RemoveClass(const std::string& name) {
    Mutex::Guard guard(gWindowLock);
    return classes_.erase(Folded(name)) > 0;
}

std::optional<WindowClass> WindowManager::FindClass(const std::string& name) {
    Mutex::Guard guard(gWindowLock);
    auto it = classes_.find(Folded(name));
    if (it == classes_.end()) return std::nullopt;
    return it->second;
}

Window* WindowManager::TopLevelOf(Window* w) {
    while (w && w->parent) w = w->parent;
    return w;
}

POINT WindowManager::WindowOffset(Window* w) {
    POINT p{0, 0};
    for (; w && w->parent; w = w->parent) {
        p.x += w->rect.left + w->parent->insets.left;
        p.y += w->rect.top + w->parent->insets.top;
    }
    return p;
}

POINT WindowManager::ClientOffset(Window* w) {
    POINT p = WindowOffset(w);
    p.x += w->insets.left;
    p.y += w->insets.top;
    return p;
}

POINT WindowManager::ScreenOfClient(Window* w) {
    POINT p = ClientOffset(w);
    if (Window* top = TopLevelOf(w)) {
        p.x += top->rect.left;
        p.y += top->rect.top;
    }
    return p;
}

Region WindowManager::VisibleArea(Window* w, bool client) {
    const POINT whole = WindowOffset(w);
    Region area(RECT{whole.x, whole.y, whole.x + w->Width(), whole.y + w->Height()});
    if (client) {
        const POINT c = ClientOffset(w);
        const RECT inside = w->ClientRect();
        area.Intersect(RECT{c.x, c.y, c.x + inside.right, c.y + inside.bottom});
    }
    // Children cover their part of the client area.
    const POINT c = ClientOffset(w);
    for (Window* child : w->children) {
        if (!child->Visible()) continue;
        RECT r = child->rect;
        OffsetRect(&r, c.x, c.y);
        area.Subtract(r);
    }
    // Each level: inside the parent's client area, not under the siblings above.
    for (Window* level = w; level->parent; level = level->parent) {
        Window* parent = level->parent;
        const POINT pc = ClientOffset(parent);
        const RECT inside = parent->ClientRect();
        area.Intersect(RECT{pc.x, pc.y, pc.x + inside.right, pc.y + inside.bottom});
        for (Window* sibling : parent->children) {
            if (sibling == level) break;  // the rest lie below
            if (!sibling->Visible()) continue;
            RECT r = sibling->rect;
            OffsetRect(&r, pc.x, pc.y);
            area.Subtract(r);
        }
    }
    return area;
}

Window* WindowManager::ChildAt(Window* top, POINT inTop) {
    Window* hit = top;
    for (bool deeper = true; deeper;) {
        deeper = false;
        const POINT c = ClientOffset(hit);
        for (Window* child : hit->children) {
            if (!child->Visible()) continue;
            RECT r = child->rect;
            OffsetRect(&r, c.x, c.y);
            if (PtInRect(&r, inTop)) {
                hit = child;
                deeper = true;
                break;
            }
        }
    }
    return hit;
}

bool WindowManager::IsShown(Window* w) {
    for (; w; w = w->parent)
        if (!w->Visible()) return false;
    return true;
}

bool WindowManager::IsAncestor(Window* ancestor, Window* w) {
    for (Window* p = w ? w->parent : nullptr; p; p = p->parent)
        if (p == ancestor) return true;
    return false;
}

void WindowManager::InvalidateClient(Window* w, const Region& client, bool erase) {
    Region r = client;
    r.Intersect(w->ClientRect());
    if (r.IsEmpty()) return;
    w->invalid.Add(r);
    // Many small strips cost more to track than the area they cover.
    if (w->invalid.Rects().size() > 16) w->invalid.Set(w->invalid.Bounds());
    w->eraseNeeded = w->eraseNeeded || erase;
    w->thread->Wake();
}

void WindowManager::InvalidateArea(Window* root, const Region& area, bool erase) {
    std::vector<Window*> pending{root};
    while (!pending.empty()) {
        Window* w = pending.back();
        pending.pop_back();
        if (!w->Visible()) continue;
        const POINT whole = WindowOffset(w);
        RECT frame{whole.x, whole.y, whole.x + w->Width(), whole.y + w->Height()};
        if (!area.Intersects(frame)) continue;
        const POINT c = ClientOffset(w);
        Region client = area;
        client.Offset(-c.x, -c.y);
        InvalidateClient(w, client, erase);
        if (w->HasFrame()) {
            w->frameInvalid = true;
            w->thread->Wake();
        }
        pending.insert(pending.end(), w->children.begin(), w->children.end());
    }
}

void WindowManager::ThreadStarted(ThreadQueue& q) {
    Mutex::Guard guard(gWindowLock);
    threads_.insert(&q);
}

void WindowManager::ThreadEnding(ThreadQueue& q) {
    // Its windows go with it, top-level ones first (which takes their children along); a window
    // made while they went goes in the next round.
    for (auto windows = WindowsOfThread(q); !windows.empty(); windows = WindowsOfThread(q))
        for (HWND hwnd : windows)
            if (Exists(hwnd)) DestroyWindow(hwnd);
    std::deque<std::shared_ptr<SentMessage>> unanswered;
    {
        Mutex::Guard guard(gWindowLock);
        threads_.erase(&q);
        Mutex::Guard queueGuard(q.lock);
        unanswered.swap(q.inbox);
        q.tasks.clear();
    }
    for (auto& m : unanswered) m->Answer(0);
}

ThreadQueue* WindowManager::ThreadById(DWORD id) {
    for (ThreadQueue* q : threads_)
        if (q->threadId == id) return q;
    return nullptr;
}

bool WindowManager::PaintPending(ThreadQueue& q) {
    Mutex::Guard guard(gWindowLock);
    for (auto& [handle, w] : windows_)
        if (w->thread == &q && (!w->invalid.IsEmpty() || w->frameInvalid) && IsShown(w.get())) return true;
    return false;
}

void WindowManager::RoutePointer(HWND hwnd, RawInput raw) {
    Mutex::Guard guard(gWindowLock);
    cursorPos = raw.screen;
    Window* target = capture ? Find(capture) : nullptr;
    if (target)
        hwnd = TopLevelOf(target)->handle;
    else
        target = Find(hwnd);
    if (!target) return;
    raw.topLevel = hwnd;
    target->thread->PostInput(raw);  // under the lock: the thread cannot end meanwhile
}

void WindowManager::RouteKey(const RawInput& raw) {
    Mutex::Guard guard(gWindowLock);
    BYTE& state = asyncKeys[raw.vk & 0xFF];
    state = raw.kind == RawInput::Kind::KeyDown ? (state | 0x80) : (state & ~0x80);
    for (HWND candidate : {focus, active}) {
        if (Window* w = candidate ? Find(candidate) : nullptr) {
            w->thread->PostInput(raw);
            return;
        }
    }
}

void WindowManager::SetAsyncButton(int vk, bool down) {
    Mutex::Guard guard(gWindowLock);
    BYTE& state = asyncKeys[vk & 0xFF];
    state = down ? (state | 0x80) : (state & ~0x80);
}

bool WindowManager::PostTask(HWND hwnd, std::function<void()> run) {
    Mutex::Guard guard(gWindowLock);
    Window* w = Find(hwnd);
    if (!w) return false;
    w->thread->PostTask(WindowTask{hwnd, std::move(run)});
    return true;
}

std::shared_ptr<DisplayDriver> WindowManager::Driver() {
    {
        Mutex::Guard guard(gWindowLock);
        if (driver_) return driver_;
    }
    auto none = std::make_shared<NoDisplay>();
    const SIZE screen = none->ScreenSize();
    Mutex::Guard guard(gWindowLock);
    if (!driver_) {
        driver_ = none;
        SetScreenMetrics(screen.cx, screen.cy);
    }
    return driver_;
}

SIZE WindowManager::ScreenSize() { return Driver()->ScreenSize(); }

void WindowManager::UseDriver(std::shared_ptr<DisplayDriver> driver) {
    const SIZE screen = driver->ScreenSize();
    {
        Mutex::Guard guard(gWindowLock);
        driver_.swap(driver);
    }
    SetScreenMetrics(screen.cx, screen.cy);
    // The old one ends outside the lock (once nobody uses it): its threads may need the window
    // system to end.
    driver.reset();
}

ATOM WindowManager::AddAtom(const std::string& name) {
    Mutex::Guard guard(gWindowLock);
    auto& entry = atoms_[name];
    if (entry.first == 0) entry.first = nextAtom_++;
    ++entry.second;
    return entry.first;
}

bool WindowManager::DeleteAtom(ATOM atom) {
    Mutex::Guard guard(gWindowLock);
    for (auto it = atoms_.begin(); it != atoms_.end(); ++it) {
        if (it->second.first != atom) continue;
        if (--it->second.second == 0) atoms_.erase(it);
        return true;
    }
    return false;
}

ATOM WindowManager::FindAtom(const std::string& name) {
    Mutex::Guard guard(gWindowLock);
    auto it = atoms_.find(name);
    return it == atoms_.end() ? 0 : it->second.first;
}

std::string WindowManager::AtomName(ATOM atom) {
    Mutex::Guard guard(gWindowLock);
    for (auto& [name, entry] : atoms_)
        if (entry.first == atom) return name;
    return "#" + std::to_string(atom);
}
