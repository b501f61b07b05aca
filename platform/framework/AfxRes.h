#pragma once
// The framework's standard command ids, window ids and string ids, with the values programs and
// their resources use.

#include "platform/kernel/WinTypes.h"

// Commands of the file menu.
constexpr UINT ID_FILE_NEW = 0xE100;  // 57600
constexpr UINT ID_FILE_OPEN = 0xE101;
constexpr UINT ID_FILE_CLOSE = 0xE102;
constexpr UINT ID_FILE_SAVE = 0xE103;
constexpr UINT ID_FILE_SAVE_AS = 0xE104;
constexpr UINT ID_FILE_PAGE_SETUP = 0xE105;
constexpr UINT ID_FILE_PRINT_SETUP = 0xE106;  // 57606
constexpr UINT ID_FILE_PRINT = 0xE107;        // 57607
constexpr UINT ID_FILE_PRINT_DIRECT = 0xE108;
constexpr UINT ID_FILE_PRINT_PREVIEW = 0xE109;
constexpr UINT ID_FILE_MRU_FILE1 = 0xE110;
constexpr UINT ID_FILE_MRU_FILE16 = 0xE11F;
constexpr UINT ID_FILE_MRU_FIRST = ID_FILE_MRU_FILE1;
constexpr UINT ID_FILE_MRU_LAST = ID_FILE_MRU_FILE16;

// Commands of the edit menu (a program may map them; the framework does not).
constexpr UINT ID_EDIT_CLEAR = 0xE120;
constexpr UINT ID_EDIT_COPY = 0xE122;   // 57634
constexpr UINT ID_EDIT_CUT = 0xE123;    // 57635
constexpr UINT ID_EDIT_PASTE = 0xE125;  // 57637
constexpr UINT ID_EDIT_SELECT_ALL = 0xE12A;
constexpr UINT ID_EDIT_UNDO = 0xE12B;  // 57643

// Application, help and window commands.
constexpr UINT ID_APP_ABOUT = 0xE140;  // 57664
constexpr UINT ID_APP_EXIT = 0xE141;   // 57665
constexpr UINT ID_HELP_INDEX = 0xE142;
constexpr UINT ID_HELP_FINDER = 0xE143;
constexpr UINT ID_HELP_USING = 0xE144;
constexpr UINT ID_CONTEXT_HELP = 0xE145;
constexpr UINT ID_HELP = 0xE146;  // 57670
constexpr UINT ID_DEFAULT_HELP = 0xE147;
constexpr UINT ID_NEXT_PANE = 0xE150;  // 57680
constexpr UINT ID_PREV_PANE = 0xE151;  // 57681

// Views and bars.
constexpr UINT ID_VIEW_TOOLBAR = 0xE800;     // 59392
constexpr UINT ID_VIEW_STATUS_BAR = 0xE801;  // 59393

// Standard control and pane ids.
constexpr UINT AFX_IDW_CONTROLBAR_FIRST = 0xE800;
constexpr UINT AFX_IDW_CONTROLBAR_LAST = 0xE8FF;
constexpr UINT AFX_IDW_TOOLBAR = 0xE800;
constexpr UINT AFX_IDW_STATUS_BAR = 0xE801;
constexpr UINT AFX_IDW_PREVIEW_BAR = 0xE802;
constexpr UINT AFX_IDW_RESIZE_BAR = 0xE803;
constexpr UINT AFX_IDW_DOCKBAR_TOP = 0xE81B;
constexpr UINT AFX_IDW_DOCKBAR_LEFT = 0xE81C;
constexpr UINT AFX_IDW_DOCKBAR_RIGHT = 0xE81D;
constexpr UINT AFX_IDW_DOCKBAR_BOTTOM = 0xE81E;
constexpr UINT AFX_IDW_DOCKBAR_FLOAT = 0xE81F;
constexpr UINT AFX_IDW_PANE_FIRST = 0xE900;  // splitter pane (r, c) is AFX_IDW_PANE_FIRST + 16 * r + c
constexpr UINT AFX_IDW_PANE_LAST = 0xE9FF;
constexpr UINT AFX_IDW_HSCROLL_FIRST = 0xEA00;
constexpr UINT AFX_IDW_VSCROLL_FIRST = 0xEA10;
constexpr UINT AFX_IDW_SIZE_BOX = 0xEA20;

// Strings of the framework (the program's string table may replace them).
constexpr UINT AFX_IDS_APP_TITLE = 0xE000;    // 57344: the application's title
constexpr UINT AFX_IDS_IDLEMESSAGE = 0xE001;  // 57345: "Ready"
constexpr UINT AFX_IDS_HELPMODEMESSAGE = 0xE002;
constexpr UINT AFX_IDS_UNTITLED = 0xE003;
constexpr UINT AFX_IDS_ALLFILTER = 0xE008;
constexpr UINT AFX_IDS_OPENFILE = 0xF000;
constexpr UINT AFX_IDS_SAVEFILE = 0xF001;
constexpr UINT AFX_IDS_UNNAMED_FILE = 0xF003;
constexpr UINT AFX_IDS_PRINTONPORT = 0xF040;
constexpr UINT AFX_IDP_INVALID_FILENAME = 0xF100;
constexpr UINT AFX_IDP_FAILED_TO_OPEN_DOC = 0xF101;
constexpr UINT AFX_IDP_FAILED_TO_SAVE_DOC = 0xF102;
constexpr UINT AFX_IDP_ASK_TO_SAVE = 0xF103;
constexpr UINT AFX_IDP_FAILED_TO_CREATE_DOC = 0xF104;
constexpr UINT AFX_IDP_FILE_TOO_LARGE = 0xF105;
constexpr UINT AFX_IDP_FAILED_TO_START_PRINT = 0xF106;
constexpr UINT AFX_IDP_FAILED_TO_LAUNCH_HELP = 0xF107;
constexpr UINT AFX_IDP_INTERNAL_FAILURE = 0xF108;
constexpr UINT AFX_IDP_COMMAND_FAILURE = 0xF109;
constexpr UINT AFX_IDP_NO_PRINTER = 0xF10A;  // ours: print set-up without a printer
