#include <mutex>

#include "platform/controls/CommCtrl.h"
#include "platform/controls/Button.h"
#include "platform/controls/Dialog.h"
#include "platform/controls/Edit.h"
#include "platform/controls/Header.h"
#include "platform/controls/ListBox.h"
#include "platform/controls/ListView.h"
#include "platform/controls/MenuBar.h"
#include "platform/controls/MessageBox.h"
#include "platform/controls/PopupMenuWindow.h"
#include "platform/controls/Progress.h"
#include "platform/controls/ScrollBar.h"
#include "platform/controls/Static.h"
#include "platform/controls/StatusBar.h"
#include "platform/controls/Toolbar.h"
#include "platform/controls/Tooltip.h"

namespace {

// Each control file adds its class registration here.
void RegisterEveryClass() {
    ScrollBar::Register();
    PopupMenuWindow::Register();
    MenuBar::Install();
    Header::Register();
    ListView::Register();
    Button::Register();
    Dialog::Register();
    MessageBox::RegisterIcons();
    Edit::Register();
    ListBox::Register();
    Static::Register();
    Progress::Register();
    StatusBar::Register();
    Toolbar::Register();
    Tooltip::Register();
}

}  // namespace

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) {
    if (init && init->dwSize != sizeof(INITCOMMONCONTROLSEX)) return FALSE;
    static std::once_flag once;
    std::call_once(once, RegisterEveryClass);
    return TRUE;
}

void InitCommonControls() {
    INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&init);
}

BOOL CommonControlsGetVersion(DLLVERSIONINFO* info) {
    if (!info || info->cbSize != sizeof(DLLVERSIONINFO)) return FALSE;
    info->dwMajorVersion = 5;
    info->dwMinorVersion = 82;
    info->dwBuildNumber = 0;
    info->dwPlatformID = DLLVER_PLATFORM_NT;
    return TRUE;
}
