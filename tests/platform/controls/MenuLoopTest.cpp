// The menu loop by mouse and keyboard: the messages the owner gets, in order; mnemonics and
// WM_MENUCHAR answers; greyed items; popup windows a hook subclasses; sends from other threads
// answered while a menu is open.

#include <atomic>
#include <thread>

#include "platform/controls/PopupMenuWindow.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/Rects.h"
#include "platform/window/MessageBeep.h"
#include "tests/platform/controls/MenuTesting.h"

namespace {

class MenuLoopTest : public MenuTestBase {
protected:
    void SetUp() override {
        MenuTestBase::SetUp();
        bar = LoadMenuIndirectA(&TestMenu());
        file = GetSubMenu(bar, 0);
        edit = GetSubMenu(bar, 1);
        recent = GetSubMenu(file, 3);
        frame = Frame(bar);
    }

    // The commands posted to the frame, once the loop is over.
    std::vector<WPARAM> Commands() {
        PumpAll();
        return ParamsOf(frame, WM_COMMAND);
    }

    HMENU bar = nullptr, file = nullptr, edit = nullptr, recent = nullptr;
    HWND frame = nullptr;
};

constexpr UINT kHilite = MF_HILITE;

TEST_F(MenuLoopTest, AClickOnTheBarThenOnAnItemRunsItsCommand) {
    OnIdle({[&] { display->Click(CentreOf(nullptr, file, 0)); }});
    display->Click(CentreOf(frame, bar, 0));
    EXPECT_EQ(Commands(), std::vector<WPARAM>{101});
    EXPECT_FALSE(ScriptRanOut());
    EXPECT_EQ(LoopMessages(frame),
              (std::vector<UINT>{WM_SYSCOMMAND, WM_ENTERMENULOOP, WM_INITMENU, WM_MENUSELECT, WM_INITMENUPOPUP,
                                 WM_MENUSELECT, WM_UNINITMENUPOPUP, WM_MENUSELECT, WM_EXITMENULOOP, WM_COMMAND}));
    const auto selects = ParamsOf(frame, WM_MENUSELECT);
    ASSERT_EQ(selects.size(), 3u);
    EXPECT_EQ(selects[0], MAKEWPARAM(0, MF_POPUP | kHilite | MF_MOUSESELECT)) << "the bar item, by position";
    EXPECT_EQ(selects[1], MAKEWPARAM(101, kHilite | MF_MOUSESELECT));
    EXPECT_EQ(selects[2], MAKEWPARAM(0, 0xFFFF)) << "closed";
    for (const Seen& s : recorder.Log()) {
        if (s.hwnd != frame) continue;
        if (s.message == WM_SYSCOMMAND) {
            EXPECT_EQ(s.wParam, SC_MOUSEMENU | HTMENU);
        }
        if (s.message == WM_INITMENU) {
            EXPECT_EQ(s.wParam, reinterpret_cast<WPARAM>(bar));
        }
        if (s.message == WM_INITMENUPOPUP) {
            EXPECT_EQ(s.wParam, reinterpret_cast<WPARAM>(file));
            EXPECT_EQ(s.lParam, MAKELPARAM(0, FALSE));
        }
        if (s.message == WM_ENTERMENULOOP || s.message == WM_EXITMENULOOP) {
            EXPECT_EQ(s.wParam, FALSE);
        }
    }
    EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
