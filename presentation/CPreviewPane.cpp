#include "presentation/CPreviewPane.h"

#include <utility>

#include "platform/controls/CommCtrl.h"
#include "platform/controls/Static.h"
#include "platform/framework/AfxMsg.h"
#include "platform/framework/CDC.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/SystemColors.h"

IMPLEMENT_DYNCREATE(CPreviewPane, CView)

namespace {

constexpr int kLabelX = 4;
constexpr int kValueX = 75;
constexpr int kFirstLineY = 4;
constexpr int kSecondLineY = 18;
constexpr int kDetailX = 5;
constexpr int kDetailGap = 3;  // between the expanded header and the detail text

}  // namespace

CPreviewPane::CPreviewPane() {
    LOGFONTA font{};
    CGdiObject::FromHandle(GetStockObject(DEFAULT_GUI_FONT))->GetObject(sizeof font, &font);
    normalFont.CreateFontIndirect(&font);
    font.lfWeight = FW_HEAVY;
    boldFont.CreateFontIndirect(&font);
}

CPreviewPane::~CPreviewPane() = default;

BEGIN_MESSAGE_MAP(CPreviewPane, CView)
ON_WM_CREATE()
ON_WM_LBUTTONDBLCLK()
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

int CPreviewPane::OnCreate(LPCREATESTRUCTA lpcs) {
    if (CView::OnCreate(lpcs) == -1) return -1;
    InitCommonControls();
    detailControl.Create("Static", detailText.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT, CRect(), this,
                         kDetailControlId);
    return 0;
}

void CPreviewPane::SetContent(const std::string& levelText, const std::string& timeText, const std::string& detail) {
    firstValue = levelText;
    secondValue = timeText;
    detailText = detail;
    Invalidate(TRUE);
}

void CPreviewPane::OnDraw(CDC* pDC) {
    GetWindowRect(&headerRect);
    ScreenToClient(&headerRect);
    if (GetExStyle() & WS_EX_LAYOUTRTL) std::swap(headerRect.left, headerRect.right);
    bodyRect = headerRect;
    const int h = expanded ? kExpandedHeader : kCollapsedHeader;
    headerRect.bottom = h;
    bodyRect.top = h;

    pDC->FillSolidRect(&headerRect, GetSysColor(COLOR_BTNFACE));
    pDC->Draw3dRect(&headerRect, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
    pDC->SetBkMode(TRANSPARENT);
    if (expanded) {
        CFont* old = pDC->SelectObject(&boldFont);
        pDC->TextOut(kLabelX, kFirstLineY, firstLabel);
        pDC->TextOut(kLabelX, kSecondLineY, secondLabel);
        pDC->SelectObject(&normalFont);
        pDC->TextOut(kValueX, kFirstLineY, firstValue);
        pDC->TextOut(kValueX, kSecondLineY, secondValue);
        pDC->SelectObject(old);
    }

    if (!detailControl.m_hWnd) return;
    detailControl.SetFont(&normalFont, TRUE);
    // Set only when it changed: setting the text repaints the control.
    if (detailControl.GetWindowText() != detailText) detailControl.SetWindowText(detailText);
    detailControl.MoveWindow(kDetailX, expanded ? kExpandedHeader + kDetailGap : kCollapsedHeader, bodyRect.Width(),
                             bodyRect.Height(), TRUE);
}

void CPreviewPane::OnLButtonDblClk(UINT nFlags, CPoint point) {
    if (headerRect.PtInRect(point)) {
        expanded = !expanded;
        Invalidate(TRUE);
    }
    CView::OnLButtonDblClk(nFlags, point);
}

HBRUSH CPreviewPane::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    if (nCtlColor == CTLCOLOR_STATIC && pWnd && pWnd->m_hWnd == detailControl.m_hWnd) {
        pDC->SetBkMode(TRANSPARENT);
        return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    }
    return CView::OnCtlColor(pDC, pWnd, nCtlColor);
}
