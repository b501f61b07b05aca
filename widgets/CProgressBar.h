#pragma once
// A progress control standing in a pane of the main frame's status bar, behind a message written
// into that pane, and kept sized to what the message leaves of the pane. The loading worker steps
// it from its own thread: StepIt reaches the control only by a message, which the control's
// thread handles, and does nothing once the control is gone.

#include <atomic>
#include <string>

#include "platform/framework/CProgressCtrl.h"

class CProgressBar : public CProgressCtrl {
    DECLARE_DYNAMIC(CProgressBar)

public:
    CProgressBar();
    ~CProgressBar() override;

    // FALSE when the main frame has no status bar or the control cannot be made.
    BOOL Create(LPCSTR message, int percent = 100, int maxValue = 100, BOOL smooth = FALSE, int paneIndex = 0);
    void SetText(LPCSTR text);
    BOOL SetRange(int lower, int upper, int step = 1);
    int SetPos(int position);
    int SetStep(int step);
    int StepIt();
    void Clear();

    const CRect& LastRect() const { return lastRect; }

protected:
    DECLARE_MESSAGE_MAP()

    BOOL OnEraseBkgnd(CDC* pDC);
    LRESULT OnStepIt(WPARAM, LPARAM);
    void PostNcDestroy() override;

private:
    static CWnd* GetStatusBar();
    void Resize();
    // Shows the control unless it is shown already.
    void MakeVisible();

    std::string message;
    int sizePercent = 100;
    int pane = 0;
    std::string savedPaneLabel;
    CRect lastRect;
    // The control's window for other threads; null once it is destroyed.
    std::atomic<HWND> window{nullptr};
};
