#include "platform/controls/MenuTable.h"

#include "platform/controls/Menus.h"

namespace {

constexpr std::uintptr_t kSlotBits = 16;
constexpr std::uintptr_t kSlotMask = (1u << kSlotBits) - 1;
constexpr std::uint32_t kGenerationMask = 0x7FFF;

}  // namespace

MenuTable& MenuTable::Instance() {
    static MenuTable table;
    return table;
}

HMENU MenuTable::Add(bool popup) {
    std::size_t index;
    if (!free_.empty()) {
        index = free_.back();
        free_.pop_back();
    } else {
        if (slots_.size() >= kSlotMask) return nullptr;
        index = slots_.size();
        slots_.emplace_back();
    }
    Slot& slot = slots_[index];
    slot.generation = (slot.generation + 1) & kGenerationMask;
    if (!slot.generation) slot.generation = 1;
    const auto value = (static_cast<std::uintptr_t>(slot.generation) << kSlotBits) | (index + 1);
    slot.menu = std::make_unique<Menu>();
    slot.menu->handle = reinterpret_cast<HMENU>(value);
    slot.menu->popup = popup;
    return slot.menu->handle;
}

Menu* MenuTable::Find(HMENU handle) {
    const auto value = reinterpret_cast<std::uintptr_t>(handle);
    const std::uintptr_t index = (value & kSlotMask);
    if (!index || index > slots_.size() || (value >> kSlotBits) > kGenerationMask) return nullptr;
    Slot& slot = slots_[index - 1];
    if (!slot.menu || slot.generation != (value >> kSlotBits)) return nullptr;
    return slot.menu.get();
}

bool MenuTable::Destroy(HMENU handle) {
    std::vector<HMENU> pending{handle};
    bool any = false;
    while (!pending.empty()) {
        const HMENU next = pending.back();
        pending.pop_back();
        Menu* menu = Find(next);
        if (!menu) continue;  // gone already: shared or nested in itself
        any = true;
        for (const MenuItem& item : menu->items)
            if (item.subMenu) pending.push_back(item.subMenu);
        const std::size_t index = (reinterpret_cast<std::uintptr_t>(next) & kSlotMask) - 1;
        slots_[index].menu.reset();
        free_.push_back(index);
    }
    return any;
}

std::optional<MenuTable::Location> MenuTable::Locate(HMENU handle, UINT item, UINT flags) {
    Menu* menu = Find(handle);
    if (!menu) return std::nullopt;
    if (flags & MF_BYPOSITION) {
        if (!menu->ValidPosition(static_cast<int>(item))) return std::nullopt;
        return Location{menu, static_cast<int>(item)};
    }
    return Search(*menu, item, 0);
}

std::optional<MenuTable::Location> MenuTable::Search(Menu& menu, UINT id, int depth) {
    if (depth > kMaxDepth) return std::nullopt;
    for (std::size_t i = 0; i < menu.items.size(); ++i) {
        const MenuItem& item = menu.items[i];
        if (item.subMenu) {
            Menu* sub = Find(item.subMenu);
            if (!sub) continue;
            if (auto found = Search(*sub, id, depth + 1)) return found;
        } else if (item.id == id && !item.IsSeparator()) {
            return Location{&menu, static_cast<int>(i)};
        }
    }
    return std::nullopt;
}
