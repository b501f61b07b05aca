#pragma once
// The context of a WM_PAINT: BeginPaint when made, EndPaint when it goes.

#include "platform/framework/CDC.h"
#include "platform/window/WindowTypes.h"

class CWnd;

class CPaintDC : public CDC {
    DECLARE_DYNAMIC(CPaintDC)

public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps{};

protected:
    HWND m_hWnd;
};
