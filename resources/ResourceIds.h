#pragma once
// The program's resource ids: commands of the menus, toolbar and keys, dialog controls,
// bitmaps, icons and strings.

#include "platform/kernel/WinTypes.h"

// The framework's standard commands that the program's menus, toolbar and keys use.
constexpr UINT ID_FILE_NEW = 0xE100;          // 57600
constexpr UINT ID_FILE_OPEN = 0xE101;         // 57601
constexpr UINT ID_FILE_SAVE = 0xE103;         // 57603
constexpr UINT ID_FILE_PRINT_SETUP = 0xE106;  // 57606
constexpr UINT ID_FILE_PRINT = 0xE107;        // 57607
constexpr UINT ID_EDIT_COPY = 0xE122;         // 57634
constexpr UINT ID_EDIT_CUT = 0xE123;          // 57635
constexpr UINT ID_EDIT_PASTE = 0xE125;        // 57637
constexpr UINT ID_EDIT_UNDO = 0xE12B;         // 57643
constexpr UINT ID_APP_ABOUT = 0xE140;         // 57664
constexpr UINT ID_APP_EXIT = 0xE141;          // 57665
constexpr UINT ID_HELP = 0xE146;              // 57670
constexpr UINT ID_NEXT_PANE = 0xE150;         // 57680
constexpr UINT ID_PREV_PANE = 0xE151;         // 57681
constexpr UINT ID_VIEW_TOOLBAR = 0xE800;      // 59392
constexpr UINT ID_VIEW_STATUS_BAR = 0xE801;   // 59393
constexpr UINT AFX_IDS_APP_TITLE = 0xE000;    // 57344

// The program's own commands.
constexpr UINT ID_VIEW_SIDEBAR = 32773;
constexpr UINT ID_FILTER_1DAY = 32774;
constexpr UINT ID_SELECT_QUILLBRIDGE_LOG = 32775;
constexpr UINT ID_FILTER_2DAYS = 32780;
constexpr UINT ID_FILTER_3DAYS = 32781;
constexpr UINT ID_FILTER_1WEEK = 32782;
constexpr UINT ID_FILTER_2WEEKS = 32783;
constexpr UINT ID_FILTER_1MONTH = 32784;
constexpr UINT ID_FILTER_ALL = 32785;
constexpr UINT ID_LEVEL_FATAL = 32786;
constexpr UINT ID_LEVEL_ERROR = 32787;
constexpr UINT ID_LEVEL_WARNING = 32788;
constexpr UINT ID_LEVEL_INFO = 32789;
constexpr UINT ID_LOG_EXPORT = 32790;
constexpr UINT ID_LOG_CLEAR = 32792;
constexpr UINT ID_VIEW_REFRESH = 32793;
constexpr UINT ID_VIEW_DETAIL = 32794;
constexpr UINT ID_LOG_QUILLBRIDGE = 32804;
constexpr UINT ID_LOG_DEBUG = 32805;

// Resources shared by the document template: menu, accelerators, toolbar, icon, its string.
constexpr UINT IDR_MAINFRAME = 128;
constexpr UINT IDD_ABOUTBOX = 100;
constexpr UINT IDB_TOOLBAR_HOT = 135;
constexpr UINT IDB_TOOLBAR_NORMAL = 138;
constexpr UINT IDB_TOOLBAR_DISABLED = 139;
constexpr UINT IDI_SIDEBAR_LOG = 129;

// Controls of the About box.
constexpr int IDC_ABOUT_PRODUCT = 1002;
constexpr int IDC_ABOUT_NOTICE = 1003;
constexpr int IDC_ABOUT_SEPARATOR = 1005;
constexpr int IDC_ABOUT_VERSION = 1007;
