#pragma once
// The window procedure of a control class T, around its per-window state: the state is made in
// WM_CREATE (T::Make; null fails the creation), kept in a window property, and freed after
// WM_DESTROY. Messages before and after go to DefWindowProc, so handlers never see a missing
// state. A handler that sends a message which destroys its own window keeps a live state until
// it returns: the state is freed by the outermost call.
//
// T provides: static constexpr const char* kProperty; static std::unique_ptr<T> Make(HWND,
// const CREATESTRUCTA&); LRESULT Handle(HWND, UINT, WPARAM, LPARAM).

#include <memory>

#include "platform/controls/ControlSupport.h"
#include "platform/controls/PrivateMessageTrace.h"
#include "platform/window/Windows.h"

template <class T>
class ControlInstance {
public:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_CREATE && !Find(hwnd)) {
            const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
            std::unique_ptr<T> state = cs ? T::Make(hwnd, *cs) : nullptr;
            if (!state) return -1;
            auto slot = std::make_unique<Slot>();
            slot->state = std::move(state);
            if (!SetPropA(hwnd, T::kProperty, slot.get())) return -1;
            slot.release();  // owned through the property until WM_DESTROY
        }
        Slot* slot = Find(hwnd);
        if (!slot) return DefWindowProcA(hwnd, message, wParam, lParam);
        ++slot->depth;
        const LRESULT result = slot->state->Handle(hwnd, message, wParam, lParam);
        // A failed creation gets no WM_DESTROY.
        if ((message == WM_DESTROY || (message == WM_CREATE && result == -1)) && !slot->released) {
            RemovePropA(hwnd, T::kProperty);
            slot->released = true;
        }
        if (--slot->depth == 0 && slot->released) std::unique_ptr<Slot> gone(slot);
        return result;
    }

    // The state of a window of this class, or null.
    static T* Of(HWND hwnd) {
        Slot* slot = Find(hwnd);
        return slot && !slot->released ? slot->state.get() : nullptr;
    }

    // Registers the class `name` with this procedure and the arrow cursor.
    static void Register(const char* name, UINT classStyle) {
        ControlSupport::Register(name, Proc, IDC_ARROW, classStyle);
    }

    // What a handler does with a message it leaves alone; a private one it does not know is traced.
    static LRESULT Default(const char* className, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message >= WM_USER && message < WM_APP)
            PrivateMessageTrace::Unknown(className, hwnd, message, wParam, lParam);
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }

private:
    struct Slot {
        std::unique_ptr<T> state;
        int depth = 0;
        bool released = false;
    };

    static Slot* Find(HWND hwnd) { return static_cast<Slot*>(GetPropA(hwnd, T::kProperty)); }
};
