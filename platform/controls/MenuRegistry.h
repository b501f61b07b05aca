#pragma once
// The program's menu resources, registered by id or name from data tables (resources/ registers
// the viewer's; tests register their own), for LoadMenuA to build menus from.

#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "platform/controls/MenuTemplate.h"

class MenuRegistry {
public:
    static MenuRegistry& Instance();

    // Replaces what the id or name had. `name` as LoadMenuA takes it: MAKEINTRESOURCEA(id) or text.
    void Register(LPCSTR name, MenuTemplate menu);
    bool Unregister(LPCSTR name);
    std::optional<MenuTemplate> Find(LPCSTR name);

    // One key for a resource id and its "#id" spelling, or a name.
    static std::string KeyOf(LPCSTR name);

private:
    std::mutex lock_;
    std::map<std::string, MenuTemplate> menus_;
};
