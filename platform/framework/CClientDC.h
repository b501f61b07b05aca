#pragma once
// A context on a window's client area, released when it goes.

#include "platform/framework/CDC.h"
#include "platform/window/WindowTypes.h"

class CWnd;

class CClientDC : public CDC {
    DECLARE_DYNAMIC(CClientDC)

public:
    explicit CClientDC(CWnd* wnd);  // null: the screen
    ~CClientDC() override;

protected:
    HWND m_hWnd;
};
