#include "tests/widgets/ViewerMenu.h"

#include <utility>
#include <vector>

namespace viewer {

const WORD kIconTable[] = {135, 16, 15, kQuillbridge, kDebug, kExport, kRefresh, kClear, kAbout, 0};

const MenuTemplate& Menu() {
    static const MenuTemplate menu{0, 0, "", {
        {MF_POPUP, 0, "Log", {
            {0, kQuillbridge, "Quillbridge"}, {0, kDebug, "Debug"}, {MF_SEPARATOR}, {0, kExport, "Export"},
            {MF_SEPARATOR}, {0, kClear, "Clear"}, {MF_SEPARATOR}, {0, kExit, "Exit"},
        }},
        {MF_POPUP, 0, "View", {
            {0, kToolbar, "Toolbar"}, {0, kStatusbar, "Statusbar"}, {MF_SEPARATOR}, {0, kDetail, "Detail"},
            {MF_SEPARATOR}, {0, kRefresh, "Refresh"},
        }},
        {MF_POPUP, 0, "Filter", {
            {0, kAges[0], "1"}, {0, kAges[1], "2"}, {0, kAges[2], "3"}, {0, kAges[3], "W"}, {0, kAges[4], "2W"},
            {0, kAges[5], "M"}, {0, kAges[6], "A"}, {MF_SEPARATOR},
            {MF_POPUP, 0, "Level", {{0, kLevels[0], "F"}, {0, kLevels[1], "E"}, {0, kLevels[2], "W"},
                                    {0, kLevels[3], "I"}}},
        }},
        {MF_POPUP, 0, "About", {{0, kAbout, "About"}}},
    }};
    return menu;
}

void SetCaptions(CIconMenu& bar) {
    const char* bars[] = {" &Log ", " &View ", " &Filter ", " &About "};
    for (UINT i = 0; i < 4; ++i) bar.SetMenuText(i, bars[i], MF_BYPOSITION);
    auto set = [](CIconMenu* popup, std::vector<std::pair<UINT, const char*>> captions) {
        if (!popup) return;
        for (const auto& [position, text] : captions) popup->SetMenuText(position, text, MF_BYPOSITION);
    };
    set(bar.GetSubMenu(0), {{0, "&Quillbridge Log"}, {1, "&Debug Log"}, {3, "&Export..."}, {5, "&Clear log"}, {7, "E&xit"}});
    set(bar.GetSubMenu(1), {{0, "&Toolbar"}, {1, "&Statusbar"}, {3, "Log &Detail"}, {5, "&Refresh\tF5"}});
    CIconMenu* filter = bar.GetSubMenu(2);
    set(filter, {{0, "&1 Day"}, {1, "&2 Days"}, {2, "&3 Days"}, {3, "1 &Week"}, {4, "2 W&eeks"}, {5, "1 &Month"},
                 {6, "&All"}, {8, "&Level"}});
    set(filter ? filter->FindSubMenu("&Level") : nullptr, {{0, "&Fatal"}, {1, "&Error"}, {2, "&Warning"}, {3, "&Info"}});
    set(bar.GetSubMenu(3), {{0, "&About..."}});
}

}  // namespace viewer
