#include "platform/framework/CWindowDC.h"

#include "platform/framework/CWnd.h"
#include "platform/window/Windows.h"

IMPLEMENT_DYNAMIC(CWindowDC, CDC)

CWindowDC::CWindowDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) { Attach(GetWindowDC(m_hWnd)); }

CWindowDC::~CWindowDC() {
    if (HDC hdc = Detach()) ReleaseDC(m_hWnd, hdc);
}
