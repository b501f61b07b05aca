// display-snapshot: the record list, the preview and the load progress in the test frame, for
// eyes-on checks: a few hundred demo-like rows as a load delivers them, stopped at 60 percent,
// the preview shown with a row selected.
//
//   display-snapshot                       on the X display, or headless without one
//   display-snapshot --seconds N           ends by itself after N seconds
//   display-snapshot --snapshot FILE.png   headless: shows itself, saves a snapshot, ends

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "platform/drivers/HeadlessDriver.h"
#include "platform/framework/CWinApp.h"
#include "tests/presentation/DisplayTestFrame.h"

namespace {

constexpr int kRows = 300;
constexpr std::uint64_t kNow = 134100000000000000ull;

void Load(CDisplayTestFrame& frame) {
    std::mt19937 random(7);
    static const char* const texts[] = {
        "Tunnel established to gateway eu-west-2",
        "Handshake with peer timed out after 30 seconds; retrying with the fallback port",
        "Adapter QBTap0 came up",
        "Route table updated: 12 routes added",
        "DNS servers pushed by the gateway were applied to the adapter",
        "Session key renewed",
        "Certificate of the gateway expires in 14 days",
        "Driver reported a malformed packet and dropped it"};
    frame.SendMessage(WM_LOG_LOAD_BEGIN, kRows * 5 / 3);
    LogRecord record;
    for (std::uint32_t key = 0; key < kRows; ++key) {
        record.level = 2 + random() % 6;
        record.source = random() % 4;
        record.statusId = random() % 3 ? 0 : static_cast<std::uint32_t>(random() % 0x2000);
        record.description.AssignText(texts[random() % 8]);
        const std::uint64_t time = kNow - (kRows - key) * 37'000'000ull * 10;
        if (key % 4 == 1) {
            std::lock_guard lock(frame.lock);
            AttachedData& data = frame.attachments[key];
            data.kind = key % 8 == 1 ? NumberAttachment : TextAttachment;
            const std::string text = data.kind == NumberAttachment ? std::string("\x2A\x00\x00\x00", 4) : "peer 203.0.113.7";
            data.bytes.Assign(text.data(), static_cast<std::uint32_t>(text.size()));
        }
        RecordNotice notice{&record, key, static_cast<std::uint32_t>(time), static_cast<std::uint32_t>(time >> 32)};
        frame.SendMessage(WM_LOG_RECORD, 1, reinterpret_cast<LPARAM>(&notice));
        frame.progress.StepIt();
    }
}

class CSnapshotApp : public CWinApp {
public:
    CSnapshotApp() : CWinApp("Display Snapshot") {}

    const char* snapshot = nullptr;
    long seconds = 0;
    HeadlessDriver* headless = nullptr;
    bool failed = false;

    BOOL InitInstance() override {
        if (!frame.Make(1000, 700)) return FALSE;
        Load(frame);
        frame.SendMessage(WM_COMMAND, ID_LOG_DETAIL);
        CListCtrl& list = frame.List()->GetListCtrl();
        list.SetItemState(5, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        frame.UpdateWindow();
        if (seconds > 0)
            ::SetTimer(nullptr, 0, static_cast<UINT>(seconds * 1000),
                       [](HWND, UINT, std::uintptr_t, DWORD) { PostQuitMessage(0); });
        return TRUE;
    }

    BOOL OnIdle(LONG lCount) override {
        const BOOL more = CWinApp::OnIdle(lCount);
        if (headless && snapshot && lCount == 0 && frame.m_hWnd) {
            const std::string error = headless->Snapshot(frame.m_hWnd, snapshot);
            if (error.empty())
                std::printf("snapshot written to %s\n", snapshot);
            else
                std::fprintf(stderr, "display-snapshot: %s\n", error.c_str());
            failed = !error.empty();
            snapshot = nullptr;
            frame.SendMessage(WM_CLOSE);
        }
        return more;
    }

    int ExitInstance() override {
        const int code = CWinApp::ExitInstance();
        return failed ? 1 : code;
    }

    CDisplayTestFrame frame;
};

CSnapshotApp theApp;

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--snapshot") && i + 1 < argc) {
            theApp.snapshot = argv[++i];
        } else if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc) {
            theApp.seconds = std::strtol(argv[++i], nullptr, 10);
        } else {
            std::fprintf(stderr, "usage: display-snapshot [--seconds N] [--snapshot FILE.png]\n");
            return 2;
        }
    }
    if (theApp.snapshot) theApp.headless = &HeadlessDriver::Install();
    char* name = argv[0];
    return AfxWinMain(1, &name);
}
