#pragma once
// The per-window state of one control class, found by window handle: made in WM_CREATE, dropped
// in WM_DESTROY. A handler keeps its own reference while it runs, so that a parent that destroys
// the control from inside a notification does not free the state under the handler's feet.

#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/window/WindowTypes.h"

template <class T>
class WindowStateMap {
public:
    std::shared_ptr<T> Find(HWND hwnd) const {
        std::lock_guard guard(lock_);
        auto it = states_.find(hwnd);
        return it == states_.end() ? nullptr : it->second;
    }

    void Attach(HWND hwnd, std::shared_ptr<T> state) {
        std::lock_guard guard(lock_);
        states_[hwnd] = std::move(state);
    }

    std::shared_ptr<T> Detach(HWND hwnd) {
        std::lock_guard guard(lock_);
        auto it = states_.find(hwnd);
        if (it == states_.end()) return nullptr;
        std::shared_ptr<T> state = std::move(it->second);
        states_.erase(it);
        return state;
    }

private:
    mutable std::mutex lock_;  // guards states_: windows of several threads share the map
    std::unordered_map<HWND, std::shared_ptr<T>> states_;
};
