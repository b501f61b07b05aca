#include "tests/platform/controls/MenuTesting.h"

#include <algorithm>

#include "platform/graphics/Rects.h"

void MenuTestBase::SetUp() {
    WindowTest::SetUp();
    InitCommonControls();
}

void MenuTestBase::TearDown() {
    EndMenu();
    WindowTest::TearDown();
}

HWND MenuTestBase::Frame(HMENU menu, DWORD style) {
    const HWND hwnd = CreateWindowExA(0, recorder.Class(), "Frame", style, 100, 100, 400, 300, nullptr, menu,
                                      nullptr, nullptr);
    SetActiveWindow(hwnd);
    PumpAll();
    recorder.Log().clear();
    return hwnd;
}

const MenuTemplate& MenuTestBase::TestMenu() {
    static const MenuTemplate menu{0, 0, "", {
        {MF_POPUP, 0, "&File", {
            {0, 101, "&Open"},
            {MF_GRAYED, 102, "&Save"},
            {MF_SEPARATOR},
            {MF_POPUP, 0, "&Recent", {{0, 111, "&One"}, {0, 112, "&Two"}}},
            {0, 103, "E&xit"},
        }},
        {MF_POPUP, 0, "&Edit", {{0, 201, "&Copy\tCtrl+C"}, {0, 202, "&Paste"}}},
        {0, 301, "&Help"},
    }};
    return menu;
}

void MenuTestBase::OnIdle(std::vector<std::function<void()>> steps) {
    steps_ = std::move(steps);
    next_ = 0;
    ranOut_ = false;
    recorder.On(WM_ENTERIDLE, [this](HWND, UINT, WPARAM, LPARAM, bool&) -> LRESULT {
        if (next_ < steps_.size()) {
            steps_[next_++]();
        } else {
            ranOut_ = true;
            EndMenu();
        }
        return 0;
    });
}

std::vector<UINT> MenuTestBase::LoopMessages(HWND hwnd) const {
    return recorder.MessagesOf(hwnd, {WM_ENTERMENULOOP, WM_EXITMENULOOP, WM_INITMENU, WM_INITMENUPOPUP,
                                      WM_UNINITMENUPOPUP, WM_MENUSELECT, WM_MENUCHAR, WM_COMMAND, WM_SYSCOMMAND});
}

std::vector<WPARAM> MenuTestBase::ParamsOf(HWND hwnd, UINT message) const {
    std::vector<WPARAM> out;
    for (const Seen& s : const_cast<Recorder&>(recorder).Log())
        if (s.hwnd == hwnd && s.message == message) out.push_back(s.wParam);
    return out;
}

POINT MenuTestBase::CentreOf(HWND hwnd, HMENU menu, int position) const {
    RECT r{};
    EXPECT_TRUE(GetMenuItemRect(hwnd, menu, static_cast<UINT>(position), &r)) << "item " << position;
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

HWND MenuTestBase::TopAt(POINT screen) {
    const HWND hwnd = WindowFromPoint(screen);
    return hwnd ? GetAncestor(hwnd, GA_ROOT) : nullptr;
}

COLORREF MenuTestBase::ShownAt(POINT screen, HWND top) const {
    if (!top) top = TopAt(screen);
    RECT r{};
    GetWindowRect(top, &r);
    const Surface pixels = display->Pixels(top);
    const int x = screen.x - r.left, y = screen.y - r.top;
    if (x < 0 || y < 0 || x >= pixels.Width() || y >= pixels.Height()) return CLR_INVALID;
    return Surface::ColorOf(pixels.At(x, y));
}
