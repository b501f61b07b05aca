#pragma once
// Every text the program shows, in one place; the string table, the menu captions set at run
// time, the titles, the About box and the one error box take theirs from here.

namespace text {

inline constexpr const char* kAppTitle = "Quillbridge Log Viewer";
inline constexpr const char* kDocTemplate = "Quillbridge Log Viewer\n\npelorin\n\n\npelorin.Document\npelorin Document";
inline constexpr const char* kRegistryKey = "Quillbridge Log Viewer";

// Window titles: the program's title and the state joined by kTitleFormat.
inline constexpr const char* kTitleFormat = "%s - %s";
inline constexpr const char* kQuillbridgeLog = "Quillbridge Log";
inline constexpr const char* kLoadingQuillbridgeLog = "Loading Quillbridge Log...";
inline constexpr const char* kDebugLog = "Debug Log";
inline constexpr const char* kLoadingDebugLog = "Loading Debug Log...";
inline constexpr const char* kLoading = "Loading...";

inline constexpr const char* kServiceNotResponding =
    "Quillbridge Service is not responding, Log Viewer has to be terminated!";
inline constexpr const char* kErrorCaption = "Error";

// About box.
inline constexpr const char* kVersionText = "Version 1.0.1";
inline constexpr const char* kNoticeText = "Reads the logs of the Quillbridge service.";
inline constexpr const char* kOk = "OK";

// Side bar.
inline constexpr const char* kLogsFolder = "Logs";

// Menu captions, set by position at run time.
inline constexpr const char* kMenuLog = " &Log ";
inline constexpr const char* kMenuView = " &View ";
inline constexpr const char* kMenuFilter = " &Filter ";
inline constexpr const char* kMenuAbout = " &About ";
inline constexpr const char* kItemQuillbridgeLog = "&Quillbridge Log";
inline constexpr const char* kItemDebugLog = "&Debug Log";
inline constexpr const char* kItemExport = "&Export...";
inline constexpr const char* kItemClearLog = "&Clear log";
inline constexpr const char* kItemExit = "E&xit";
inline constexpr const char* kItemToolbar = "&Toolbar";
inline constexpr const char* kItemStatusbar = "&Statusbar";
inline constexpr const char* kItemLogDetail = "Log &Detail";
inline constexpr const char* kItemRefresh = "&Refresh\tF5";
inline constexpr const char* kItem1Day = "&1 Day";
inline constexpr const char* kItem2Days = "&2 Days";
inline constexpr const char* kItem3Days = "&3 Days";
inline constexpr const char* kItem1Week = "1 &Week";
inline constexpr const char* kItem2Weeks = "2 W&eeks";
inline constexpr const char* kItem1Month = "1 &Month";
inline constexpr const char* kItemAll = "&All";
inline constexpr const char* kItemLevel = "&Level";
inline constexpr const char* kItemFatal = "&Fatal";
inline constexpr const char* kItemError = "&Error";
inline constexpr const char* kItemWarning = "&Warning";
inline constexpr const char* kItemInfo = "&Info";
inline constexpr const char* kItemAbout = "&About...";

}  // namespace text
