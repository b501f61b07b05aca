#pragma once
// The program's resource ids: commands of the menus, toolbar and keys, dialog controls,
// bitmaps, icons and strings.

// The framework's standard commands (ID_APP_ABOUT, ID_VIEW_TOOLBAR, ...) come with it.
#include "platform/framework/AfxRes.h"
#include "platform/kernel/WinTypes.h"

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
