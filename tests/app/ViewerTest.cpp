// The whole program in this process, headless, against the reference service: start-up with and
// without the service, the first load, the commands with their update rules, filters over records
// of known ages, both logs' clear, the debug log, exports, the side bar's click, and closes while
// a load runs.

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <tuple>

#include "app/CMainFrame.h"
#include "platform/controls/Edit.h"
#include "platform/controls/PopupMenuWindow.h"
#include "platform/controls/Toolbar.h"
#include "platform/window/Clipboard.h"
#include "app/CPelorinApp.h"
#include "platform/controls/MessageBox.h"
#include "platform/framework/CCmdUI.h"
#include "platform/framework/CListCtrl.h"
#include "platform/framework/CMenu.h"
#include "platform/graphics/Gdi.h"
#include "presentation/CContainerView.h"
#include "presentation/CPelorinView.h"
#include "presentation/FieldText.h"
#include "presentation/FileDialogRequest.h"
#include "presentation/OsNaming.h"
#include "resources/ResourceIds.h"
#include "tests/platform/controls/DialogTesting.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ServiceFixture.h"
#include "widgets/CIconMenuItemData.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string IsoTime(std::time_t t) {
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", std::gmtime(&t));
    return text;
}

struct UpdateState : CCmdUI {
    int enabled = -1, checked = -1;
    void Enable(BOOL on) override {
        enabled = on;
        m_bEnableChanged = TRUE;
    }
    void SetCheck(int check) override { checked = check; }
};

class ViewerTest : public DialogTest {
protected:
    void TearDown() override {
        if (app) {
            if (CWnd* main = app->m_pMainWnd; main && main->m_hWnd) main->DestroyWindow();
            app->m_pMainWnd = nullptr;
            app->ExitInstance();
            app.reset();
        }
        DialogTest::TearDown();
    }

    // Starts the program against the fixture's service; its frame.
    CMainFrame* Start() {
        app = std::make_unique<CPelorinApp>(service.name);
        if (!app->InitInstance()) return nullptr;
        return dynamic_cast<CMainFrame*>(app->m_pMainWnd);
    }
    // The program on a fresh demo log of `records` records, loaded; null when it could not start.
    CMainFrame* StartOnDemo(int records, int seed) {
        if (Cli({"demo", std::to_string(records), "--db", service.db, "--seed", std::to_string(seed)}).exitCode != 0 ||
            !service.Start())
            return nullptr;
        CMainFrame* frame = Start();
        return frame && Loaded(frame, records) ? frame : nullptr;
    }
    std::string Title() const {
        char text[256] = {};
        GetWindowTextA(app->m_pMainWnd->m_hWnd, text, sizeof text);
        return text;
    }
    int Rows(CMainFrame* frame) { return frame->GetList()->GetListCtrl().GetItemCount(); }
    // Waits for a load to end with `rows` rows.
    bool Loaded(CMainFrame* frame, int rows) {
        return PumpUntil([&] { return Title() == "Quillbridge Log Viewer - Quillbridge Log" && Rows(frame) == rows; },
                         std::chrono::seconds(60));
    }
    void Command(CMainFrame* frame, UINT id) { frame->SendMessage(WM_COMMAND, id, 0); }
    UpdateState Update(CMainFrame* frame, UINT id) {
        UpdateState state;
        state.m_nID = id;
        state.DoUpdate(frame, TRUE);
        return state;
    }
    bool Import(const std::string& lines) { return service.Import(lines); }
    // Takes what is queued through the application's own pump, so that its accelerators and
    // the frame's first look at each message apply as in the running program.
    void PumpProgram() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT) app->PumpMessage();
    }
    void AltKey(int vk) { Chord(VK_MENU, vk); }
    void Chord(int modifier, int vk) {
        display->Key(modifier, true);
        display->KeyPress(vk);
        display->Key(modifier, false);
    }
    // Chooses `path` in the next file questions.
    static void Choose(const std::string& path) {
        FileDialogRequest::SetPrompt([path](const FileDialogRequest&, std::string& chosen) {
            chosen = path;
            return true;
        });
    }

    ServiceFixture service;
    std::unique_ptr<CPelorinApp> app;
};

TEST_F(ViewerTest, WithoutTheServiceOneErrorBoxThenTheProgramEnds) {
    int boxes = 0;
    std::string text, caption;
    DialogScript script({WhenDialog([&](HWND box) {
        ++boxes;
        text = ItemText(box, MessageBox::kTextId);
        caption = TextOf(box);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    })});
    CMainFrame* frame = Start();
    ASSERT_NE(frame, nullptr) << "start-up still completes";
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(text, "Quillbridge Service is not responding, Log Viewer has to be terminated!");
    EXPECT_EQ(caption, "Error");
    MSG msg;
    bool quit = false;
    ASSERT_TRUE(PumpUntil([&] {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return quit = true;
            DispatchMessageA(&msg);
        }
        return false;
    }));
    EXPECT_EQ(msg.wParam, 0u) << "exit code 0";
    // No load was asked for: the title never says one runs.
    EXPECT_EQ(Title(), "Quillbridge Log Viewer - Quillbridge Log");
    EXPECT_EQ(frame->serviceVersion, 0u);
}

TEST_F(ViewerTest, FirstLoadTitlesVersionsAndExport) {
    ASSERT_EQ(Cli({"demo", "120", "--db", service.db, "--seed", "3"}).exitCode, 0);
    ASSERT_TRUE(service.Start({"--service-version", "1.2.3", "--core-version", "4.5.600"}));
    CMainFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->splitter.GetColumnCount(), 1) << "the side bar starts hidden";
    EXPECT_EQ(frame->serviceVersion, (1u << 24) | (2u << 16) | 3u);
    EXPECT_EQ(frame->coreDllVersion, (4u << 24) | (5u << 16) | 600u);
    bool sawLoading = false;
    ASSERT_TRUE(PumpUntil([&] {
        sawLoading = sawLoading || Title() == "Quillbridge Log Viewer - Loading Quillbridge Log...";
        return Title() == "Quillbridge Log Viewer - Quillbridge Log" && Rows(frame) == 120;
    }));
    EXPECT_TRUE(sawLoading);
    EXPECT_FALSE(frame->progress.IsWindowVisible());

    const std::string path = service.dir.File("export.txt");
    FileDialogRequest asked;
    FileDialogRequest::SetPrompt([&](const FileDialogRequest& request, std::string& chosen) {
        asked = request;
        chosen = path;
        return true;
    });
    Command(frame, ID_LOG_EXPORT);
    EXPECT_EQ(asked.defaultExtension, "txt");
    EXPECT_TRUE(asked.overwritePrompt && asked.hideReadOnly && asked.explorer);
    const std::string text = ReadFile(path);
    EXPECT_EQ(text.rfind("==========Quillbridge Log==========\r\nFormat: 1.0.0\r\nService Version: 1.2.3\r\n"
                         "Core DLL Version: 4.5.600\r\n",
                         0),
              0u);
    // Every row a line: the list's own texts, time first.
    CListCtrl& list = frame->GetList()->GetListCtrl();
    const std::string first = list.GetItemText(0, 1) + ",\t" + list.GetItemText(0, 0) + ",\t" + list.GetItemText(0, 2) +
                              ",\t" + list.GetItemText(0, 3) + ",\t" + list.GetItemText(0, 4) + ",\t";
    EXPECT_NE(text.find("==========Log Messages==========\r\n\r\n" + first), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");

    // A failed export says so and leaves the old file.
    std::vector<std::string> boxes;
    FileDialogRequest::SetPrompt([&](const FileDialogRequest&, std::string& chosen) {
        chosen = service.dir.File("missing/export.txt");
        return true;
    });
    DialogScript script({WhenDialog([&](HWND box) {
        boxes.push_back(ItemText(box, MessageBox::kTextId));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    })});
    Command(frame, ID_LOG_EXPORT);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find(service.dir.File("missing/export.txt")), std::string::npos);
    EXPECT_NE(boxes[0].find("No such file or directory"), std::string::npos);
    FileDialogRequest::SetPrompt(nullptr);
}

TEST_F(ViewerTest, FiltersByAgeAndLevel) {
    const std::time_t now = std::time(nullptr);
    std::string lines;
    const struct {
        int days;
        const char* level;
    } records[] = {{0, "info"}, {2, "fatal"}, {6, "error"}, {8, "warning"}, {20, "fatal"}, {40, "info"}};
    for (const auto& r : records)
        lines += std::string(R"({"time":")") + IsoTime(now - r.days * 86400 - 60) + R"(","level":")" + r.level +
                 R"(","source":"engine","description":"d)" + std::to_string(r.days) + "\"}\n";
    ASSERT_TRUE(Import(lines));
    ASSERT_TRUE(service.Start());
    CMainFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(Loaded(frame, 6));

    Command(frame, ID_FILTER_1WEEK);
    ASSERT_TRUE(Loaded(frame, 3));
    for (UINT id : {ID_FILTER_1DAY, ID_FILTER_2DAYS, ID_FILTER_3DAYS, ID_FILTER_1WEEK, ID_FILTER_2WEEKS,
                    ID_FILTER_1MONTH, ID_FILTER_ALL})
        EXPECT_EQ(Update(frame, id).checked, id == ID_FILTER_1WEEK ? 1 : 0) << id;
    Command(frame, ID_LEVEL_FATAL);
    ASSERT_TRUE(Loaded(frame, 1));
    EXPECT_EQ(frame->GetList()->GetListCtrl().GetItemText(0, 4), "d2");
    EXPECT_EQ(frame->progress.GetPos(), 6) << "every record read steps the progress, shown or dropped";
    Command(frame, ID_FILTER_ALL);
    ASSERT_TRUE(Loaded(frame, 2));
    Command(frame, ID_LEVEL_INFO);
    ASSERT_TRUE(Loaded(frame, 6));
}

TEST_F(ViewerTest, DebugLogCommandsAndUpdateRules) {
    std::ofstream(service.debugLog, std::ios::binary) << "first line\nsecond line\n";
    CMainFrame* frame = StartOnDemo(30, 1);
    ASSERT_NE(frame, nullptr);
    Command(frame, ID_FILTER_2WEEKS);
    ASSERT_TRUE(Loaded(frame, frame->GetList()->GetListCtrl().GetItemCount()));

    Command(frame, ID_LOG_DEBUG);
    EXPECT_EQ(Title(), "Quillbridge Log Viewer - Debug Log");
    EXPECT_EQ(frame->GetView()->GetDebugText(), "first line\r\nsecond line\r\n");
    for (UINT id :
         {ID_FILTER_1DAY, ID_FILTER_2DAYS, ID_FILTER_3DAYS, ID_FILTER_1WEEK, ID_FILTER_2WEEKS, ID_FILTER_1MONTH}) {
        const UpdateState state = Update(frame, id);
        EXPECT_EQ(state.enabled, 0) << id;
        EXPECT_EQ(state.checked, 0) << id;
    }
    EXPECT_EQ(Update(frame, ID_FILTER_ALL).checked, 1);
    EXPECT_EQ(Update(frame, ID_VIEW_DETAIL).enabled, 0);
    EXPECT_EQ(Update(frame, ID_LOG_DEBUG).checked, 1);
    HMENU filter = GetSubMenu(frame->GetMenu()->m_hMenu, 2);
    EXPECT_TRUE(GetMenuState(filter, 8, MF_BYPOSITION) & MF_GRAYED) << "the level submenu greys";
    // The toolbar follows at the next idle time.
    app->OnIdle(0);
    EXPECT_TRUE(frame->toolBar.SendMessage(TB_ISBUTTONCHECKED, ID_LOG_DEBUG));
    EXPECT_FALSE(frame->toolBar.SendMessage(TB_ISBUTTONCHECKED, ID_LOG_QUILLBRIDGE));
    EXPECT_TRUE(frame->toolBar.SendMessage(TB_ISBUTTONENABLED, ID_LOG_EXPORT));
    // Opening the filter menu updates its items; the level submenu stays grey.
    frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(filter), 2);
    EXPECT_TRUE(GetMenuState(filter, 8, MF_BYPOSITION) & MF_GRAYED) << "still grey once the menu opened";

    // F5 fetches the path again and reads the file again.
    std::ofstream(service.debugLog, std::ios::binary | std::ios::app) << "third line";
    Command(frame, ID_VIEW_REFRESH);
    EXPECT_EQ(frame->GetView()->GetDebugText(), "first line\r\nsecond line\r\nthird line\r\n");

    // Its export is the text box's bytes, no header.
    const std::string path = service.dir.File("debug-export.txt");
    FileDialogRequest::SetPrompt([&](const FileDialogRequest&, std::string& chosen) {
        chosen = path;
        return true;
    });
    Command(frame, ID_LOG_EXPORT);
    FileDialogRequest::SetPrompt(nullptr);
    EXPECT_EQ(ReadFile(path), "first line\r\nsecond line\r\nthird line\r\n");

    // Clearing empties the file and reads it again.
    Command(frame, ID_LOG_CLEAR);
    EXPECT_EQ(ReadFile(service.debugLog), "");
    EXPECT_EQ(frame->GetView()->GetDebugText(), "");

    // Back to the records: the filter chosen before holds.
    Command(frame, ID_LOG_QUILLBRIDGE);
    EXPECT_EQ(frame->ageFilter.load(), static_cast<std::uint32_t>(TwoWeeks));
    EXPECT_FALSE(GetMenuState(filter, 8, MF_BYPOSITION) & MF_GRAYED);
    ASSERT_TRUE(PumpUntil([&] { return Title() == "Quillbridge Log Viewer - Quillbridge Log"; }));

    // Clearing the records empties the list and the preview.
    Command(frame, ID_LOG_CLEAR);
    ASSERT_TRUE(Loaded(frame, 0));
    EXPECT_NE(Cli({"info", "--name", service.name, "--json"}).out.find("\"recordCount\":0"), std::string::npos);
}

// The menus as a person meets them: owner-drawn icon menus with the captions set at run time,
// icons for the toolbar's commands, mnemonics typed into them, prompts in the status bar.
TEST_F(ViewerTest, MenusAreIconMenusReachedByTheirMnemonics) {
    CMainFrame* frame = StartOnDemo(20, 2);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(::GetMenu(frame->m_hWnd), frame->menuBar.m_hMenu);
    EXPECT_EQ(frame->systemMenu.m_hMenu, GetSystemMenu(frame->m_hWnd, FALSE));

    struct Item {
        int popup;  // -1: the bar, 4: the level submenu
        int position;
        const char* caption;
        UINT command;
        bool icon;
    };
    const Item items[] = {
        {-1, 0, " &Log ", 0, false},
        {-1, 1, " &View ", 0, false},
        {-1, 2, " &Filter ", 0, false},
        {-1, 3, " &About ", 0, false},
        {0, 0, "&Quillbridge Log", ID_LOG_QUILLBRIDGE, true},
        {0, 1, "&Debug Log", ID_LOG_DEBUG, true},
        {0, 3, "&Export...", ID_LOG_EXPORT, true},
        {0, 5, "&Clear log", ID_LOG_CLEAR, true},
        {0, 7, "E&xit", ID_APP_EXIT, false},
        {1, 0, "&Toolbar", ID_VIEW_TOOLBAR, false},
        {1, 1, "&Statusbar", ID_VIEW_STATUS_BAR, false},
        {1, 3, "Log &Detail", ID_VIEW_DETAIL, false},
        {1, 5, "&Refresh\tF5", ID_VIEW_REFRESH, true},
        {2, 0, "&1 Day", ID_FILTER_1DAY, false},
        {2, 1, "&2 Days", ID_FILTER_2DAYS, false},
        {2, 2, "&3 Days", ID_FILTER_3DAYS, false},
        {2, 3, "1 &Week", ID_FILTER_1WEEK, false},
        {2, 4, "2 W&eeks", ID_FILTER_2WEEKS, false},
        {2, 5, "1 &Month", ID_FILTER_1MONTH, false},
        {2, 6, "&All", ID_FILTER_ALL, false},
        {2, 8, "&Level", 0, false},
        {4, 0, "&Fatal", ID_LEVEL_FATAL, false},
        {4, 1, "&Error", ID_LEVEL_ERROR, false},
        {4, 2, "&Warning", ID_LEVEL_WARNING, false},
        {4, 3, "&Info", ID_LEVEL_INFO, false},
        {3, 0, "&About...", ID_APP_ABOUT, true},
    };
    CIconMenu* filter = frame->menuBar.GetSubMenu(2);
    ASSERT_NE(filter, nullptr);
    for (const Item& item : items) {
        CIconMenu* menu = item.popup < 0    ? &frame->menuBar
                          : item.popup == 4 ? filter->FindSubMenu("&Level")
                                            : frame->menuBar.GetSubMenu(item.popup);
        ASSERT_NE(menu, nullptr) << item.caption;
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_DATA;
        ASSERT_TRUE(GetMenuItemInfoA(menu->m_hMenu, static_cast<UINT>(item.position), TRUE, &info)) << item.caption;
        EXPECT_TRUE(info.fType & MFT_OWNERDRAW) << item.caption;
        const CIconMenuItemData* data = menu->ItemData(item.position);
        ASSERT_NE(data, nullptr) << item.caption;
        EXPECT_EQ(info.dwItemData, reinterpret_cast<ULONG_PTR>(data)) << item.caption;
        EXPECT_EQ(data->text, item.caption);
        if (item.command) {
            EXPECT_EQ(data->commandId, item.command) << item.caption;
        }
        EXPECT_EQ(data->iconSet != nullptr && data->imageIndex >= 0, item.icon) << item.caption;
    }

    // " &Filter ", "&Level", "&Warning" by their letters.
    frame->SetFocus();
    AltKey('F');
    display->KeyPress('L');
    display->KeyPress('W');
    PumpProgram();
    EXPECT_EQ(frame->levelFilter.load(), static_cast<std::uint32_t>(WarningAndWorse));
    ASSERT_TRUE(PumpUntil([&] { return Title() == "Quillbridge Log Viewer - Quillbridge Log"; }));

    // " &Log " open with "&Export..." selected prompts in the status bar; its letter runs it.
    int asked = 0;
    FileDialogRequest::SetPrompt([&](const FileDialogRequest&, std::string&) {
        ++asked;
        return false;
    });
    std::string prompt;
    DialogScript script({[&] {
                             if (!PopupMenuWindow::WindowOf(frame->menuBar.GetSubMenu(0)->m_hMenu)) return false;
                             display->KeyPress(VK_DOWN);
                             display->KeyPress(VK_DOWN);
                             return true;
                         },
                         [&] {
                             prompt = frame->statusBar.GetPaneText(0);
                             display->KeyPress('E');
                             return true;
                         }});
    AltKey('L');
    ASSERT_TRUE(PumpUntil([&] {
        PumpProgram();
        return script.Finished() && asked > 0;
    }));
    FileDialogRequest::SetPrompt(nullptr);
    EXPECT_EQ(prompt, "Export current logs to a file");
    EXPECT_EQ(asked, 1);
}

// The export of a known log, every byte: header with the versions, the system and the time,
// the record lines with each kind of attachment, a description with a line break in it.
TEST_F(ViewerTest, ExportOfAKnownLogByteForByte) {
    setenv("TZ", "UTC", 1);
    tzset();
    ASSERT_TRUE(Import(
        R"({"time":"2026-01-02T03:04:05Z","level":"error","source":"engine","status":"0xC0000022","description":"no access","number":"0x1F"})"
        "\n"
        R"({"time":"2026-01-02T03:04:06Z","level":"info","source":"gui","status":"7","description":"two\r\nlines, one\ttab","text":"attached words"})"
        "\n"
        R"({"time":"2026-02-28T23:59:59Z","level":"warning","source":"driver","description":"raw","hex":"00ff10ab"})"
        "\n"
        R"({"time":"2026-03-01T00:00:00Z","level":"fatal","source":"service","description":"bare"})"
        "\n"));
    ASSERT_TRUE(service.Start({"--service-version", "2.0.17", "--core-version", "3.1.4"}));
    CMainFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(Loaded(frame, 4));

    const std::string path = service.dir.File("known.txt");
    Choose(path);
    FILETIME before, after;
    GetSystemTimeAsFileTime(&before);
    Command(frame, ID_LOG_EXPORT);
    GetSystemTimeAsFileTime(&after);
    FileDialogRequest::SetPrompt(nullptr);

    OsNaming& os = OsNaming::Instance();
    auto expected = [&](const FILETIME& at) {
        return "==========Quillbridge Log==========\r\n"
               "Format: 1.0.0\r\n"
               "Service Version: 2.0.17\r\n"
               "Core DLL Version: 3.1.4\r\n" +
               os.OsText() + " " + os.ServicePackText() + "\r\nExported At: " + FormatLogTime(at) +
               "\r\n\r\n==========Log Messages==========\r\n\r\n"
               "01/02/2026 03:04:05,\tError,\t0xC0000022,\tEngine,\tno access,\t0x0000001F\r\n"
               "01/02/2026 03:04:06,\tInfo,\t0x00000007,\tGUI,\ttwo\r\nlines, one\ttab,\tattached words\r\n"
               "02/28/2026 23:59:59,\tWarning,\t0x00000000,\tDriver,\traw,\t[Binary]00FF10AB\r\n"
               "03/01/2026 00:00:00,\tFatal,\t0x00000000,\tService,\tbare,\t\r\n";
    };
    const std::string text = ReadFile(path);
    if (text != expected(after)) {
        EXPECT_EQ(text, expected(before));
    }
}

// The keys of the accelerator table as the program's own pump takes them: F5 reloads, F1 does
// nothing, and copy still copies out of the debug log's text box.
TEST_F(ViewerTest, KeysReloadAndCopyOutOfTheDebugLog) {
    std::ofstream(service.debugLog, std::ios::binary) << "first line\nsecond line\n";
    CMainFrame* frame = StartOnDemo(15, 5);
    ASSERT_NE(frame, nullptr);

    frame->SetFocus();
    display->KeyPress(VK_F1);
    PumpProgram();
    EXPECT_EQ(Title(), "Quillbridge Log Viewer - Quillbridge Log");
    bool sawLoading = false;
    display->KeyPress(VK_F5);
    ASSERT_TRUE(PumpUntil([&] {
        PumpProgram();
        sawLoading = sawLoading || Title() == "Quillbridge Log Viewer - Loading Quillbridge Log...";
        return sawLoading && Title() == "Quillbridge Log Viewer - Quillbridge Log" && Rows(frame) == 15;
    }));

    // The log shown already is not loaded again by choosing it.
    Command(frame, ID_LOG_QUILLBRIDGE);
    {
        std::lock_guard lock(frame->loaderLock);
        EXPECT_EQ(frame->reloadRequested, 0);
    }
    app->OnIdle(0);
    EXPECT_TRUE(frame->toolBar.SendMessage(TB_ISBUTTONCHECKED, ID_LOG_QUILLBRIDGE));

    // A new document changes nothing a person sees.
    Chord(VK_CONTROL, 'N');
    PumpProgram();
    EXPECT_EQ(Title(), "Quillbridge Log Viewer - Quillbridge Log");
    EXPECT_EQ(Rows(frame), 15);
    EXPECT_EQ(app->m_pMainWnd, frame);

    Command(frame, ID_LOG_DEBUG);
    CWnd& box = frame->GetView()->DebugTextBox();
    ASSERT_TRUE(box.IsWindowVisible());
    box.SetFocus();
    for (auto [modifier, key, selected] : {std::tuple{VK_CONTROL, int('C'), std::pair{0, 5}},
                                           std::tuple{VK_CONTROL, int(VK_INSERT), std::pair{6, 10}}}) {
        ASSERT_TRUE(Clipboard::SetText("before"));
        box.SendMessage(EM_SETSEL, selected.first, selected.second);
        Chord(modifier, key);
        PumpProgram();
        EXPECT_EQ(Clipboard::Text().value_or(""),
                  std::string("first line").substr(selected.first, selected.second - selected.first))
            << key;
    }
}

TEST_F(ViewerTest, AboutBoxShowsTheProductVersionAndOnePixelRule) {
    ASSERT_TRUE(service.Start());
    CMainFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    std::string caption, product, version, notice, ok;
    LONG productWeight = 0, versionWeight = 0;
    RECT rule{};
    auto weight = [](HWND control) {
        LOGFONTA font{};
        const auto handle = reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0));
        return handle && GetObjectA(handle, sizeof font, &font) ? font.lfWeight : LONG{-1};
    };
    DialogScript script({WhenDialog([&](HWND box) {
        caption = TextOf(box);
        product = ItemText(box, 1002);
        version = ItemText(box, 1007);
        notice = ItemText(box, 1003);
        ok = ItemText(box, IDOK);
        productWeight = weight(GetDlgItem(box, 1002));
        versionWeight = weight(GetDlgItem(box, 1007));
        GetWindowRect(GetDlgItem(box, 1005), &rule);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    })});
    Command(frame, ID_APP_ABOUT);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(caption, "&About...");
    EXPECT_EQ(product, "Quillbridge Log Viewer");
    EXPECT_EQ(version, "Version 1.0.1");
    EXPECT_FALSE(notice.empty());
    EXPECT_EQ(ok, "OK");
    EXPECT_EQ(productWeight, 900);
    EXPECT_LT(versionWeight, 900);
    EXPECT_EQ(rule.bottom - rule.top, 1);
    EXPECT_GT(rule.right - rule.left, 100);
}

// The toolbar's buttons in order and size, each prompting in the status bar as the pointer passes over it.
TEST_F(ViewerTest, ToolbarButtonsPromptInTheStatusBar) {
    ASSERT_TRUE(service.Start());
    CMainFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(Loaded(frame, 0));
    const struct {
        UINT command;
        const char* prompt;
    } buttons[] = {{ID_LOG_QUILLBRIDGE, "Show Quillbridge logs"},
                   {ID_LOG_DEBUG, "Show Quillbridge debug logs"},
                   {0, nullptr},
                   {ID_LOG_EXPORT, "Export current logs to a file"},
                   {0, nullptr},
                   {ID_VIEW_REFRESH, "Refresh logs"},
                   {ID_LOG_CLEAR, "Remove all the logs"},
                   {0, nullptr},
                   {ID_APP_ABOUT, ""}};
    ASSERT_EQ(frame->toolBar.GetCount(), static_cast<int>(std::size(buttons)));
    // The flat bar: separators 6 pixels wide, buttons of 23 x 22, its layout kept per user.
    EXPECT_EQ(frame->toolBar.stateValueName.rfind("FlatToolBar ", 0), 0u) << frame->toolBar.stateValueName;
    EXPECT_EQ(frame->toolBar.stateSubKey.rfind("Software\\", 0), 0u) << frame->toolBar.stateSubKey;
    for (int i = 0; i < static_cast<int>(std::size(buttons)); ++i) {
        EXPECT_EQ(frame->toolBar.GetItemID(i), buttons[i].command) << i;
        RECT r;
        frame->toolBar.GetItemRect(i, &r);
        EXPECT_EQ(r.right - r.left, buttons[i].prompt ? 23 : 6) << i;
        if (!buttons[i].prompt) continue;
        EXPECT_EQ(r.bottom - r.top, 22) << i;
        frame->statusBar.SetPaneText(0, "-");
        POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(frame->toolBar.m_hWnd, &at);
        display->MoveMouse(at);
        EXPECT_TRUE(PumpUntil([&] { return frame->statusBar.GetPaneText(0) == buttons[i].prompt; }))
            << buttons[i].command << ": " << frame->statusBar.GetPaneText(0);
    }
}

// A click on the side bar's item, as a person makes it, reloads the log.
TEST_F(ViewerTest, SideBarClickReloads) {
    CMainFrame* frame = StartOnDemo(12, 6);
    ASSERT_NE(frame, nullptr);
    Command(frame, ID_VIEW_SIDEBAR);
    PumpAll();
    CRect bar;
    frame->sideBar.GetClientRect(&bar);
    CRect client;
    frame->GetClientRect(&client);
    EXPECT_GT(bar.Width(), 0) << "the side bar's column has a width";
    EXPECT_LT(bar.Width(), client.Width() / 2);

    const CRect icon = frame->sideBar.Layout().IconRect(0);
    POINT at{(icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2};
    ClientToScreen(frame->sideBar.m_hWnd, &at);
    bool sawLoading = false;
    display->Click(at);
    ASSERT_TRUE(PumpUntil([&] {
        sawLoading = sawLoading || Title() == "Quillbridge Log Viewer - Loading Quillbridge Log...";
        return sawLoading && Title() == "Quillbridge Log Viewer - Quillbridge Log" && Rows(frame) == 12;
    }));
    EXPECT_EQ(frame->sideBar.GetSelectedItem(), 0);
}

// A service that names no debug-log file: the user is asked for one to show.
TEST_F(ViewerTest, DebugLogWithoutAPathAsksForAFile) {
    ChildProcess peer({SCRIPTED_PEER, service.name, "plain", "0", "1"});
    ASSERT_TRUE(peer.WaitForLine("ready"));
    const std::string chosen = service.dir.File("chosen.log");
    std::ofstream(chosen, std::ios::binary) << "picked\r\nby hand";
    CMainFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    FileDialogRequest asked;
    int questions = 0;
    FileDialogRequest::SetPrompt([&](const FileDialogRequest& request, std::string& path) {
        asked = request;
        ++questions;
        path = chosen;
        return true;
    });
    Command(frame, ID_LOG_DEBUG);
    FileDialogRequest::SetPrompt(nullptr);
    EXPECT_EQ(questions, 1);
    EXPECT_FALSE(asked.save);
    EXPECT_EQ(frame->GetView()->GetDebugText(), "picked\r\nby hand\r\n");
    EXPECT_EQ(Title(), "Quillbridge Log Viewer - Debug Log");
}

TEST_F(ViewerTest, SideBarNoticesAndToggles) {
    ASSERT_EQ(Cli({"demo", "10", "--db", service.db}).exitCode, 0);
    ASSERT_TRUE(service.Start());
    CMainFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(Loaded(frame, 10));
    EXPECT_EQ(frame->SendMessage(WM_SIDEBAR_NOTIFY, 2, 0), 1);
    EXPECT_EQ(frame->SendMessage(WM_SIDEBAR_NOTIFY, 3, 0), 1);
    EXPECT_EQ(frame->SendMessage(WM_SIDEBAR_NOTIFY, 4, 0), 1);
    EXPECT_EQ(frame->SendMessage(WM_SIDEBAR_NOTIFY, 5, 0), 0);
    EXPECT_EQ(frame->SendMessage(WM_SIDEBAR_NOTIFY, 7, 0), 0);
    EXPECT_EQ(frame->SendMessage(WM_LOG_RECORD, 2, 0), 0);
    EXPECT_EQ(Rows(frame), 10) << "a record notice of another kind adds nothing";

    Command(frame, ID_VIEW_SIDEBAR);
    EXPECT_EQ(frame->splitter.GetColumnCount(), 2);
    EXPECT_EQ(Update(frame, ID_VIEW_SIDEBAR).checked, 1);
    ASSERT_NE(frame->GetView(), nullptr) << "the view moves to column 1";
    // A click on the item reloads; the frame's own selection of it does not click again.
    frame->SendMessage(WM_SIDEBAR_NOTIFY, 1, 0);
    ASSERT_TRUE(PumpUntil([&] { return Title() == "Quillbridge Log Viewer - Loading Quillbridge Log..."; }));
    ASSERT_TRUE(Loaded(frame, 10));
    Command(frame, ID_VIEW_SIDEBAR);
    EXPECT_EQ(frame->splitter.GetColumnCount(), 1);

    Command(frame, ID_VIEW_DETAIL);
    EXPECT_EQ(Update(frame, ID_VIEW_DETAIL).checked, frame->GetView()->Splitter().GetRowCount() > 1 ? 1 : 0);
}

TEST_F(ViewerTest, ClosingWhileALoadRunsNeitherHangsNorLeaks) {
    ASSERT_EQ(Cli({"demo", "3000", "--db", service.db, "--seed", "9"}).exitCode, 0);
    ASSERT_TRUE(service.Start());
    for (int rowsBeforeClose : {0, 1, 60, 700, 2500}) {
        CMainFrame* frame = Start();
        ASSERT_NE(frame, nullptr);
        ASSERT_TRUE(PumpUntil([&] { return Rows(frame) >= rowsBeforeClose; }));
        frame->DestroyWindow();  // the loader is stopped as the frame goes
        MSG quit;
        PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);  // the main window's end
        app->m_pMainWnd = nullptr;
        app->ExitInstance();
        app.reset();
    }
}

}  // namespace
