#include "platform/window/WindowManager.h"

#include <algorithm>
#include <cctype>

#include "platform/drivers/DisplayDriver.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/SystemColors.h"
#include "platform/kernel/Immortal.h"
#include "platform/kernel/ThreadIdentity.h"
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

std::shared_ptr<Window> WindowManager::Find(HWND hwnd) {
    std::lock_guard guard(lock_);
    auto it = windows_.find(hwnd);
    return it == windows_.end() ? nullptr : it->second;
}

std::shared_ptr<Window> WindowManager::Create(const WindowClass& cls, DWORD exStyle, DWORD style, Window* parent) {
    std::lock_guard guard(lock_);
    auto w = std::make_shared<Window>();
    nextHandle_ += 4;
    w->handle = reinterpret_cast<HWND>(nextHandle_);
    w->className = cls.name;
    w->classStyle = cls.style;
    w->classCursor = cls.cursor;
    w->classBackground = cls.background;
    w->proc = cls.proc;
    w->style = style;
    w->exStyle = exStyle;
    w->parent = parent;
    w->thread = &ThreadQueue::Current();
    if (parent)
        parent->children.insert(parent->children.begin(), w.get());
    else
        topLevels_.insert(topLevels_.begin(), w.get());
    windows_.emplace(w->handle, w);
    return w;
}

void WindowManager::Remove(Window& w) {
    std::lock_guard guard(lock_);
    auto& siblings = w.parent ? w.parent->children : topLevels_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), &w), siblings.end());
    if (focus == w.handle) focus = nullptr;
    if (capture == w.handle) capture = nullptr;
    if (active == w.handle) active = nullptr;
    windows_.erase(w.handle);
}

std::vector<std::shared_ptr<Window>> WindowManager::WindowsOfThread(ThreadQueue& thread) {
    std::lock_guard guard(lock_);
    std::vector<std::shared_ptr<Window>> found;
    for (auto& [handle, w] : windows_)
        if (w->thread == &thread) found.push_back(w);
    return found;
}

void WindowManager::Raise(Window& w) { PlaceAfter(w, nullptr); }

void WindowManager::PlaceAfter(Window& w, Window* after) {
    std::lock_guard guard(lock_);
    auto& siblings = w.parent ? w.parent->children : topLevels_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), &w), siblings.end());
    auto at = after ? std::find(siblings.begin(), siblings.end(), after) : siblings.end();
    siblings.insert(at == siblings.end() ? (after ? siblings.end() : siblings.begin()) : at + 1, &w);
}

bool WindowManager::AddClass(const WindowClass& cls) {
    std::lock_guard guard(lock_);
    return classes_.emplace(Folded(cls.name), cls).second;
}

bool WindowManager::RemoveClass(const std::string& name) {
    std::lock_guard guard(lock_);
    return classes_.erase(Folded(name)) > 0;
}

const WindowClass* WindowManager::FindClass(const std::string& name) {
    std::lock_guard guard(lock_);
    auto it = classes_.find(Folded(name));
    return it == classes_.end() ? nullptr : &it->second;
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

void WindowManager::InvalidateClient(Window* w, const Region& client, bool erase) {
    std::lock_guard guard(lock_);
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
    std::lock_guard guard(lock_);
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
    std::lock_guard guard(lock_);
    threads_.insert(&q);
}

void WindowManager::ThreadEnding(ThreadQueue& q) {
    // Its windows go with it, top-level ones first (which takes their children along).
    for (auto& w : WindowsOfThread(q))
        if (Find(w->handle)) DestroyWindow(w->handle);
    std::deque<std::shared_ptr<SentMessage>> unanswered;
    {
        std::lock_guard guard(lock_);
        threads_.erase(&q);
        std::lock_guard queueGuard(q.lock);
        unanswered.swap(q.inbox);
    }
    for (auto& m : unanswered) m->Answer(0);
}

bool WindowManager::ThreadAlive(ThreadQueue* q) {
    std::lock_guard guard(lock_);
    return threads_.count(q) > 0;
}

ThreadQueue* WindowManager::ThreadById(DWORD id) {
    std::lock_guard guard(lock_);
    for (ThreadQueue* q : threads_)
        if (q->threadId == id) return q;
    return nullptr;
}

DisplayDriver& WindowManager::Driver() {
    std::lock_guard guard(lock_);
    if (!driver_) {
        driver_ = DisplayDriver::Choose();
        const SIZE screen = driver_->ScreenSize();
        SetScreenMetrics(screen.cx, screen.cy);
    }
    return *driver_;
}

void WindowManager::UseDriver(std::unique_ptr<DisplayDriver> driver) {
    {
        std::lock_guard guard(lock_);
        driver_.swap(driver);
        const SIZE screen = driver_->ScreenSize();
        SetScreenMetrics(screen.cx, screen.cy);
    }
    // The old one ends outside the lock: its threads may need the window system to end.
    driver.reset();
}

ATOM WindowManager::AddAtom(const std::string& name) {
    std::lock_guard guard(lock_);
    auto& entry = atoms_[name];
    if (entry.first == 0) entry.first = nextAtom_++;
    ++entry.second;
    return entry.first;
}

bool WindowManager::DeleteAtom(ATOM atom) {
    std::lock_guard guard(lock_);
    for (auto it = atoms_.begin(); it != atoms_.end(); ++it) {
        if (it->second.first != atom) continue;
        if (--it->second.second == 0) atoms_.erase(it);
        return true;
    }
    return false;
}

ATOM WindowManager::FindAtom(const std::string& name) {
    std::lock_guard guard(lock_);
    auto it = atoms_.find(name);
    return it == atoms_.end() ? 0 : it->second.first;
}

std::string WindowManager::AtomName(ATOM atom) {
    std::lock_guard guard(lock_);
    for (auto& [name, entry] : atoms_)
        if (entry.first == atom) return name;
    return "#" + std::to_string(atom);
}
