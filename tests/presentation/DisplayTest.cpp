// The record list, the main view and the preview pane in a test frame on the headless display.

#include <string>
#include <vector>

#include "platform/controls/Edit.h"
#include "platform/controls/Header.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/SystemColors.h"
#include "presentation/FieldText.h"
#include "tests/platform/controls/ControlTesting.h"
#include "tests/platform/framework/FrameworkTesting.h"
#include "tests/presentation/DisplayTestFrame.h"

namespace {

constexpr std::uint64_t kTime = 134096000000000000ull;  // 2025, local time by the machine's rules

struct Rec {
    std::uint32_t level, source, status;
    const char* description;
};

class DisplayTest : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        ASSERT_TRUE(frame.Make(800, 600));
        view = frame.View();
        ASSERT_NE(view, nullptr);
        list = frame.List();
        ASSERT_NE(list, nullptr);
        PumpAll();
    }
    void TearDown() override {
        app.m_pMainWnd = nullptr;
        if (frame.m_hWnd) frame.DestroyWindow();
        ControlTest::TearDown();
    }

    CListCtrl& Ctrl() { return list->GetListCtrl(); }
    void Add(const Rec& r, std::uint32_t key) {
        LogRecord record;
        record.level = r.level;
        record.source = r.source;
        record.statusId = r.status;
        record.description.AssignText(r.description);
        list->AddRecord(record, key, FileTimeFromValue(kTime + key));
    }
    std::vector<std::string> Row(int row) {
        std::vector<std::string> texts;
        for (int col = 0; col < CContainerView::ColumnCount; ++col) texts.push_back(Ctrl().GetItemText(row, col));
        return texts;
    }
    void Select(int row) {
        Ctrl().SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        PumpAll();
    }
    void DoubleClick(HWND hwnd, int x, int y) {
        SendMessageA(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        PumpAll();
    }
    void ShowPreview() {
        frame.SendMessage(WM_COMMAND, ID_LOG_DETAIL);
        PumpAll();
    }
    void Attach(std::uint32_t key, std::uint32_t kind, const std::string& bytes) {
        std::lock_guard lock(frame.lock);
        AttachedData& data = frame.attachments[key];
        data.kind = kind;
        data.bytes.Assign(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    }

    TestApp app;
    CDisplayTestFrame frame;
    CPelorinView* view = nullptr;
    CContainerView* list = nullptr;
};

// ---- The record list ----

TEST_F(DisplayTest, ListIsAReportWithItsStylesAndItsOwnLevelIcons) {
    const DWORD style = Ctrl().GetStyle();
    EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_TRUE(style & LVS_SINGLESEL);
    EXPECT_TRUE(style & LVS_SHOWSELALWAYS);
    EXPECT_TRUE(style & LVS_SHAREIMAGELISTS) << "the view owns the icons; the control must not free them too";
    EXPECT_EQ(Ctrl().GetExtendedStyle(), 0x971u | LVS_EX_LABELTIP);
    const auto icons = reinterpret_cast<HIMAGELIST>(Ctrl().SendMessage(LVM_GETIMAGELIST, LVSIL_SMALL));
    ASSERT_NE(icons, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(icons), 4);
    EXPECT_EQ(Ctrl().GetHeaderCtrl()->GetItemCount(), 0) << "no columns before the first load";
}

TEST_F(DisplayTest, InitColumnsForBothKindsAndASecondLoadReplacingTheFirst) {
    list->InitColumns(1);
    const std::vector<std::pair<std::string, int>> expected = {
        {"Level", 50}, {"Time", 150}, {"Status ID", 80}, {"Source", 100}, {"Description", 500}};
    ASSERT_EQ(Ctrl().GetHeaderCtrl()->GetItemCount(), 5);
    for (int col = 0; col < 5; ++col) {
        char caption[32] = {};
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = caption;
        column.cchTextMax = sizeof caption;
        ASSERT_TRUE(Ctrl().GetColumn(col, &column));
        EXPECT_EQ(caption, expected[col].first);
        EXPECT_EQ(column.cx, expected[col].second);
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
    }
    Add({4, 1, 7, "first load"}, 0);
    Add({4, 1, 7, "first load"}, 1);

    list->InitColumns(1);
    EXPECT_EQ(Ctrl().GetItemCount(), 0);
    EXPECT_EQ(Ctrl().GetHeaderCtrl()->GetItemCount(), 5);
    Add({2, 0, 1, "second load"}, 0);
    EXPECT_EQ(Ctrl().GetItemText(0, 4), "second load");

    list->InitColumns(0x1000);
    EXPECT_EQ(Ctrl().GetItemCount(), 0);
    EXPECT_EQ(Ctrl().GetHeaderCtrl()->GetItemCount(), 0);
}

TEST_F(DisplayTest, AddRecordWritesTheFieldTextsTheIconAndTheKey) {
    list->InitColumns(1);
    const std::vector<Rec> records = {
        {7, 0, 0x2A, "Info from the engine"}, {4, 1, 0xDEADBEEF, "a warning"}, {3, 2, 0, ""},
        {0, 3, 1, "fatal"},                   {9, 7, 5, "no level caption"},
    };
    const std::vector<int> icons = {0, 1, 2, 3, -1};
    for (std::size_t i = 0; i < records.size(); ++i) Add(records[i], static_cast<std::uint32_t>(100 + i));
    ASSERT_EQ(Ctrl().GetItemCount(), 5);
    for (int row = 0; row < 5; ++row) {
        const Rec& r = records[row];
        const std::vector<std::string> expected = {LevelCaption(r.level).caption,
                                                   FormatLogTime(FileTimeFromValue(kTime + 100 + row)),
                                                   FormatStatus(r.status), SourceCaption(r.source), r.description};
        EXPECT_EQ(Row(row), expected) << "row " << row;
        LVITEMA item{};
        item.mask = LVIF_IMAGE | LVIF_PARAM;
        item.iItem = row;
        ASSERT_TRUE(Ctrl().GetItem(&item));
        EXPECT_EQ(item.iImage, icons[row]);
        EXPECT_EQ(item.lParam, 100 + row);
    }
}

TEST_F(DisplayTest, DetailTextByteForByte) {
    list->InitColumns(1);
    ShowPreview();
    CPreviewPane* preview = frame.GetPreview();
    ASSERT_NE(preview, nullptr);
    Add({4, 2, 0x10, "no attachment"}, 0);
    Add({3, 0, 0x20, "a number"}, 1);
    Add({7, 1, 0x30, "a text"}, 2);
    Attach(1, NumberAttachment, std::string("\x34\x12\x00\x00", 4));
    Attach(2, TextAttachment, std::string("hello\0tail", 10));

    Select(0);
    EXPECT_EQ(preview->FirstValue(), "Warning");
    EXPECT_EQ(preview->SecondValue(), FormatLogTime(FileTimeFromValue(kTime)));
    EXPECT_EQ(preview->Detail(), "Status ID:\t0x00000010\r\nSource:\t\tService\r\nDescription:\tno attachment\r\n");
    Select(1);
    EXPECT_EQ(preview->Detail(),
              "Status ID:\t0x00000020\r\nSource:\t\tEngine\r\nDescription:\ta number\r\nAttached data:\t0x00001234");
    Select(2);
    EXPECT_EQ(preview->Detail(), "Status ID:\t0x00000030\r\nSource:\t\tGUI\r\nDescription:\ta text\r\nAttached data:\thello");

    // What the preview reads does not depend on where the columns show.
    int order[] = {4, 3, 2, 1, 0};
    ASSERT_TRUE(Ctrl().SetColumnOrderArray(5, order));
    Select(1);
    EXPECT_EQ(preview->FirstValue(), "Error");
    EXPECT_EQ(preview->Detail(),
              "Status ID:\t0x00000020\r\nSource:\t\tEngine\r\nDescription:\ta number\r\nAttached data:\t0x00001234");

    // The debug log shown: the old row's deselection empties the pane, the new row leaves it.
    frame.logKind = 0x1000;
    Select(0);
    EXPECT_EQ(preview->FirstValue(), "");
    EXPECT_EQ(preview->Detail(), "");
}

TEST_F(DisplayTest, SelectingWhileThePreviewIsHiddenLeavesItsContent) {
    list->InitColumns(1);
    Add({4, 2, 1, "one"}, 0);
    Add({3, 2, 2, "two"}, 1);
    ShowPreview();
    Select(0);
    CPreviewPane* preview = frame.GetPreview();
    ASSERT_NE(preview, nullptr);
    ShowPreview();  // hides it
    EXPECT_EQ(frame.GetPreview(), nullptr);
    Select(1);
    ShowPreview();
    EXPECT_NE(preview->Detail().find("Description:\tone"), std::string::npos) << "the command shows what it held";

    // A double click shows it and fills it with the selected row.
    ShowPreview();
    CRect rowRect;
    Ctrl().GetItemRect(1, &rowRect, LVIR_BOUNDS);
    DoubleClick(Ctrl().m_hWnd, 300, rowRect.top + 2);
    ASSERT_EQ(frame.GetPreview(), preview);
    EXPECT_NE(preview->Detail().find("Description:\ttwo"), std::string::npos);
}

TEST_F(DisplayTest, DoubleClickBelowTheRowsTogglesAndClearsThePreview) {
    list->InitColumns(1);
    Add({4, 2, 1, "one"}, 0);
    Select(0);
    EXPECT_EQ(frame.GetPreview(), nullptr);
    DoubleClick(Ctrl().m_hWnd, 200, 300);
    EXPECT_EQ(frame.detailCommands, 1);
    CPreviewPane* preview = frame.GetPreview();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->FirstValue(), "");
    EXPECT_EQ(preview->Detail(), "") << "the click below the rows took the selection away";
    DoubleClick(Ctrl().m_hWnd, 200, 300);
    EXPECT_EQ(frame.detailCommands, 2);
    EXPECT_EQ(frame.GetPreview(), nullptr);
}

TEST_F(DisplayTest, HeaderClicksTurnTheDirectionButLeaveTheRows) {
    list->InitColumns(1);
    for (std::uint32_t i = 0; i < 3; ++i) Add({7, 0, 3 - i, "row"}, i);
    const HWND header = Ctrl().GetHeaderCtrl()->m_hWnd;
    const auto click = [&](int item, UINT code) {
        NMHEADERA nm{};
        nm.hdr = NMHDR{header, 0, code};
        nm.iItem = item;
        SendMessageA(Ctrl().m_hWnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&nm));
    };
    click(2, HDN_ITEMCLICKA);
    EXPECT_EQ(list->sortedColumn, 2);
    EXPECT_TRUE(list->ascending);
    click(2, HDN_ITEMCLICKW);
    EXPECT_FALSE(list->ascending);
    click(1, HDN_ITEMCLICKA);
    EXPECT_EQ(list->sortedColumn, 1);
    EXPECT_TRUE(list->ascending);
    for (int row = 0; row < 3; ++row) EXPECT_EQ(Ctrl().GetItemText(row, 2), FormatStatus(3 - row));
}

TEST_F(DisplayTest, OddRowsTakeTheAlternateColours) {
    list->InitColumns(1);
    for (std::uint32_t i = 0; i < 4; ++i) Add({7, 0, i, "x"}, i);
    list->alternateBkColor = RGB(200, 220, 255);
    list->Invalidate();
    CRect row0, row1;
    Ctrl().GetItemRect(0, &row0, LVIR_BOUNDS);
    Ctrl().GetItemRect(1, &row1, LVIR_BOUNDS);
    // Far right in the description column, past its short text.
    const int x = 700;
    EXPECT_EQ(PixelAt(Ctrl().m_hWnd, x, row0.top + row0.Height() / 2), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(PixelAt(Ctrl().m_hWnd, x, row1.top + row1.Height() / 2), RGB(200, 220, 255));
}

// ---- The main view and the preview pane ----

TEST_F(DisplayTest, ViewStartsWithTheListAloneAndTheTextBoxHidden) {
    CHideableSplitter& splitter = view->Splitter();
    EXPECT_EQ(splitter.GetRowCount(), 1);
    EXPECT_EQ(splitter.HiddenRow(), 1);
    EXPECT_EQ(frame.GetPreview(), nullptr);
    EXPECT_TRUE(splitter.IsWindowVisible());
    EXPECT_FALSE(view->DebugTextBox().IsWindowVisible());
    EXPECT_EQ(view->DebugTextBox().GetDlgCtrlID(), 1009);
    EXPECT_TRUE(view->DebugTextBox().GetStyle() & ES_READONLY);
    EXPECT_EQ(view->GetExStyle() & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE), 0u);
}

TEST_F(DisplayTest, ShowLogKindSwitchesAndKeepsThePreviewRowState) {
    ShowPreview();
    view->ShowLogKind(0x1000);
    EXPECT_FALSE(view->Splitter().IsWindowVisible());
    EXPECT_TRUE(view->DebugTextBox().IsWindowVisible());
    view->ShowLogKind(1);
    EXPECT_TRUE(view->Splitter().IsWindowVisible());
    EXPECT_FALSE(view->DebugTextBox().IsWindowVisible());
    EXPECT_EQ(view->Splitter().GetRowCount(), 2);
}

TEST_F(DisplayTest, DebugTextKeepsWhatFollowsANul) {
    view->SetDebugText(std::string("line one\r\nnul\0after\r\n", 21));
    EXPECT_EQ(view->GetDebugText(), "line one\r\nnul after\r\n");
    view->SetDebugText("");
    EXPECT_EQ(view->GetDebugText(), "");
}

TEST_F(DisplayTest, ResizeKeepsTheTextBoxFillingAndTheSplitterBorderOutOfSight) {
    for (const CSize size : {CSize(640, 480), CSize(300, 200)}) {
        frame.MoveWindow(0, 0, size.cx, size.cy);
        PumpAll();
        CRect client, box, split;
        view->GetClientRect(&client);
        view->DebugTextBox().GetWindowRect(&box);
        view->ScreenToClient(&box);
        view->Splitter().GetWindowRect(&split);
        view->ScreenToClient(&split);
        EXPECT_EQ(box, client);
        const int e = GetSystemMetrics(SM_CXEDGE), f = GetSystemMetrics(SM_CYEDGE);
        EXPECT_EQ(split, CRect(-e, -f, client.right + e, client.bottom + f));
    }
}

TEST_F(DisplayTest, ThePreviewRowComesBackBelowTheFourHundredPixelList) {
    ShowPreview();
    CRect listRect, previewRect;
    list->GetWindowRect(&listRect);
    frame.GetPreview()->GetWindowRect(&previewRect);
    EXPECT_EQ(listRect.Height(), 400);
    EXPECT_GT(previewRect.top, listRect.bottom);
    CRect split;
    view->Splitter().GetWindowRect(&split);
    EXPECT_GE(previewRect.bottom, split.bottom - 4) << "the last row takes what is left";
}

TEST_F(DisplayTest, PreviewHeaderLabelsValuesAndCollapsing) {
    ShowPreview();
    CPreviewPane* preview = frame.GetPreview();
    ASSERT_NE(preview, nullptr);
    preview->SetContent("Error", "01/02/2025 03:04:05", "Status ID:\t0x00000001\r\nSource:\t\tGUI\r\n");
    PumpAll();
    EXPECT_TRUE(preview->IsExpanded());
    EXPECT_EQ(preview->HeaderRect().bottom, 35);
    CWnd& detail = preview->DetailControl();
    EXPECT_EQ(detail.GetDlgCtrlID(), 0xFFFF);
    EXPECT_EQ(detail.GetWindowText(), "Status ID:\t0x00000001\r\nSource:\t\tGUI\r\n");
    CRect detailRect;
    detail.GetWindowRect(&detailRect);
    preview->ScreenToClient(&detailRect);
    EXPECT_EQ(detailRect.TopLeft(), CPoint(5, 38));
    // The detail text stands on white.
    EXPECT_EQ(PixelAt(detail.m_hWnd, detailRect.Width() - 10, detailRect.Height() - 5), RGB(255, 255, 255));
    // The header's face between the labels.
    EXPECT_EQ(PixelAt(preview->m_hWnd, 300, 30), GetSysColor(COLOR_BTNFACE));

    DoubleClick(preview->m_hWnd, 200, 80);  // on the body: nothing
    EXPECT_TRUE(preview->IsExpanded());
    DoubleClick(preview->m_hWnd, 200, 10);
    EXPECT_FALSE(preview->IsExpanded());
    EXPECT_EQ(preview->HeaderRect().bottom, 5);
    detail.GetWindowRect(&detailRect);
    preview->ScreenToClient(&detailRect);
    EXPECT_EQ(detailRect.top, 5);
    DoubleClick(preview->m_hWnd, 200, 2);
    EXPECT_TRUE(preview->IsExpanded());
}

TEST_F(DisplayTest, DebugTextBoxIsWhite) {
    view->ShowLogKind(0x1000);
    view->SetDebugText("text");
    EXPECT_EQ(PixelAt(view->DebugTextBox().m_hWnd, 400, 200), RGB(255, 255, 255));
}

}  // namespace
