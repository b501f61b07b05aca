#pragma once
// The About box (dialog 100): the product in bold, its version, a notice, a one-pixel rule.

#include "platform/framework/CDialog.h"
#include "platform/framework/CFont.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
    BOOL OnInitDialog() override;

private:
    CFont normalFont;
    CFont boldFont;
};
