// The frame: bars laid out around the view through WM_SIZEPARENT, the bar toggles and their
// checks, prompts in the message bar, and idle-time updates from the message loop.

#include <atomic>
#include <memory>
#include <thread>

#include "platform/framework/AfxMsg.h"
#include "platform/framework/CCmdUI.h"
#include "platform/framework/CCreateContext.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CView.h"
#include "platform/framework/StringTable.h"
#include "tests/platform/framework/FrameworkTesting.h"
#include "tests/platform/window/SchemeRestorer.h"

namespace {

constexpr UINT kExport = 32790;

class CPlainView : public CView {
    DECLARE_DYNCREATE(CPlainView)

public:
    void OnDraw(CDC*) override {}
};
IMPLEMENT_DYNCREATE(CPlainView, CView)

// Stands in for a docked bar: takes `size` pixels along one edge of what is left.
class CEdgeBar : public CWnd {
public:
    CEdgeBar(bool atTop, int size) : atTop_(atTop), size_(size) {}
    int idleUpdates = 0;
    int colorChanges = 0;
    std::function<void(CEdgeBar&)> onIdle;

protected:
    DECLARE_MESSAGE_MAP()
    LRESULT OnSizeParent(WPARAM, LPARAM lParam) {
        auto* layout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
        if (!(GetStyle() & WS_VISIBLE)) return 0;
        CRect mine(layout->rect);
        if (atTop_) {
            mine.bottom = mine.top + size_;
            layout->rect.top += size_;
        } else {
            mine.top = mine.bottom - size_;
            layout->rect.bottom -= size_;
        }
        AfxRepositionWindow(layout, m_hWnd, &mine);
        return 0;
    }
    LRESULT OnIdleUpdate(WPARAM, LPARAM) {
        ++idleUpdates;
        if (onIdle) onIdle(*this);
        return 0;
    }
    void OnSysColorChange() {
        ++colorChanges;
        CWnd::OnSysColorChange();
    }

private:
    bool atTop_;
    int size_;
};
BEGIN_MESSAGE_MAP(CEdgeBar, CWnd)
ON_MESSAGE(WM_SIZEPARENT, &CEdgeBar::OnSizeParent)
ON_MESSAGE(WM_IDLEUPDATECMDUI, &CEdgeBar::OnIdleUpdate)
ON_WM_SYSCOLORCHANGE()
END_MESSAGE_MAP()

// Stands in for a splitter: the pane commands of the views it holds are its.
class CPaneHolder : public CWnd {
public:
    std::vector<UINT> moves;

protected:
    DECLARE_MESSAGE_MAP()
    BOOL OnPane(UINT id) {
        moves.push_back(id);
        return TRUE;
    }
};
BEGIN_MESSAGE_MAP(CPaneHolder, CWnd)
ON_COMMAND_EX(ID_NEXT_PANE, &CPaneHolder::OnPane)
ON_COMMAND_EX(ID_PREV_PANE, &CPaneHolder::OnPane)
END_MESSAGE_MAP()

class Frame : public FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        StringTable::Register(kExport, "Export current logs to a file\nExport");
        CCreateContext context;
        context.m_pNewViewClass = RUNTIME_CLASS(CPlainView);
        ASSERT_TRUE(
            frame.Create(nullptr, "Frame", WS_OVERLAPPEDWINDOW, CRect(0, 0, 400, 300), nullptr, nullptr, 0, &context));
        ASSERT_TRUE(toolBar.Create(nullptr, "", WS_VISIBLE, CRect(), &frame, AFX_IDW_TOOLBAR));
        ASSERT_TRUE(statusBar.Create(nullptr, "", WS_VISIBLE, CRect(), &frame, AFX_IDW_STATUS_BAR));
        frame.AddControlBar(&toolBar);
        frame.AddControlBar(&statusBar);
        frame.RecalcLayout();
        view = frame.GetDescendantWindow(AFX_IDW_PANE_FIRST);
    }
    void TearDown() override {
        StringTable::Unregister(kExport);
        FrameworkTest::TearDown();
    }

    CRect ViewRect() {
        CRect r;
        view->GetWindowRect(&r);
        frame.ScreenToClient(&r);
        return r;
    }
    int Checked(UINT id) {
        RecordingCmdUI ui;
        ui.m_nID = id;
        ui.DoUpdate(&frame, TRUE);
        return ui.checked;
    }

    CFrameWnd frame;
    CEdgeBar toolBar{true, 26};
    CEdgeBar statusBar{false, 20};
    CWnd* view = nullptr;
};

TEST_F(Frame, BarsTakeTheirEdgesAndTheViewTheRestAsTheToggleCommandsShowAndHideThem) {
    ASSERT_NE(view, nullptr);
    struct Step {
        UINT toggle;  // 0: none
        CRect viewRect;
        int toolChecked, statusChecked;
    };
    const Step steps[] = {
        {0, CRect(0, 26, 400, 280), 1, 1},
        {ID_VIEW_TOOLBAR, CRect(0, 0, 400, 280), 0, 1},
        {ID_VIEW_STATUS_BAR, CRect(0, 0, 400, 300), 0, 0},
        {ID_VIEW_TOOLBAR, CRect(0, 26, 400, 300), 1, 0},
    };
    for (const Step& step : steps) {
        if (step.toggle) frame.SendMessage(WM_COMMAND, step.toggle);
        EXPECT_EQ(ViewRect(), step.viewRect) << step.toggle;
        EXPECT_EQ(Checked(ID_VIEW_TOOLBAR), step.toolChecked) << step.toggle;
        EXPECT_EQ(Checked(ID_VIEW_STATUS_BAR), step.statusChecked) << step.toggle;
    }
    CRect status;
    statusBar.GetWindowRect(&status);
    frame.ScreenToClient(&status);
    EXPECT_EQ(status, CRect(0, 280, 400, 300));

    frame.MoveWindow(0, 0, 500, 200);
    EXPECT_EQ(ViewRect(), CRect(0, 26, 500, 200)) << "the frame lays itself out when resized";
}

TEST_F(Frame, AColourChangeReachesTheFramesChildWindowsOnce) {
    SchemeRestorer scheme;
    const int index = COLOR_BTNFACE;
    const COLORREF red = RGB(200, 0, 0);
    ASSERT_TRUE(SetSysColors(1, &index, &red));
    EXPECT_EQ(toolBar.colorChanges, 1);
    EXPECT_EQ(statusBar.colorChanges, 1) << "child windows do not pass it on again";
}

TEST_F(Frame, MenuPromptsShowInTheMessageBarAndReadyWhenIdle) {
    EXPECT_EQ(frame.GetMessageBar(), &statusBar);
    PumpAll();
    EXPECT_EQ(statusBar.GetWindowText(), "Ready") << "posted when the frame was made";

    const LPARAM menu = 0x1234;
    frame.SendMessage(WM_MENUSELECT, MAKEWPARAM(kExport, 0), menu);
    EXPECT_EQ(statusBar.GetWindowText(), "Export current logs to a file");
    frame.SendMessage(WM_MENUSELECT, MAKEWPARAM(0, 0x0010), menu);  // a popup item
    EXPECT_EQ(statusBar.GetWindowText(), "");
    frame.SendMessage(WM_EXITMENULOOP, FALSE);
    EXPECT_EQ(statusBar.GetWindowText(), "Ready");

    frame.SetMessageText("Loading...");
    EXPECT_EQ(statusBar.GetWindowText(), "Loading...");
    frame.SendMessage(WM_MENUSELECT, MAKEWPARAM(0xFFFF, 0xFFFF), 0);  // the menu closed
    EXPECT_EQ(statusBar.GetWindowText(), "Ready");
}

TEST_F(Frame, PaneCommandsGoToTheWindowHoldingTheActiveView) {
    CPaneHolder holder;
    ASSERT_TRUE(holder.Create(nullptr, "", WS_VISIBLE, CRect(0, 0, 50, 50), &frame, AFX_IDW_PANE_FIRST + 1));
    CPlainView inner;
    ASSERT_TRUE(inner.Create(nullptr, nullptr, AFX_WS_DEFAULT_VIEW, CRect(0, 0, 10, 10), &holder, AFX_IDW_PANE_FIRST));
    auto enabled = [&](UINT id) {
        RecordingCmdUI ui;
        ui.m_nID = id;
        ui.DoUpdate(&frame, TRUE);
        return ui.enabled;
    };

    frame.SetActiveView(&inner);
    frame.SendMessage(WM_COMMAND, ID_NEXT_PANE);
    frame.SendMessage(WM_COMMAND, ID_PREV_PANE);
    EXPECT_EQ(holder.moves, (std::vector<UINT>{ID_NEXT_PANE, ID_PREV_PANE}));
    EXPECT_EQ(enabled(ID_NEXT_PANE), 1) << "a handler exists in the holder";

    // The frame's own view has no splitter around it: the commands are greyed and go nowhere.
    frame.SetActiveView(dynamic_cast<CView*>(view));
    EXPECT_EQ(enabled(ID_NEXT_PANE), 0);
    frame.SendMessage(WM_COMMAND, ID_NEXT_PANE);
    EXPECT_EQ(holder.moves.size(), 2u);
    inner.DestroyWindow();
}

TEST_F(Frame, TheMessageLoopUpdatesTheBarsWhenIdleAndEndsWithTheQuitCode) {
    app.m_pMainWnd = &frame;
    frame.ShowWindow(SW_SHOW);
    int statusChecked = -1;
    toolBar.onIdle = [&](CEdgeBar& bar) {
        // A bar asks the frame for its buttons' states, then this test is done.
        RecordingCmdUI ui;
        ui.m_nID = ID_VIEW_STATUS_BAR;
        ui.DoUpdate(&frame, TRUE);
        statusChecked = ui.checked;
        if (bar.idleUpdates == 1) PostQuitMessage(3);
    };
    EXPECT_EQ(app.Run(), 3);
    EXPECT_GE(toolBar.idleUpdates, 1);
    EXPECT_EQ(statusChecked, 1);
    app.m_pMainWnd = nullptr;
}

// A thread that ends with a window and its children still open, all adopted by their windows:
// every object is freed once, the children's while the parent's destruction tears them down.
class CCountedWnd : public CWnd {
public:
    explicit CCountedWnd(std::atomic<int>& freed) : freed_(freed) {}
    ~CCountedWnd() override { ++freed_; }

private:
    std::atomic<int>& freed_;
};

TEST_F(Frame, AThreadEndingWithAdoptedWindowsOpenFreesEachObjectOnce) {
    std::atomic<int> freed{0};
    std::atomic<int> made{0};
    std::thread([&] {
        CWnd* parent = CWnd::Adopt(std::make_unique<CCountedWnd>(freed));
        if (!parent->CreateEx(0, nullptr, "parent", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr)) return;
        ++made;
        for (UINT id = 1; id <= 3; ++id) {
            CWnd* child = CWnd::Adopt(std::make_unique<CCountedWnd>(freed));
            if (child->Create(nullptr, "child", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), parent, id)) ++made;
        }
    }).join();
    EXPECT_EQ(made, 4);
    EXPECT_EQ(freed, 4);
}

}  // namespace
