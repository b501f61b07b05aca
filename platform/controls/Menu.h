#pragma once
// A menu object: its items in order, what kind of menu it is, and the layout and selection its
// last showing left. Guarded by MenuTable's lock.

#include <vector>

#include "platform/controls/MenuItem.h"

class Menu {
public:
    HMENU handle = nullptr;
    bool popup = true;  // CreatePopupMenu; false for CreateMenu (a bar)
    std::vector<MenuItem> items;

    // The bar's layout for the window showing it, and its looks outside the item data.
    int barHeight = 0;
    int barWidth = 0;
    int selected = -1;  // the loop's selection (bar items)
    int hot = -1;       // the bar item under the pointer outside the loop

    bool ValidPosition(int position) const { return position >= 0 && position < static_cast<int>(items.size()); }
    // The default item's position or -1 (disabled ones only with `includeDisabled`).
    int DefaultItem(bool includeDisabled) const;
};
