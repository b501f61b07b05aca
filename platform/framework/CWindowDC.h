#pragma once
// A context on a whole window, frame included, released when it goes.

#include "platform/framework/CDC.h"
#include "platform/window/WindowTypes.h"

class CWnd;

class CWindowDC : public CDC {
    DECLARE_DYNAMIC(CWindowDC)

public:
    explicit CWindowDC(CWnd* wnd);
    ~CWindowDC() override;

protected:
    HWND m_hWnd;
};
