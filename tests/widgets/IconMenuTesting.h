#pragma once
// Icon menu tests: the menu tests' frame and idle scripts, the artwork registered, the process
// settings put back after each test, and items drawn into a bitmap.

#include <string>
#include <vector>

#include "platform/graphics/Surface.h"
#include "tests/platform/controls/MenuTesting.h"
#include "tests/platform/window/SchemeRestorer.h"
#include "tests/widgets/ViewerMenu.h"
#include "widgets/CIconMenu.h"
#include "widgets/CIconMenuIcons.h"
#include "widgets/IconMenuColors.h"


class IconMenuTestBase : public MenuTestBase {
protected:
    void SetUp() override;
    void TearDown() override;

    // Item `position` of `menu` drawn with `state` into a bitmap of the item's size.
    static Surface Drawn(CIconMenu& menu, int position, UINT state, SIZE size);
    static MEASUREITEMSTRUCT Measured(CIconMenu& menu, int position);
    // The colour of a pixel of a drawn item.
    static COLORREF At(const Surface& s, int x, int y) { return Surface::ColorOf(s.At(x, y)); }
    // Width of a text in the menu font.
    static int TextWidth(const std::string& text, bool bold = false);
    // Whether the disabled looks of the set's first picture were made against the bar colour
    // `bar`: each of its pixels a lightened grey of the picture's mixed with it.
    static bool DisabledLooksMixedWith(const CIconMenuIcons& set, COLORREF bar);
    // The menu colours become `menu` (COLOR_MENU and COLOR_MENUBAR), as a user's scheme would.
    static void ChangeMenuColor(COLORREF menu);

private:
    SchemeRestorer scheme_;
    int colorCount_ = 0;
    int generation_ = 0;
    int variants_ = 0;
    bool highContrast_ = false;
};
