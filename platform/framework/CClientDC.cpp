#include "platform/framework/CClientDC.h"

#include "platform/framework/CWnd.h"
#include "platform/window/Windows.h"

IMPLEMENT_DYNAMIC(CClientDC, CDC)

CClientDC::CClientDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) { Attach(GetDC(m_hWnd)); }

CClientDC::~CClientDC() {
    if (HDC hdc = Detach()) ReleaseDC(m_hWnd, hdc);
}
