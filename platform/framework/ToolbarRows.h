#pragma once
// How a bar that is itself a toolbar control lays its buttons out: one row docked across the
// frame, a column docked at a side, rows of a given width (or fitting a given height) floating.
// Row ends are the control's TBSTATE_WRAP states; the sizes include the bar's borders.

#include <vector>

#include "platform/framework/CControlBar.h"

class ToolbarRows {
public:
    // The size of `bar` in layout mode dwMode (LM_*) for a length nLength (-1: its own); with
    // LM_COMMIT the row ends are applied and, floating, the width remembered.
    static CSize DynamicLayout(CControlBar& bar, int nLength, DWORD dwMode);

private:
    struct Item {
        bool separator;
        bool hidden;
        int width;
    };
    static std::vector<Item> Items(HWND toolbar);
    // Where rows end: as one row, as a column, or within `width` pixels.
    static std::vector<bool> OneRow(const std::vector<Item>& items);
    static std::vector<bool> Column(const std::vector<Item>& items);
    static std::vector<bool> WrapTo(const std::vector<Item>& items, int width);
    // The size the buttons take with those row ends, as the control lays them out.
    static CSize ButtonArea(HWND toolbar, const std::vector<Item>& items, const std::vector<bool>& wraps);
    static void ApplyWraps(HWND toolbar, const std::vector<bool>& wraps);
};
