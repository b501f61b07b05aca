#pragma once
// The selected record in detail: a header strip with its level and time, which a double click
// collapses to a thin strip and expands again, and below it the detail text on white, wrapped at
// the pane's width.

#include <string>

#include "platform/framework/CFont.h"
#include "platform/framework/CView.h"

class CPreviewPane : public CView {
    DECLARE_DYNCREATE(CPreviewPane)

public:
    static constexpr UINT kDetailControlId = 0xFFFF;
    static constexpr int kExpandedHeader = 35;
    static constexpr int kCollapsedHeader = 5;

    CPreviewPane();
    ~CPreviewPane() override;

    void SetContent(const std::string& levelText, const std::string& timeText, const std::string& detail);

    const std::string& FirstValue() const { return firstValue; }
    const std::string& SecondValue() const { return secondValue; }
    const std::string& Detail() const { return detailText; }
    BOOL IsExpanded() const { return expanded; }
    const CRect& HeaderRect() const { return headerRect; }
    CWnd& DetailControl() { return detailControl; }

    void OnDraw(CDC* pDC) override;

protected:
    DECLARE_MESSAGE_MAP()

    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

private:
    CFont boldFont;
    CFont normalFont;
    std::string firstLabel = "Log level";
    std::string secondLabel = "Time";
    std::string firstValue;
    std::string secondValue;
    std::string detailText;
    CRect headerRect;
    CRect bodyRect;
    BOOL expanded = TRUE;
    CWnd detailControl;
};
