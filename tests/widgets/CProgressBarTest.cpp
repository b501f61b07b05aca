// The status-bar progress: where it stands in its pane, what the pane says, and stepping it from
// another thread, also once it is gone.

#include "widgets/CProgressBar.h"

#include <atomic>
#include <thread>

#include "platform/controls/CommCtrl.h"
#include "platform/controls/StatusBar.h"
#include "platform/framework/AfxRes.h"
#include "platform/framework/CClientDC.h"
#include "platform/framework/CFont.h"
#include "tests/platform/framework/FrameworkTesting.h"

namespace {

class ProgressBarTest : public FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        InitCommonControls();
        // A main window that is no frame: its status bar is found by its id.
        ASSERT_TRUE(main.CreateEx(0, AFX_WND, "main", WS_POPUP | WS_VISIBLE, 0, 0, 600, 200, nullptr, nullptr));
        statusBar = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 170, 600, 30, main.m_hWnd,
                                    reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(AFX_IDW_STATUS_BAR)),
                                    nullptr, nullptr);
        ASSERT_NE(statusBar, nullptr);
        const int parts[] = {300, -1};
        SendMessageA(statusBar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
        SendMessageA(statusBar, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>("CAP"));
        app.m_pMainWnd = &main;
    }
    void TearDown() override {
        app.m_pMainWnd = nullptr;
        if (main.m_hWnd) main.DestroyWindow();
        FrameworkTest::TearDown();
    }

    CRect Pane(int index) {
        CRect rect;
        SendMessageA(statusBar, SB_GETRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
        return rect;
    }
    std::string PaneText(int index) {
        char text[64] = {};
        SendMessageA(statusBar, SB_GETTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
        return text;
    }
    int TextWidth(const std::string& text) {
        CClientDC dc(CWnd::FromHandle(statusBar));
        CFont* font = CWnd::FromHandle(statusBar)->GetFont();
        CFont* old = font ? dc.SelectObject(font) : nullptr;
        const int width = dc.GetTextExtent(text).cx;
        if (old) dc.SelectObject(old);
        return width;
    }
    CRect Placed(CProgressBar& bar) {
        CRect rect;
        bar.GetWindowRect(&rect);
        ::MapWindowPoints(nullptr, statusBar, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    CWnd main;
    HWND statusBar = nullptr;
};

TEST_F(ProgressBarTest, StandsBehindItsMessageOnTheShareOfWhatIsLeft) {
    CProgressBar bar;
    ASSERT_TRUE(bar.Create("Loading...", 60, 100, FALSE, 0));
    EXPECT_EQ(PaneText(0), "Loading...");

    const CRect pane = Pane(0);
    ASSERT_EQ(pane.Width(), 300 - pane.left);
    const int left = pane.left + TextWidth("Loading...") + 4 * TextWidth(" ");
    const int right = pane.right - 40 * (pane.right - left) / 100;
    const int margin = pane.Height() / 10;
    EXPECT_EQ(Placed(bar), CRect(left, pane.top + margin, right, pane.bottom - margin));
    EXPECT_EQ(bar.LastRect(), Placed(bar));

    // No message: from the pane's left edge.
    bar.SetText("");
    EXPECT_EQ(Placed(bar), CRect(pane.left, pane.top + margin, pane.right - 40 * pane.Width() / 100,
                                 pane.bottom - margin));
    EXPECT_EQ(PaneText(0), "");

    // A message wider than the pane leaves the control no width at all.
    bar.SetText(std::string(200, 'W').c_str());
    EXPECT_EQ(Placed(bar).Width(), 0);
}

TEST_F(ProgressBarTest, RangeStepAndClearRestoringThePane) {
    CProgressBar bar;
    ASSERT_TRUE(bar.Create("Loading...", 60, 250, TRUE, 0));
    EXPECT_EQ(bar.GetStyle() & (WS_CHILD | WS_VISIBLE | PBS_SMOOTH), WS_CHILD | WS_VISIBLE | PBS_SMOOTH);
    EXPECT_EQ(bar.GetDlgCtrlID(), 1);
    int low = -1, high = -1;
    bar.GetRange(low, high);
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 250);
    EXPECT_EQ(bar.StepIt(), 0);
    EXPECT_EQ(bar.GetPos(), 1) << "a step of one";

    bar.Clear();
    EXPECT_FALSE(bar.IsWindowVisible());
    EXPECT_EQ(PaneText(0), "Ready");
    EXPECT_EQ(bar.SetPos(7), 1);
    EXPECT_TRUE(bar.IsWindowVisible()) << "setting the position shows it again";
}

TEST_F(ProgressBarTest, AnotherPaneGetsItsOwnTextBack) {
    {
        CProgressBar bar;
        ASSERT_TRUE(bar.Create("Busy", 100, 10, FALSE, 1));
        EXPECT_EQ(PaneText(1), "Busy");
    }  // destruction clears
    EXPECT_EQ(PaneText(1), "CAP");
}

TEST_F(ProgressBarTest, WithoutAStatusBarThereIsNoControl) {
    app.m_pMainWnd = nullptr;
    CProgressBar bar;
    EXPECT_FALSE(bar.Create("Loading...", 60, 100, FALSE, 0));
    EXPECT_EQ(bar.m_hWnd, nullptr);
    EXPECT_FALSE(bar.SetRange(0, 5, 1));
    EXPECT_EQ(bar.StepIt(), 0);
    EXPECT_EQ(bar.SetPos(3), 0);
}

TEST_F(ProgressBarTest, StepsFromAnotherThreadAndNotAtAllOnceGone) {
    CProgressBar bar;
    ASSERT_TRUE(bar.Create("Loading...", 60, 1000, FALSE, 0));
    bar.Clear();  // hidden between loads; a step shows it

    std::atomic<int> done{0};
    std::thread worker([&] {
        for (int i = 0; i < 50; ++i) bar.StepIt();
        done = 1;
    });
    EXPECT_TRUE(PumpUntil([&] { return done.load() == 1; }));
    worker.join();
    EXPECT_EQ(bar.GetPos(), 50);
    EXPECT_TRUE(bar.IsWindowVisible());

    bar.DestroyWindow();
    int stepped = -1;
    std::thread late([&] { stepped = bar.StepIt(); });
    late.join();
    EXPECT_EQ(stepped, 0);
    EXPECT_EQ(bar.StepIt(), 0);
}

}  // namespace
