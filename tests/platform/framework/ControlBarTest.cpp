// Control bars in a frame: where they lie, the toggles and their checks, the buttons' states
// updated at idle time, prompts in the message bar, docking on each side and floating.

#include "platform/controls/StatusBar.h"
#include "platform/controls/Toolbar.h"
#include "platform/controls/Tooltip.h"
#include "platform/framework/CMiniDockFrameWnd.h"
#include "tests/platform/framework/BarsTesting.h"

namespace bars {
namespace {

CRect ClientOf(const CWnd& wnd) {
    CRect r;
    wnd.GetClientRect(&r);
    return r;
}

// A press on a separator (no command) takes hold of the bar: the screen point of the first one.
CPoint OnSeparator(const CToolBar& bar) {
    RECT r;
    bar.GetItemRect(2, &r);
    return OnScreen(bar.m_hWnd, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// What the status bar's control shows in a pane.
std::string ShownPaneText(const CStatusBar& bar, int pane) {
    char text[256] = {};
    ::SendMessageA(bar.m_hWnd, SB_GETTEXTA, static_cast<WPARAM>(pane), reinterpret_cast<LPARAM>(text));
    return text;
}

// The tooltip window a bar made for itself, if any.
HWND TooltipOf(const CWnd& frame) {
    for (HWND w = ::GetWindow(frame.m_hWnd, GW_HWNDFIRST); w; w = ::GetWindow(w, GW_HWNDNEXT)) {
        char name[64] = {};
        GetClassNameA(w, name, sizeof name);
        if (std::string(name) == TOOLTIPS_CLASSA) return w;
    }
    return nullptr;
}

class CSideMiniFrame : public CMiniDockFrameWnd {
    DECLARE_DYNCREATE(CSideMiniFrame)
};
IMPLEMENT_DYNCREATE(CSideMiniFrame, CMiniDockFrameWnd)

int ButtonState(const CToolBar& bar, UINT id) {
    return static_cast<int>(::SendMessageA(bar.m_hWnd, TB_GETSTATE, id, 0));
}

TEST_F(BarsTest, TheViewTakesWhatTheToolbarAndStatusBarLeave) {
    const CRect client = ClientOf(frame);
    const CRect tool = InFrame(frame.toolBar), status = InFrame(frame.statusBar), pane = InFrame(*view);
    EXPECT_EQ(tool.top, 0);
    EXPECT_GE(tool.Width(), 6 * kButton);
    EXPECT_GE(tool.Height(), kButtonHeight);
    EXPECT_EQ(status.bottom, client.bottom);
    EXPECT_EQ(status.Width(), client.Width());
    EXPECT_EQ(pane, CRect(0, tool.bottom, client.right, status.top));
}

TEST_F(BarsTest, TheTogglesHideAndShowTheBarsAndCheckTheirMenuItems) {
    const CRect before = InFrame(*view);
    for (const UINT id : {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}) {
        RecordingCmdUI ui;
        ui.m_nID = id;
        ASSERT_TRUE(frame.OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &ui, nullptr));
        EXPECT_EQ(ui.checked, 1) << id;
        frame.SendMessage(WM_COMMAND, id);
        RecordingCmdUI after;
        after.m_nID = id;
        ASSERT_TRUE(frame.OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &after, nullptr));
        EXPECT_EQ(after.checked, 0) << id;
    }
    EXPECT_FALSE(frame.toolBar.IsWindowVisible());
    EXPECT_FALSE(frame.statusBar.IsWindowVisible());
    EXPECT_EQ(InFrame(*view), ClientOf(frame));

    frame.SendMessage(WM_COMMAND, ID_VIEW_TOOLBAR);
    frame.SendMessage(WM_COMMAND, ID_VIEW_STATUS_BAR);
    EXPECT_TRUE(frame.toolBar.IsWindowVisible());
    EXPECT_EQ(InFrame(*view), before);
}

TEST_F(BarsTest, IdleTimeUpdatesButtonsAndIndicatorsFromTheFramesHandlers) {
    Idle();
    EXPECT_TRUE(ButtonState(frame.toolBar, kExport) & TBSTATE_ENABLED);
    EXPECT_TRUE(ButtonState(frame.toolBar, kQuillbridgeLog) & TBSTATE_CHECKED);
    EXPECT_FALSE(ButtonState(frame.toolBar, kDebugLog) & TBSTATE_CHECKED);
    // No handler at all: greyed.
    EXPECT_FALSE(ButtonState(frame.toolBar, kClear) & TBSTATE_ENABLED);
    EXPECT_EQ(ShownPaneText(frame.statusBar, 1), "LOADED");

    frame.exportEnabled = false;
    frame.logKind = 0x1000;
    frame.loaded = false;
    Idle();
    EXPECT_FALSE(ButtonState(frame.toolBar, kExport) & TBSTATE_ENABLED);
    EXPECT_FALSE(ButtonState(frame.toolBar, kQuillbridgeLog) & TBSTATE_CHECKED);
    EXPECT_TRUE(ButtonState(frame.toolBar, kDebugLog) & TBSTATE_CHECKED);
    // A disabled indicator shows nothing, and keeps its text for when it comes back.
    EXPECT_EQ(ShownPaneText(frame.statusBar, 1), "");
    frame.loaded = true;
    Idle();
    EXPECT_EQ(ShownPaneText(frame.statusBar, 1), "LOADED");
}

TEST_F(BarsTest, AClickedButtonRunsItsCommandThroughTheFrame) {
    RECT r;
    frame.toolBar.GetItemRect(frame.toolBar.CommandToIndex(kRefresh), &r);
    display->Click(OnScreen(frame.toolBar.m_hWnd, (r.left + r.right) / 2, (r.top + r.bottom) / 2));
    ASSERT_TRUE(PumpUntil([&] { return !frame.ran.empty(); }));
    EXPECT_EQ(frame.ran, std::vector<UINT>{kRefresh});
}

TEST_F(BarsTest, TheMessageBarSaysReadyWhenIdleAndPromptsWhileAMenuIsTracked) {
    EXPECT_EQ(frame.statusBar.GetPaneText(0), "Ready");
    frame.SendMessage(WM_MENUSELECT, MAKEWPARAM(kExport, 0), 0);
    EXPECT_EQ(frame.statusBar.GetPaneText(0), "Export current logs to a file");
    frame.SendMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(frame.statusBar.GetPaneText(0), "Ready");
    frame.SetMessageText("Loading");
    EXPECT_EQ(frame.statusBar.GetPaneText(0), "Loading");
    frame.SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
    EXPECT_EQ(frame.statusBar.GetPaneText(0), "Ready");
}

TEST_F(BarsTest, PointingAtAButtonShowsItsPromptAndLeavingSaysReady) {
    RECT r;
    frame.toolBar.GetItemRect(frame.toolBar.CommandToIndex(kDebugLog), &r);
    display->MoveMouse(OnScreen(frame.toolBar.m_hWnd, (r.left + r.right) / 2, (r.top + r.bottom) / 2));
    ASSERT_TRUE(PumpUntil([&] { return frame.statusBar.GetPaneText(0) == "Show Quillbridge debug logs"; }));
    display->MoveMouse(OnScreen(view->m_hWnd, 200, 150));
    EXPECT_TRUE(PumpUntil([&] { return frame.statusBar.GetPaneText(0) == "Ready"; }));
}

TEST_F(BarsTest, AButtonsTooltipIsTheTextAfterTheLineFeedOfItsString) {
    RECT r;
    frame.toolBar.GetItemRect(frame.toolBar.CommandToIndex(kExport), &r);
    display->MoveMouse(OnScreen(frame.toolBar.m_hWnd, (r.left + r.right) / 2, (r.top + r.bottom) / 2));
    PumpAll();
    const HWND tip = TooltipOf(frame);
    ASSERT_NE(tip, nullptr);
    NMTTDISPINFOA info{};
    info.hdr = NMHDR{tip, kExport, TTN_NEEDTEXTA};
    info.lpszText = info.szText;
    frame.toolBar.SendMessage(WM_NOTIFY, kExport, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(info.lpszText, "Export");
}

TEST_F(BarsTest, ABarFloatsInTheMiniFrameClassTheFrameNames) {
    frame.m_pFloatingFrameClass = RUNTIME_CLASS(CSideMiniFrame);
    frame.FloatControlBar(&frame.toolBar, CPoint(300, 300));
    PumpAll();
    ASSERT_TRUE(frame.toolBar.IsFloating());
    EXPECT_TRUE(frame.toolBar.GetParentFrame()->IsKindOf(RUNTIME_CLASS(CSideMiniFrame)));
    // Hidden and shown again by its toggle while floating.
    frame.SendMessage(WM_COMMAND, ID_VIEW_TOOLBAR);
    EXPECT_FALSE(frame.toolBar.IsWindowVisible());
    frame.SendMessage(WM_COMMAND, ID_VIEW_TOOLBAR);
    EXPECT_TRUE(frame.toolBar.IsWindowVisible());
}

TEST_F(BarsTest, ABarDocksOnEachSideAndTheViewKeepsTheRest) {
    const CRect client = ClientOf(frame);
    const CRect status = InFrame(frame.statusBar);

    frame.DockControlBar(&frame.toolBar, AFX_IDW_DOCKBAR_LEFT);
    PumpAll();
    CRect tool = InFrame(frame.toolBar);
    EXPECT_EQ(tool.left, 0);
    EXPECT_GT(tool.Height(), tool.Width());  // its buttons in a column
    EXPECT_EQ(InFrame(*view), CRect(tool.right, 0, client.right, status.top));

    frame.DockControlBar(&frame.toolBar, AFX_IDW_DOCKBAR_RIGHT);
    PumpAll();
    tool = InFrame(frame.toolBar);
    EXPECT_EQ(tool.right, client.right);
    EXPECT_EQ(InFrame(*view), CRect(0, 0, tool.left, status.top));

    frame.DockControlBar(&frame.toolBar, AFX_IDW_DOCKBAR_BOTTOM);
    PumpAll();
    tool = InFrame(frame.toolBar);
    EXPECT_GT(tool.Width(), tool.Height());
    EXPECT_EQ(tool.bottom, status.top);  // the status bar stays the outermost
    EXPECT_EQ(InFrame(*view), CRect(0, 0, client.right, tool.top));

    frame.DockControlBar(&frame.toolBar, AFX_IDW_DOCKBAR_TOP);
    PumpAll();
    EXPECT_EQ(InFrame(frame.toolBar).top, 0);
    EXPECT_FALSE(frame.toolBar.IsFloating());
}

TEST_F(BarsTest, AFloatingBarLivesInAMiniFrameAndDocksBack) {
    const CRect docked = InFrame(*view);
    CRect frameRect;
    frame.GetWindowRect(&frameRect);
    frame.FloatControlBar(&frame.toolBar, CPoint(frameRect.left + 200, frameRect.top + 150));
    PumpAll();
    ASSERT_TRUE(frame.toolBar.IsFloating());
    CFrameWnd* holder = frame.toolBar.GetParentFrame();
    ASSERT_NE(holder, nullptr);
    EXPECT_TRUE(holder->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd)));
    EXPECT_EQ(frame.toolBar.GetDockingFrame(), &frame);
    EXPECT_EQ(InFrame(*view).top, 0);  // the top is the view's now

    // Its commands still reach the frame and its states follow the frame's handlers.
    frame.exportEnabled = false;
    Idle();
    EXPECT_FALSE(ButtonState(frame.toolBar, kExport) & TBSTATE_ENABLED);

    frame.DockControlBar(&frame.toolBar, AFX_IDW_DOCKBAR_TOP);
    PumpAll();
    EXPECT_FALSE(frame.toolBar.IsFloating());
    EXPECT_EQ(frame.toolBar.GetParentFrame(), &frame);
    EXPECT_EQ(InFrame(*view), docked);
}

TEST_F(BarsTest, DraggingABarByItsEdgeDocksItWhereItIsDroppedOrFloatsIt) {
    const CPoint hold = OnSeparator(frame.toolBar);
    CRect client = ClientOf(frame);
    frame.ClientToScreen(&client);

    // Into the middle of the frame: it floats there.
    display->MoveMouse(hold);
    display->Press();
    display->MoveMouse(CPoint(hold.x - 20, hold.y + 40));
    display->MoveMouse(CPoint(client.left + 300, client.top + 200));
    display->Release();
    ASSERT_TRUE(PumpUntil([&] { return frame.toolBar.IsFloating() == TRUE; }));

    // Onto the left edge: it docks there, in a column.
    CRect floating;
    frame.toolBar.GetParentFrame()->GetWindowRect(&floating);
    const CPoint caption(floating.left + 20, floating.top + 5);
    display->MoveMouse(caption);
    display->Press();
    display->MoveMouse(CPoint(caption.x - 30, caption.y));
    display->MoveMouse(CPoint(client.left + 2, client.top + 120));
    display->Release();
    ASSERT_TRUE(PumpUntil([&] { return !frame.toolBar.IsFloating(); }));
    PumpAll();
    const CRect left = InFrame(frame.toolBar);
    EXPECT_EQ(left.left, 0);
    EXPECT_GT(left.Height(), left.Width());
}

TEST_F(BarsTest, EscapeCancelsADragAndTheBarStaysDocked) {
    const CRect before = InFrame(frame.toolBar);
    const CPoint hold = OnSeparator(frame.toolBar);
    display->MoveMouse(hold);
    display->Press();
    display->MoveMouse(CPoint(hold.x - 100, hold.y + 150));
    display->KeyPress(VK_ESCAPE);
    display->Release();
    PumpAll();
    EXPECT_FALSE(frame.toolBar.IsFloating());
    EXPECT_EQ(InFrame(frame.toolBar), before);
}

TEST_F(BarsTest, DoubleClickingAFloatingBarsCaptionDocksItWhereItWasDockedLast) {
    frame.DockControlBar(&frame.toolBar, AFX_IDW_DOCKBAR_RIGHT);
    PumpAll();
    // A double click on the docked bar's free part floats it...
    display->DoubleClick(OnSeparator(frame.toolBar));
    ASSERT_TRUE(PumpUntil([&] { return frame.toolBar.IsFloating() == TRUE; }));
    // ...and one on its mini-frame's caption puts it back on the right.
    CRect floating;
    frame.toolBar.GetParentFrame()->GetWindowRect(&floating);
    display->Advance(1000);
    display->DoubleClick(CPoint(floating.left + 20, floating.top + 5));
    ASSERT_TRUE(PumpUntil([&] { return !frame.toolBar.IsFloating(); }));
    PumpAll();
    EXPECT_EQ(InFrame(frame.toolBar).right, ClientOf(frame).right);
}

TEST_F(BarsTest, AFrameClosedWithAFloatingBarTakesItsMiniFrameAlong) {
    frame.FloatControlBar(&frame.toolBar, CPoint(300, 300));
    PumpAll();
    const HWND mini = frame.toolBar.GetParentFrame()->m_hWnd;
    ASSERT_TRUE(::IsWindow(mini));
    frame.DestroyWindow();
    PumpAll();
    EXPECT_FALSE(::IsWindow(mini));
    EXPECT_EQ(frame.toolBar.m_hWnd, nullptr);
}

TEST_F(BarsTest, AnIndicatorWithoutAStringIsRefusedAndLeavesNoPanes) {
    static const UINT unknown[] = {ID_SEPARATOR, 7999};
    EXPECT_FALSE(frame.statusBar.SetIndicators(unknown, 2));
    EXPECT_EQ(frame.statusBar.GetCount(), 0);
    Idle();  // nothing left to update
    static const UINT known[] = {ID_SEPARATOR, kIndicator};
    ASSERT_TRUE(frame.statusBar.SetIndicators(known, 2));
    EXPECT_EQ(frame.statusBar.CommandToIndex(kIndicator), 1);
    frame.SetMessageText(AFX_IDS_IDLEMESSAGE);
    EXPECT_EQ(ShownPaneText(frame.statusBar, 0), "Ready");
}

}  // namespace
}  // namespace bars
