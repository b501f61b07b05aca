#include "platform/window/ScrollBarStore.h"

#include <algorithm>
#include <array>
#include <unordered_map>
#include <vector>

#include "platform/kernel/Immortal.h"
#include "platform/window/Windows.h"

namespace {

ScrollBarState Default(int bar) {
    ScrollBarState s;
    if (bar == SB_CTL) s.max = 0;  // a control's range starts empty, a window's as 0 to 100
    return s;
}

struct Table {
    std::mutex lock;
    // Guarded by lock: SB_HORZ, SB_VERT and SB_CTL of each window.
    std::unordered_map<HWND, std::array<ScrollBarState, 3>> bars;
    std::size_t sweepAt = 64;  // the size at which dead windows are looked for next
};

Table& All() {
    static Immortal<Table> table;
    return *table;
}

int Index(int bar) { return bar == SB_HORZ || bar == SB_VERT || bar == SB_CTL ? bar : SB_CTL; }

}  // namespace

std::mutex& ScrollBarStore::Lock() { return All().lock; }

ScrollBarState& ScrollBarStore::Slot(HWND hwnd, int bar) {
    Table& t = All();
    auto it = t.bars.find(hwnd);
    if (it == t.bars.end()) {
        if (t.bars.size() >= t.sweepAt) {
            // IsWindow takes the window manager's lock: never taken before this one anywhere.
            std::vector<HWND> gone;
            for (const auto& entry : t.bars)
                if (!IsWindow(entry.first)) gone.push_back(entry.first);
            for (HWND h : gone) t.bars.erase(h);
            t.sweepAt = std::max<std::size_t>(64, 2 * t.bars.size());
        }
        it = t.bars.emplace(hwnd, std::array{Default(SB_HORZ), Default(SB_VERT), Default(SB_CTL)}).first;
    }
    return it->second[static_cast<std::size_t>(Index(bar))];
}

ScrollBarState ScrollBarStore::Get(HWND hwnd, int bar) {
    std::lock_guard guard(Lock());
    auto it = All().bars.find(hwnd);
    return it == All().bars.end() ? Default(bar) : it->second[static_cast<std::size_t>(Index(bar))];
}

void ScrollBarStore::Forget(HWND hwnd) {
    std::lock_guard guard(Lock());
    All().bars.erase(hwnd);
}

std::size_t ScrollBarStore::Windows() {
    std::lock_guard guard(Lock());
    return All().bars.size();
}
