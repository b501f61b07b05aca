#pragma once
// A dialog box made from a registered template: modal (DoModal, in the dialog manager's own loop,
// its owner disabled meanwhile) or modeless (Create). The dialog's window is subclassed as it is
// made, so its map sees every message; WM_INITDIALOG reaches OnInitDialog, and the OK and Cancel
// buttons OnOK and OnCancel.

#include <cstdint>

#include "platform/framework/CWnd.h"

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)

public:
    CDialog() = default;
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    explicit CDialog(LPCSTR lpszTemplateName, CWnd* pParentWnd = nullptr);

    // EndDialog's result; -1 when the dialog could not be made.
    virtual std::intptr_t DoModal();
    using CWnd::Create;
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    BOOL Create(LPCSTR lpszTemplateName, CWnd* pParentWnd = nullptr);

    // After the controls exist; TRUE gives the focus to the first control.
    virtual BOOL OnInitDialog();
    virtual void OnOK();      // IDOK: ends the dialog with IDOK
    virtual void OnCancel();  // IDCANCEL (Escape, the close box): ends it with IDCANCEL
    void EndDialog(int nResult);

    void NextDlgCtrl() const;
    void PrevDlgCtrl() const;
    void GotoDlgCtrl(CWnd* pWndCtrl);
    void SetDefID(UINT nID);
    DWORD GetDefID() const;

    // A modeless dialog takes its keys (Tab, Enter, Escape, mnemonics) here.
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    DECLARE_MESSAGE_MAP()

    LPCSTR m_lpszTemplateName = nullptr;
    UINT m_nIDHelp = 0;
    CWnd* m_pParentWnd = nullptr;

private:
    HWND OwnerWindow() const;
};
