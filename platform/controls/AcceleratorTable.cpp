#include "platform/controls/AcceleratorTable.h"

#include <algorithm>

#include "platform/controls/MenuRegistry.h"
#include "platform/controls/Menus.h"
#include "platform/kernel/LastError.h"
#include "platform/window/Windows.h"

namespace {

constexpr DWORD ERROR_INVALID_ACCEL_HANDLE = 1403;
constexpr std::uintptr_t kSlotBits = 16;
constexpr std::uintptr_t kSlotMask = (1u << kSlotBits) - 1;
constexpr WPARAM kSystemCommands = 0xF000;

bool Down(int vk) { return GetKeyState(vk) & 0x8000; }

// Where a command sits below `menu`: the popup holding it, and where that popup sits in its own
// parent (for WM_INITMENUPOPUP). Depth-limited: a menu may hold itself.
bool FindHolder(HMENU menu, UINT command, HMENU& holder, int& holderPosition, int depth = 0) {
    const int count = GetMenuItemCount(menu);
    if (depth > 32 || count < 0) return false;
    for (int i = 0; i < count; ++i) {
        const HMENU sub = GetSubMenu(menu, i);
        if (!sub) {
            if (GetMenuItemID(menu, i) == command) {
                holder = menu;
                return true;
            }
            continue;
        }
        if (FindHolder(sub, command, holder, holderPosition, depth + 1)) {
            if (holder == sub && holderPosition < 0) holderPosition = i;
            return true;
        }
    }
    return false;
}

// The command through the window's menus: greyed items swallow it.
int RunCommand(HWND hwnd, WORD command) {
    HMENU menu = GetMenu(hwnd);
    bool system = false;
    HMENU holder = nullptr;
    int holderPosition = -1;
    bool found = menu && FindHolder(menu, command, holder, holderPosition);
    if (!found && command >= kSystemCommands) {
        menu = GetSystemMenu(hwnd, FALSE);
        found = menu && FindHolder(menu, command, holder, holderPosition);
        system = found;
    }
    if (found) {
        // The owner brings the items up to date first, unless it cannot take part now.
        if (IsWindowEnabled(hwnd) && !GetCapture()) {
            SendMessageA(hwnd, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
            if (holder != menu || system)
                SendMessageA(hwnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(holder),
                             MAKELPARAM(std::max(holderPosition, 0), system ? TRUE : FALSE));
        }
        const UINT state = GetMenuState(menu, command, MF_BYCOMMAND);
        if (state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED))) return TRUE;
    }
    if (system)
        SendMessageA(hwnd, WM_SYSCOMMAND, command, 0);
    else
        SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(command, 1), 0);
    return TRUE;
}

}  // namespace

AcceleratorTable& AcceleratorTable::Instance() {
    static AcceleratorTable table;
    return table;
}

void AcceleratorTable::Register(LPCSTR name, std::vector<ACCEL> entries) {
    std::lock_guard guard(lock_);
    resources_[MenuRegistry::KeyOf(name)] = std::move(entries);
}

std::optional<std::vector<ACCEL>> AcceleratorTable::Find(LPCSTR name) {
    if (!name) return std::nullopt;
    std::lock_guard guard(lock_);
    auto it = resources_.find(MenuRegistry::KeyOf(name));
    if (it == resources_.end()) return std::nullopt;
    return it->second;
}

HACCEL AcceleratorTable::Add(std::vector<ACCEL> entries) {
    std::lock_guard guard(lock_);
    auto free = std::find_if(slots_.begin(), slots_.end(), [](const Slot& s) { return !s.used; });
    if (free == slots_.end()) {
        if (slots_.size() >= kSlotMask) return nullptr;
        free = slots_.insert(slots_.end(), Slot{});
    }
    free->entries = std::move(entries);
    free->used = true;
    free->generation = (free->generation + 1) & 0x7FFF;
    if (!free->generation) free->generation = 1;
    const auto index = static_cast<std::uintptr_t>(free - slots_.begin());
    return reinterpret_cast<HACCEL>((static_cast<std::uintptr_t>(free->generation) << kSlotBits) | (index + 1));
}

AcceleratorTable::Slot* AcceleratorTable::SlotOf(HACCEL handle) {
    const auto value = reinterpret_cast<std::uintptr_t>(handle);
    const std::uintptr_t index = value & kSlotMask;
    if (!index || index > slots_.size()) return nullptr;
    Slot& slot = slots_[index - 1];
    return slot.used && slot.generation == (value >> kSlotBits) ? &slot : nullptr;
}

bool AcceleratorTable::Remove(HACCEL handle) {
    std::lock_guard guard(lock_);
    Slot* slot = SlotOf(handle);
    if (!slot) return false;
    slot->used = false;
    slot->entries.clear();
    return true;
}

std::optional<std::vector<ACCEL>> AcceleratorTable::Entries(HACCEL handle) {
    std::lock_guard guard(lock_);
    Slot* slot = SlotOf(handle);
    if (!slot) return std::nullopt;
    return slot->entries;
}

HACCEL CreateAcceleratorTableA(const ACCEL* entries, int count) {
    if (!entries || count <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return AcceleratorTable::Instance().Add(std::vector<ACCEL>(entries, entries + count));
}

BOOL DestroyAcceleratorTable(HACCEL table) {
    if (AcceleratorTable::Instance().Remove(table)) return TRUE;
    SetLastError(ERROR_INVALID_ACCEL_HANDLE);
    return FALSE;
}

int CopyAcceleratorTableA(HACCEL table, ACCEL* entries, int count) {
    auto found = AcceleratorTable::Instance().Entries(table);
    if (!found) {
        SetLastError(ERROR_INVALID_ACCEL_HANDLE);
        return 0;
    }
    if (!entries) return static_cast<int>(found->size());
    const int n = std::min(count, static_cast<int>(found->size()));
    std::copy_n(found->begin(), std::max(n, 0), entries);
    return std::max(n, 0);
}

HACCEL LoadAcceleratorsA(HINSTANCE, LPCSTR name) {
    auto found = AcceleratorTable::Instance().Find(name);
    if (!found || found->empty()) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return AcceleratorTable::Instance().Add(std::move(*found));
}

int TranslateAcceleratorA(HWND hwnd, HACCEL table, const MSG* msg) {
    if (!msg || !IsWindow(hwnd)) return 0;
    const UINT m = msg->message;
    const bool key = m == WM_KEYDOWN || m == WM_SYSKEYDOWN;
    const bool character = m == WM_CHAR || m == WM_SYSCHAR;
    if (!key && !character) return 0;
    auto entries = AcceleratorTable::Instance().Entries(table);
    if (!entries) {
        SetLastError(ERROR_INVALID_ACCEL_HANDLE);
        return 0;
    }
    const bool shift = Down(VK_SHIFT), control = Down(VK_CONTROL);
    const bool alt = (static_cast<DWORD>(msg->lParam) & (1u << 29)) || Down(VK_MENU);
    for (const ACCEL& a : *entries) {
        if (a.fVirt & FVIRTKEY) {
            if (!key || a.key != msg->wParam) continue;
            if (bool(a.fVirt & FSHIFT) != shift || bool(a.fVirt & FCONTROL) != control) continue;
        } else if (!character || a.key != (msg->wParam & 0xFFFF)) {
            continue;
        }
        // A character carries shift and control in itself; Alt counts for both kinds.
        if (bool(a.fVirt & FALT) != alt) continue;
        return RunCommand(hwnd, a.cmd);
    }
    return 0;
}
