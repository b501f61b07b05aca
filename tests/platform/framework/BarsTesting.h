#pragma once
// Bar tests: a frame made as a program makes its main frame (a toolbar from a resource, a status
// bar with an indicator, docking on every side) around a plain view, with commands whose states
// the tests choose.

#include <string>
#include <vector>

#include "platform/framework/AfxMsg.h"
#include "platform/framework/CCmdUI.h"
#include "platform/framework/CCreateContext.h"
#include "platform/framework/CDockBar.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CStatusBar.h"
#include "platform/framework/CToolBar.h"
#include "platform/framework/CView.h"
#include "platform/framework/StringTable.h"
#include "platform/framework/ToolbarResource.h"
#include "platform/graphics/ResourceImages.h"
#include "tests/platform/framework/FrameworkTesting.h"

namespace bars {

constexpr UINT kToolbar = 7301;
constexpr UINT kQuillbridgeLog = 32804;
constexpr UINT kDebugLog = 32805;
constexpr UINT kExport = 32790;
constexpr UINT kRefresh = 32793;
constexpr UINT kClear = 32792;
constexpr UINT kIndicator = 7310;  // a status-bar indicator with a handler
constexpr int kButton = 23;        // 16 x 15 pictures in 23 x 22 buttons
constexpr int kButtonHeight = 22;
constexpr int kSeparator = 6;  // the flat style's

// The toolbar of the tests: six buttons, three separators (156 pixels in a row).
inline void RegisterBarResources() {
    ToolbarResource::Register(kToolbar, ToolbarResource{1, 16, 15, {kQuillbridgeLog, kDebugLog, 0, kExport, 0,
                                                                     kRefresh, kClear, 0, ID_APP_ABOUT}});
    std::string art = "96 15\ncolor . C0C0C0\ncolor k 000000\n";
    for (int y = 0; y < 15; ++y) {
        for (int x = 0; x < 96; ++x) art += (x % 16 == y) ? 'k' : '.';
        art += '\n';
    }
    ResourceImages::AddBitmap(static_cast<int>(kToolbar), art);
    StringTable::Register({
        {kQuillbridgeLog, "Show Quillbridge logs\nQuillbridge Log"},
        {kDebugLog, "Show Quillbridge debug logs\nDebug Log"},
        {kExport, "Export current logs to a file\nExport"},
        {kRefresh, "Refresh logs\nRefresh"},
        {kClear, "Remove all the logs\nClear"},
        {kIndicator, "LOADED"},
    });
}

class CPlainView : public CView {
    DECLARE_DYNCREATE(CPlainView)

public:
    void OnDraw(CDC*) override {}
};

class CBarsFrame : public CFrameWnd {
public:
    CToolBar toolBar;
    CStatusBar statusBar;
    bool exportEnabled = true;
    int logKind = 1;
    bool loaded = true;
    std::vector<UINT> ran;  // commands run, in order

protected:
    DECLARE_MESSAGE_MAP()

    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnQuillbridgeLog() { ran.push_back(kQuillbridgeLog); }
    void OnDebugLog() { ran.push_back(kDebugLog); }
    void OnExport() { ran.push_back(kExport); }
    void OnRefresh() { ran.push_back(kRefresh); }
    void OnUpdateQuillbridgeLog(CCmdUI* ui) { ui->SetCheck(logKind == 1); }
    void OnUpdateDebugLog(CCmdUI* ui) { ui->SetCheck(logKind == 0x1000); }
    void OnUpdateExport(CCmdUI* ui) { ui->Enable(exportEnabled); }
    void OnUpdateIndicator(CCmdUI* ui) { ui->Enable(loaded); }
};

// A frame of 600 x 400 at (0, 0) made with its bars, docked as a program docks them.
class BarsTest : public FrameworkTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A window's rectangle in the frame's client coordinates.
    CRect InFrame(const CWnd& wnd) const;
    // Lets idle time come: the bars update their commands.
    void Idle();

    CBarsFrame frame;
    CWnd* view = nullptr;
};

}  // namespace bars
