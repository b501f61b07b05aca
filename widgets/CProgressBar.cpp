#include "widgets/CProgressBar.h"

#include <vector>

#include "platform/framework/AfxMsg.h"
#include "platform/framework/AfxRes.h"
#include "platform/framework/CClientDC.h"
#include "platform/framework/CFont.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CStatusBar.h"
#include "platform/framework/CWinApp.h"
#include "platform/framework/StringTable.h"
#include "platform/window/Windows.h"

IMPLEMENT_DYNAMIC(CProgressBar, CProgressCtrl)

namespace {

constexpr UINT kControlId = 1;

// The framework's status bar keeps the pane texts itself; a plain status control is asked.
std::string PaneText(CWnd* bar, int index) {
    if (auto* status = dynamic_cast<CStatusBar*>(bar)) return status->GetPaneText(index);
    const auto length = LOWORD(static_cast<DWORD>(bar->SendMessage(SB_GETTEXTLENGTHA, static_cast<WPARAM>(index))));
    std::vector<char> text(length + 1u, '\0');
    bar->SendMessage(SB_GETTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

void SetPaneText(CWnd* bar, int index, const std::string& text) {
    if (auto* status = dynamic_cast<CStatusBar*>(bar))
        status->SetPaneText(index, text.c_str());
    else
        bar->SendMessage(SB_SETTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.c_str()));
}

CRect PaneRect(CWnd* bar, int index) {
    CRect rect;
    if (!bar->SendMessage(SB_GETRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect))) rect = CRect();
    return rect;
}

}  // namespace

CProgressBar::CProgressBar() = default;

CProgressBar::~CProgressBar() { Clear(); }

CWnd* CProgressBar::GetStatusBar() {
    CWnd* main = AfxGetMainWnd();
    if (!main || !main->m_hWnd) return nullptr;
    if (auto* frame = dynamic_cast<CFrameWnd*>(main)) return frame->GetMessageBar();
    return main->GetDescendantWindow(AFX_IDW_STATUS_BAR);
}

BOOL CProgressBar::Create(LPCSTR text, int percent, int maxValue, BOOL smooth, int paneIndex) {
    CWnd* bar = GetStatusBar();
    if (!bar) return FALSE;
    const DWORD style = WS_CHILD | WS_VISIBLE | (smooth ? PBS_SMOOTH : 0);
    if (!CProgressCtrl::Create(style, PaneRect(bar, paneIndex), bar, kControlId)) return FALSE;
    window = m_hWnd;
    SetRange(0, maxValue, 1);
    message = text ? text : "";
    sizePercent = percent;
    pane = paneIndex;
    savedPaneLabel = PaneText(bar, paneIndex);
    Resize();
    return TRUE;
}

void CProgressBar::SetText(LPCSTR text) {
    message = text ? text : "";
    Resize();
}

BOOL CProgressBar::SetRange(int lower, int upper, int step) {
    if (!::IsWindow(m_hWnd)) return FALSE;
    SetRange32(lower, upper);
    CProgressCtrl::SetStep(step);
    return TRUE;
}

int CProgressBar::SetPos(int position) {
    if (!::IsWindow(m_hWnd)) return 0;
    MakeVisible();
    return CProgressCtrl::SetPos(position);
}

int CProgressBar::SetStep(int step) {
    if (!::IsWindow(m_hWnd)) return 0;
    MakeVisible();
    return CProgressCtrl::SetStep(step);
}

int CProgressBar::StepIt() {
    // m_hWnd belongs to the control's thread; the worker goes by the copy.
    const HWND hwnd = window.load();
    if (!hwnd || !::IsWindow(hwnd)) return 0;
    return static_cast<int>(::SendMessageA(hwnd, PBM_STEPIT, 0, 0));
}

// Stepped once a record while a log loads: showing a window already shown would only move it
// to where it is, with its notifications, every time.
void CProgressBar::MakeVisible() {
    if (!(GetStyle() & WS_VISIBLE)) ShowWindow(SW_SHOW);
}

void CProgressBar::Clear() {
    if (!::IsWindow(m_hWnd)) return;
    ShowWindow(SW_HIDE);
    if (CWnd* bar = GetStatusBar()) {
        SetPaneText(bar, pane, pane == 0 ? AfxLoadString(AFX_IDS_IDLEMESSAGE) : savedPaneLabel);
        bar->UpdateWindow();
    }
}

void CProgressBar::Resize() {
    if (!::IsWindow(m_hWnd)) return;
    CWnd* bar = GetStatusBar();
    if (!bar) return;
    // Written only when it differs: writing repaints the pane, whose erasing calls this again.
    if (IsWindowVisible() && PaneText(bar, pane) != message) {
        SetPaneText(bar, pane, message);
        bar->UpdateWindow();
    }

    CClientDC dc(bar);
    CFont* old = dc.SelectObject(bar->GetFont());
    const int textWidth = dc.GetTextExtent(message).cx;
    const int spaceWidth = dc.GetTextExtent(std::string(" ")).cx;
    if (old) dc.SelectObject(old);

    CRect rect = PaneRect(bar, pane);
    if (!message.empty()) rect.left += textWidth + 4 * spaceWidth;
    rect.right -= (100 - sizePercent) * rect.Width() / 100;
    if (rect.right < rect.left) rect.right = rect.left;
    const int margin = rect.Height() / 10;
    rect.top += margin;
    rect.bottom -= margin;

    if (!(rect == lastRect)) {
        SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        lastRect = rect;
    }
}

BEGIN_MESSAGE_MAP(CProgressBar, CProgressCtrl)
ON_WM_ERASEBKGND()
ON_MESSAGE(PBM_STEPIT, &CProgressBar::OnStepIt)
END_MESSAGE_MAP()

BOOL CProgressBar::OnEraseBkgnd(CDC* pDC) {
    Resize();
    return CProgressCtrl::OnEraseBkgnd(pDC);
}

// Showing the control belongs on its own thread, whoever steps it.
LRESULT CProgressBar::OnStepIt(WPARAM, LPARAM) {
    MakeVisible();
    return Default();
}

void CProgressBar::PostNcDestroy() {
    window = nullptr;
    CProgressCtrl::PostNcDestroy();
}
