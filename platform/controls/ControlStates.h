#pragma once
// The per-window state of one control class, found by window handle. A control makes its state
// in WM_CREATE and frees it in WM_DESTROY; messages that come before or after find none. The
// map is process-wide and never destroyed, so that windows destroyed while the process exits
// still look it up safely. Only the window's own thread uses a state; the map's lock is held
// for the lookup alone.

#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/kernel/Immortal.h"
#include "platform/window/WindowTypes.h"

template <class T>
class ControlStates {
public:
    static T* Find(HWND hwnd) {
        Map& m = *TheMap();
        std::lock_guard guard(m.lock);
        auto it = m.states.find(hwnd);
        return it == m.states.end() ? nullptr : it->second.get();
    }

    static T* Add(HWND hwnd, std::unique_ptr<T> state) {
        Map& m = *TheMap();
        std::lock_guard guard(m.lock);
        T* added = state.get();
        m.states[hwnd] = std::move(state);
        return added;
    }

    static void Remove(HWND hwnd) {
        std::unique_ptr<T> gone;  // freed outside the lock
        Map& m = *TheMap();
        std::lock_guard guard(m.lock);
        auto it = m.states.find(hwnd);
        if (it == m.states.end()) return;
        gone = std::move(it->second);
        m.states.erase(it);
    }

private:
    struct Map {
        std::mutex lock;
        std::unordered_map<HWND, std::unique_ptr<T>> states;
    };
    static Immortal<Map>& TheMap() {
        static Immortal<Map> map;
        return map;
    }
};
