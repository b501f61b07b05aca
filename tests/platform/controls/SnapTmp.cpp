#include "tests/platform/controls/MenuTesting.h"
namespace {
class Snap : public MenuTestBase {};
TEST_F(Snap, Shots) {
    const HMENU bar = LoadMenuIndirectA(&TestMenu());
    CheckMenuItem(bar, 101, MF_CHECKED);
    const HWND frame = Frame(bar);
    OnIdle({[&] { display->KeyPress(VK_DOWN); display->KeyPress(VK_DOWN); display->KeyPress(VK_DOWN); display->KeyPress(VK_RIGHT);},
            [&] {
        display->Snapshot(frame, "/tmp/snap-frame.png");
        display->Snapshot(TopAt(CentreOf(nullptr, GetSubMenu(bar, 0), 0)), "/tmp/snap-file.png");
        display->Snapshot(TopAt(CentreOf(nullptr, GetSubMenu(GetSubMenu(bar, 0), 3), 0)), "/tmp/snap-recent.png");
        EndMenu(); }});
    display->Key(VK_MENU, true); display->KeyPress('F'); display->Key(VK_MENU, false);
    PumpAll();
}
}
