#pragma once
// Menu tests: a frame with a menu bar made from a template, and a script of steps run each
// time the menu loop falls idle (WM_ENTERIDLE), so that a test can look at an open menu and
// give the next input. A loop that outlives its script is ended and reported.

#include <functional>
#include <vector>

#include "platform/controls/CommCtrl.h"
#include "platform/controls/MenuTemplate.h"
#include "platform/controls/Menus.h"
#include "tests/platform/window/WindowTesting.h"

class MenuTestBase : public WindowTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A visible, active top-level window at (100, 100), 400 by 300, with the menu as its bar.
    HWND Frame(HMENU menu, DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    // The test menu: "&File" {"&Open" 101, "&Save" 102 (greyed), separator, "&Recent" {"&One" 111,
    // "&Two" 112}, "E&xit" 103}, "&Edit" {"&Copy\tCtrl+C" 201, "&Paste" 202}, "&Help" 301.
    static const MenuTemplate& TestMenu();

    // Steps run one per WM_ENTERIDLE the frame gets.
    void OnIdle(std::vector<std::function<void()>> steps);
    bool ScriptRanOut() const { return ranOut_; }

    // The menu-loop messages the window got, in order (WM_ENTERIDLE left out).
    std::vector<UINT> LoopMessages(HWND hwnd) const;
    // The wParam of every message of a kind the window got.
    std::vector<WPARAM> ParamsOf(HWND hwnd, UINT message) const;

    // Screen centre of a bar item or of an item of a shown popup.
    POINT CentreOf(HWND hwnd, HMENU menu, int position) const;
    // The window under a screen point, and the colour shown there by it (or by `top`), as last
    // put on the screen.
    static HWND TopAt(POINT screen);
    COLORREF ShownAt(POINT screen, HWND top = nullptr) const;

private:
    std::vector<std::function<void()>> steps_;
    std::size_t next_ = 0;
    bool ranOut_ = false;
};
