#pragma once
// A menu like the viewer's for the widget tests and samples: its commands, menu 128 as the
// resource has it, the captions its frame sets at run time, and the table of its icons.

#include "platform/controls/MenuTemplate.h"
#include "widgets/CIconMenu.h"

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
