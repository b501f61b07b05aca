#include "platform/controls/MenuRegistry.h"

MenuRegistry& MenuRegistry::Instance() {
    static MenuRegistry registry;
    return registry;
}

std::string MenuRegistry::KeyOf(LPCSTR name) {
    if (IS_INTRESOURCE(name)) return "#" + std::to_string(reinterpret_cast<std::uintptr_t>(name));
    return name ? std::string(name) : std::string();
}

void MenuRegistry::Register(LPCSTR name, MenuTemplate menu) {
    std::lock_guard guard(lock_);
    menus_[KeyOf(name)] = std::move(menu);
}

bool MenuRegistry::Unregister(LPCSTR name) {
    std::lock_guard guard(lock_);
    return menus_.erase(KeyOf(name)) > 0;
}

std::optional<MenuTemplate> MenuRegistry::Find(LPCSTR name) {
    if (!name) return std::nullopt;
    std::lock_guard guard(lock_);
    auto it = menus_.find(KeyOf(name));
    if (it == menus_.end()) return std::nullopt;
    return it->second;
}
