#pragma once
// The document view: for the Quillbridge log a splitter with the record list above the preview
// pane (whose row starts hidden), for the debug log a read-only text box instead.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/framework/CView.h"
#include "widgets/CHideableSplitter.h"

class CContainerView;
class CPreviewPane;

class CPelorinView : public CView {
    DECLARE_DYNCREATE(CPelorinView)

public:
    static constexpr UINT kDebugTextId = 1009;
    static constexpr std::uint32_t kDebugLog = 0x1000;

    CPelorinView();
    ~CPelorinView() override;

    // The debug log (0x1000) shows the text box, any other kind the list and preview.
    void ShowLogKind(std::uint32_t logKind);
    void SetDebugText(std::string_view text);
    std::string GetDebugText() const;

    CHideableSplitter& Splitter() { return splitter; }
    CWnd& DebugTextBox() { return debugText; }
    // Null when the splitter or its panes could not be made.
    CContainerView* GetList() const;
    // The preview pane while its row shows, else null.
    CPreviewPane* GetPreview() const;

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    void OnDraw(CDC*) override {}

protected:
    DECLARE_MESSAGE_MAP()

    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnSize(UINT nType, int cx, int cy);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

private:
    CHideableSplitter splitter;
    CWnd debugText;
};
