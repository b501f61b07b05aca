#include "platform/framework/CCmdUI.h"

#include "platform/framework/CWnd.h"
#include "platform/window/Windows.h"

namespace {

constexpr UINT kButtonSetCheck = 0x00F1;  // BM_SETCHECK

}  // namespace

void CCmdUI::Enable(BOOL bOn) {
    if (m_pOther) {
        // The focus does not stay on a control that goes grey.
        if (!bOn && GetFocus() == m_pOther->m_hWnd) {
            if (CWnd* parent = m_pOther->GetParent()) parent->SetFocus();
        }
        m_pOther->EnableWindow(bOn);
    }
    m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int nCheck) {
    if (m_pOther) m_pOther->SendMessage(kButtonSetCheck, static_cast<WPARAM>(nCheck), 0);
}

void CCmdUI::SetRadio(BOOL bOn) { SetCheck(bOn ? 1 : 0); }

void CCmdUI::SetText(LPCSTR lpszText) {
    if (m_pOther) m_pOther->SetWindowText(lpszText ? lpszText : "");
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler) {
    if (m_nID == 0 || LOWORD(m_nID) == 0xFFFF) return TRUE;  // separators and popups without commands
    m_bEnableChanged = FALSE;
    BOOL handled = pTarget->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this, nullptr);
    if (bDisableIfNoHndler && !m_bEnableChanged) {
        AFX_CMDHANDLERINFO info{nullptr, nullptr};
        Enable(pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info));
        handled = TRUE;
    }
    return handled;
}
