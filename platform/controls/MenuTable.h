#pragma once
// Every menu of the process behind its handle. A handle carries its slot and the slot's
// generation, so a destroyed menu's handle (or one made up) finds nothing, even after the slot
// is reused. One lock guards the table and every menu in it; it is never held while a message
// is sent.

#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/controls/Menu.h"

class MenuTable {
public:
    static MenuTable& Instance();

    std::recursive_mutex& Lock() { return lock_; }

    // Under the lock.
    HMENU Add(bool popup);
    Menu* Find(HMENU handle);
    // Destroys the menu and the submenus it holds (each once, however they are shared).
    bool Destroy(HMENU handle);

    struct Location {
        Menu* menu;
        int position;
    };
    // The item a position names (MF_BYPOSITION) or the first item with the command, depth first
    // through the submenus. Under the lock.
    std::optional<Location> Locate(HMENU handle, UINT item, UINT flags);

    // Submenus deeper than this are not searched: a menu put inside itself ends the search.
    static constexpr int kMaxDepth = 32;

private:
    struct Slot {
        std::unique_ptr<Menu> menu;
        std::uint32_t generation = 0;
    };

    std::optional<Location> Search(Menu& menu, UINT id, int depth);

    std::recursive_mutex lock_;
    std::vector<Slot> slots_;
    std::vector<std::size_t> free_;
};
