#pragma once
// Icon menu tests: the menu tests' frame and idle scripts, the artwork registered, the process
// settings put back after each test, a menu like the viewer's, and items drawn into a bitmap.

#include <string>
#include <vector>

#include "platform/graphics/Surface.h"
#include "tests/platform/controls/MenuTesting.h"
#include "widgets/CIconMenu.h"
#include "widgets/IconMenuColors.h"

// The commands of the viewer's menus.
namespace viewer {
constexpr UINT kQuillbridge = 32804, kDebug = 32805, kExport = 32790, kClear = 32792, kExit = 57665;
constexpr UINT kToolbar = 59392, kStatusbar = 59393, kDetail = 32794, kRefresh = 32793, kAbout = 57664;
constexpr UINT kAges[] = {32774, 32780, 32781, 32782, 32783, 32784, 32785};
constexpr UINT kLevels[] = {32786, 32787, 32788, 32789};
// The menus' icons: bitmap 135, 16 x 15 pictures, in the toolbar's order.
extern const WORD kIconTable[];
// Menu 128 as the resource has it; the captions are set at run time.
const MenuTemplate& Menu();
// The captions, as the frame sets them with SetMenuText (by position).
void SetCaptions(CIconMenu& bar);
}  // namespace viewer

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

private:
    int colorCount_ = 0;
    int generation_ = 0;
    int variants_ = 0;
    bool highContrast_ = false;
};
