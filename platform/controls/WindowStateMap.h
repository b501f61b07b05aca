#pragma once
// The per-window state of one control class, found by window handle: made in WM_CREATE, dropped
// in WM_DESTROY. A handler keeps its own reference while it runs, so that a parent that destroys
// the control from inside a notification does not free the state under the handler's feet.
//
// Each thread remembers the last window it looked up: a list filled row by row gets message
// after message for one window, and then pays no lock. Any attach or detach makes every such
// memory stale. A window's state is found and dropped on the window's own thread, where its
// window procedure runs. T derives from std::enable_shared_from_this<T>.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/window/WindowTypes.h"

template <class T>
class WindowStateMap {
public:
    std::shared_ptr<T> Find(HWND hwnd) const {
        Recent& recent = LastFound();
        if (recent.hwnd == hwnd && recent.map == this &&
            recent.generation == generation_.load(std::memory_order_acquire))
            return recent.state->shared_from_this();
        std::lock_guard guard(lock_);
        auto it = states_.find(hwnd);
        if (it == states_.end()) return nullptr;
        recent = Recent{hwnd, this, it->second.get(), generation_.load(std::memory_order_relaxed)};
        return it->second;
    }

    void Attach(HWND hwnd, std::shared_ptr<T> state) {
        std::lock_guard guard(lock_);
        generation_.fetch_add(1, std::memory_order_release);
        states_[hwnd] = std::move(state);
    }

    std::shared_ptr<T> Detach(HWND hwnd) {
        std::lock_guard guard(lock_);
        generation_.fetch_add(1, std::memory_order_release);
        auto it = states_.find(hwnd);
        if (it == states_.end()) return nullptr;
        std::shared_ptr<T> state = std::move(it->second);
        states_.erase(it);
        return state;
    }

private:
    // Plain data: it may be read while the thread ends, after thread-local objects are gone.
    struct Recent {
        HWND hwnd;
        const WindowStateMap* map;
        T* state;
        std::uint64_t generation;
    };
    static Recent& LastFound() {
        static thread_local Recent recent{nullptr, nullptr, nullptr, 0};
        return recent;
    }

    mutable std::mutex lock_;  // guards states_: windows of several threads share the map
    std::unordered_map<HWND, std::shared_ptr<T>> states_;
    std::atomic<std::uint64_t> generation_{1};
};
