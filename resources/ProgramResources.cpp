#include "resources/ProgramResources.h"

#include <iterator>

#include "platform/controls/Button.h"
#include "platform/controls/Dialog.h"
#include "platform/controls/MenuRegistry.h"
#include "platform/controls/Menus.h"
#include "platform/controls/Static.h"
#include "platform/framework/StringTable.h"
#include "platform/framework/ToolbarResource.h"
#include "platform/window/WindowTypes.h"
#include "resources/ProgramTexts.h"
#include "resources/ResourceIds.h"

namespace {

const StringResource kStrings[] = {
    {IDR_MAINFRAME, text::kDocTemplate},
    {AFX_IDS_APP_TITLE, text::kAppTitle},
    {ID_LOG_EXPORT, "Export current logs to a file\nExport"},
    {ID_LOG_CLEAR, "Remove all the logs\nClear"},
    {ID_VIEW_REFRESH, "Refresh logs\nRefresh"},
    {ID_LOG_QUILLBRIDGE, "Show Quillbridge logs\nQuillbridge Log"},
    {ID_LOG_DEBUG, "Show Quillbridge debug logs\nDebug Log"},
    {ID_VIEW_TOOLBAR, "Show or hide the toolbar\nToggle ToolBar"},
    {ID_VIEW_STATUS_BAR, "Show or hide the status bar\nToggle StatusBar"},
    {ID_APP_EXIT, "Quit the application; prompts to save documents\nExit"},
};

MenuTemplate Item(UINT id, const char* caption) { return MenuTemplate(0, id, caption); }
MenuTemplate Separator() { return MenuTemplate(MF_SEPARATOR); }
MenuTemplate Popup(const char* caption, std::vector<MenuTemplate> items) {
    return MenuTemplate(MF_POPUP, 0, caption, std::move(items));
}

ACCEL Key(BYTE modifiers, WORD key, WORD command) {
    return ACCEL{static_cast<BYTE>(FVIRTKEY | modifiers), key, command};
}

}  // namespace

std::span<const StringResource> ProgramStrings() { return kStrings; }

MenuTemplate MainMenu() {
    using namespace text;
    return MenuTemplate(
        0, 0, "",
        {
            Popup(kMenuLog, {Item(ID_LOG_QUILLBRIDGE, kItemQuillbridgeLog), Item(ID_LOG_DEBUG, kItemDebugLog),
                             Separator(), Item(ID_LOG_EXPORT, kItemExport), Separator(),
                             Item(ID_LOG_CLEAR, kItemClearLog), Separator(), Item(ID_APP_EXIT, kItemExit)}),
            Popup(kMenuView,
                  {Item(ID_VIEW_TOOLBAR, kItemToolbar), Item(ID_VIEW_STATUS_BAR, kItemStatusbar), Separator(),
                   Item(ID_VIEW_DETAIL, kItemLogDetail), Separator(), Item(ID_VIEW_REFRESH, kItemRefresh)}),
            Popup(
                kMenuFilter,
                {Item(ID_FILTER_1DAY, kItem1Day), Item(ID_FILTER_2DAYS, kItem2Days), Item(ID_FILTER_3DAYS, kItem3Days),
                 Item(ID_FILTER_1WEEK, kItem1Week), Item(ID_FILTER_2WEEKS, kItem2Weeks),
                 Item(ID_FILTER_1MONTH, kItem1Month), Item(ID_FILTER_ALL, kItemAll), Separator(),
                 Popup(kItemLevel, {Item(ID_LEVEL_FATAL, kItemFatal), Item(ID_LEVEL_ERROR, kItemError),
                                    Item(ID_LEVEL_WARNING, kItemWarning), Item(ID_LEVEL_INFO, kItemInfo)})}),
            Popup(kMenuAbout, {Item(ID_APP_ABOUT, kItemAbout)}),
        });
}

std::vector<ACCEL> MainAccelerators() {
    return {
        Key(0, VK_F5, ID_VIEW_REFRESH),    Key(0, VK_F1, ID_HELP),
        Key(FCONTROL, 'N', ID_FILE_NEW),   Key(FCONTROL, 'O', ID_FILE_OPEN),
        Key(FCONTROL, 'P', ID_FILE_PRINT), Key(FCONTROL, 'S', ID_FILE_SAVE),
        Key(0, VK_F6, ID_NEXT_PANE),       Key(FSHIFT, VK_F6, ID_PREV_PANE),
        Key(FCONTROL, 'C', ID_EDIT_COPY),  Key(FCONTROL, VK_INSERT, ID_EDIT_COPY),
        Key(FCONTROL, 'V', ID_EDIT_PASTE), Key(FSHIFT, VK_INSERT, ID_EDIT_PASTE),
        Key(FCONTROL, 'X', ID_EDIT_CUT),   Key(FSHIFT, VK_DELETE, ID_EDIT_CUT),
        Key(FCONTROL, 'Z', ID_EDIT_UNDO),  Key(FALT, VK_BACK, ID_EDIT_UNDO),
    };
}

ToolbarLayout MainToolbar() {
    return {16,
            15,
            {ID_LOG_QUILLBRIDGE, ID_LOG_DEBUG, 0, ID_LOG_EXPORT, 0, ID_VIEW_REFRESH, ID_LOG_CLEAR, 0, ID_APP_ABOUT}};
}

DialogTemplate AboutDialog() {
    DialogTemplate about;
    about.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    about.cx = 196;
    about.cy = 62;
    about.caption = "About ...";
    about.fontFace = "MS Sans Serif";
    about.pointSize = 8;
    // The three texts are set when the box opens.
    about.items = {
        {"Button", text::kOk, IDOK, WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 137, 41, 52, 14},
        {"Static", "#128", IDC_STATIC, SS_ICON, 0, 9, 10, 20, 20},
        {"Static", "", IDC_ABOUT_PRODUCT, 0, 0, 42, 11, 142, 8},
        {"Static", "", IDC_ABOUT_SEPARATOR, SS_GRAYFRAME, 0, 7, 38, 181, 1},
        {"Static", "", IDC_ABOUT_NOTICE, 0, 0, 7, 44, 125, 8},
        {"Static", "", IDC_ABOUT_VERSION, 0, 0, 42, 23, 146, 8},
    };
    return about;
}

void RegisterProgramResources() {
    MenuRegistry::Instance().Register(MAKEINTRESOURCEA(IDR_MAINFRAME), MainMenu());
    AcceleratorTable::Instance().Register(MAKEINTRESOURCEA(IDR_MAINFRAME), MainAccelerators());
    DialogTemplate::Register(MAKEINTRESOURCEA(IDD_ABOUTBOX), AboutDialog());
    for (const StringResource& entry : kStrings) StringTable::Register(entry.id, entry.text);
    const ToolbarLayout layout = MainToolbar();
    ToolbarResource toolbar;
    toolbar.wWidth = layout.width;
    toolbar.wHeight = layout.height;
    toolbar.items = layout.items;
    ToolbarResource::Register(IDR_MAINFRAME, toolbar);
}
