#include "app/CAboutDlg.h"

#include "platform/controls/Dialog.h"
#include "platform/framework/CGdiObject.h"
#include "platform/framework/CRect.h"
#include "platform/graphics/Gdi.h"
#include "resources/ProgramTexts.h"
#include "resources/ResourceIds.h"

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

BOOL CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    LOGFONTA font{};
    CGdiObject::FromHandle(GetStockObject(DEFAULT_GUI_FONT))->GetObject(sizeof font, &font);
    normalFont.CreateFontIndirect(&font);
    font.lfWeight = 900;
    boldFont.CreateFontIndirect(&font);

    // The template's frame is a dialog unit high: made exactly one pixel.
    if (CWnd* separator = GetDlgItem(IDC_ABOUT_SEPARATOR)) {
        CRect r;
        separator->GetWindowRect(&r);
        r.bottom = r.top + 1;
        ScreenToClient(&r);
        if (GetExStyle() & WS_EX_LAYOUTRTL) std::swap(r.left, r.right);
        separator->MoveWindow(&r);
    }
    SetDlgItemText(IDC_ABOUT_PRODUCT, text::kAppTitle);
    SetDlgItemText(IDC_ABOUT_VERSION, text::kVersionText);
    SetDlgItemText(IDC_ABOUT_NOTICE, text::kNoticeText);
    for (const auto& [id, f] : {std::pair{IDC_ABOUT_PRODUCT, &boldFont}, std::pair{IDC_ABOUT_VERSION, &normalFont},
                                std::pair{IDC_ABOUT_NOTICE, &normalFont}})
        if (CWnd* control = GetDlgItem(id)) control->SetFont(f, TRUE);
    SetDlgItemText(IDOK, text::kOk);
    SetWindowText(text::kItemAbout);
    return TRUE;
}
