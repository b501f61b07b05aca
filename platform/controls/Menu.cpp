#include "platform/controls/Menu.h"

#include "platform/controls/Menus.h"

int Menu::DefaultItem(bool includeDisabled) const {
    for (std::size_t i = 0; i < items.size(); ++i)
        if ((items[i].state & MFS_DEFAULT) && (includeDisabled || !items[i].IsDisabled())) return static_cast<int>(i);
    return -1;
}
