#include "platform/framework/CPaintDC.h"

#include "platform/framework/CWnd.h"
#include "platform/window/Windows.h"

IMPLEMENT_DYNAMIC(CPaintDC, CDC)

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(wnd->m_hWnd) { Attach(BeginPaint(m_hWnd, &m_ps)); }

CPaintDC::~CPaintDC() {
    if (Detach()) EndPaint(m_hWnd, &m_ps);
}
