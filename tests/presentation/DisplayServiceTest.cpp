// The display against the reference service: the loader of app/ fills the list of a test frame,
// every row reads as the service's own reader prints the record, and a selected row fills the
// preview.

#include <atomic>
#include <sstream>

#include "app/LogLoader.h"
#include "presentation/FieldText.h"
#include "service/JsonObject.h"
#include "service/RecordText.h"
#include "tests/platform/framework/FrameworkTesting.h"
#include "tests/presentation/DisplayTestFrame.h"
#include "tests/support/ServiceFixture.h"

namespace {

// Hands the loader's notifications to the frame as the real frame gets them: synchronous
// messages, handled on the frame's thread while the loader waits.
class FrameLink : public LoaderFrame {
public:
    explicit FrameLink(CDisplayTestFrame& frame) : frame_(frame), hwnd_(frame.m_hWnd) {}

    void OnLoadBegin(std::uint32_t recordCount) override { SendMessageA(hwnd_, WM_LOG_LOAD_BEGIN, recordCount, 0); }
    void OnRecord(const RecordNotice& notice) override {
        SendMessageA(hwnd_, WM_LOG_RECORD, 1, reinterpret_cast<LPARAM>(&notice));
        frame_.progress.StepIt();
    }
    void OnLoadEnd() override {
        SendMessageA(hwnd_, WM_LOG_LOAD_END, 0, 0);
        ++loads;
    }
    void StepProgress() override { frame_.progress.StepIt(); }

    std::atomic<int> loads{0};

private:
    CDisplayTestFrame& frame_;
    HWND hwnd_;
};

class DisplayServiceTest : public FrameworkTest {
protected:
    void TearDown() override {
        app.m_pMainWnd = nullptr;
        if (frame.m_hWnd) frame.DestroyWindow();
        FrameworkTest::TearDown();
    }
    CDisplayTestFrame frame;
};

TEST_F(DisplayServiceTest, TheLoaderFillsTheListAsTheServiceReadsItsLog) {
    ServiceFixture f;
    ASSERT_EQ(Cli({"demo", "300", "--db", f.db, "--seed", "5"}).exitCode, 0);
    ASSERT_TRUE(f.Start());
    ASSERT_TRUE(frame.Make(900, 600));

    ServiceChannel channel(f.name.c_str());
    ASSERT_TRUE(channel.IsServiceRunning() && channel.Connect(SYNCHRONIZE) == 1);
    FrameLink link(frame);
    link.channel = &channel;
    frame.attachmentLock = &link.loaderLock;
    frame.attachmentMap = &link.attachments;
    {
        LogLoader loader(link);
        link.RequestReload();
        ASSERT_TRUE(PumpUntil([&] { return link.loads.load() == 1; }, std::chrono::seconds(120)));
        loader.Stop();
    }
    EXPECT_FALSE(frame.progress.IsWindowVisible());
    EXPECT_EQ(frame.progress.GetPos(), 300) << "a step for every record";

    CListCtrl& list = frame.List()->GetListCtrl();
    ASSERT_EQ(list.GetItemCount(), 300);
    ProgramResult read = Cli({"read", "1", "--count", "300", "--name", f.name, "--json"});
    std::istringstream lines(read.out);
    std::string line;
    int row = 0;
    for (; std::getline(lines, line); ++row) {
        std::string error;
        const JsonObject json = JsonObject::Parse(line, error);
        ASSERT_EQ(error, "") << line;
        StoredRecord record;
        ASSERT_TRUE(RecordText::FromJson(json, 0, record, error)) << error;
        const std::vector<std::string> expected = {
            LevelCaption(record.level).caption, FormatLogTime(FileTimeFromValue(record.time)),
            FormatStatus(record.statusId), SourceCaption(record.source), record.description};
        for (int col = 0; col < 5; ++col) EXPECT_EQ(list.GetItemText(row, col), expected[col]) << line;
    }
    EXPECT_EQ(row, 300);

    // The first row with an attachment, selected with the preview shown.
    int attached = -1;
    {
        std::lock_guard lock(link.loaderLock);
        for (int r = 0; r < 300 && attached < 0; ++r)
            if (link.attachments.count(static_cast<std::uint32_t>(list.GetItemData(r)))) attached = r;
    }
    ASSERT_GE(attached, 0);
    frame.SendMessage(WM_COMMAND, ID_LOG_DETAIL);
    list.SetItemState(attached, LVIS_SELECTED, LVIS_SELECTED);
    PumpAll();
    CPreviewPane* preview = frame.GetPreview();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->FirstValue(), list.GetItemText(attached, 0));
    EXPECT_EQ(preview->SecondValue(), list.GetItemText(attached, 1));
    EXPECT_EQ(preview->Detail().rfind("Status ID:\t" + list.GetItemText(attached, 2), 0), 0u);
    EXPECT_NE(preview->Detail().find("\r\nAttached data:\t"), std::string::npos);
}

}  // namespace
