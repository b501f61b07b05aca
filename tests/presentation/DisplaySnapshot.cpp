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

#include "platform/drivers/DriverChoice.h"
#include "platform/drivers/HeadlessDriver.h"
#include "platform/framework/CWinApp.h"
#include "platform/window/Windows.h"
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

}  // namespace

int main(int argc, char** argv) {
    const char* snapshot = nullptr;
    long seconds = 0;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--snapshot") && i + 1 < argc) {
            snapshot = argv[++i];
        } else if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc) {
            seconds = std::strtol(argv[++i], nullptr, 10);
        } else {
            std::fprintf(stderr, "usage: display-snapshot [--seconds N] [--snapshot FILE.png]\n");
            return 2;
        }
    }
    HeadlessDriver* headless = snapshot ? &HeadlessDriver::Install() : nullptr;
    if (!headless) DriverChoice::Install();
    CWinApp app("Display Snapshot");
    CDisplayTestFrame frame;
    if (!frame.Make(1000, 700)) {
        std::fprintf(stderr, "display-snapshot: no frame\n");
        return 1;
    }
    Load(frame);
    frame.SendMessage(WM_COMMAND, ID_LOG_DETAIL);
    frame.List()->GetListCtrl().SetItemState(5, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    if (seconds > 0)
        ::SetTimer(nullptr, 0, static_cast<UINT>(seconds * 1000),
                   [](HWND, UINT, std::uintptr_t, DWORD) { PostQuitMessage(0); });

    MSG msg;
    if (headless) {
        // Everything queued (painting last) is handled; then the picture is taken.
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        const std::string error = headless->Snapshot(frame.m_hWnd, snapshot);
        frame.DestroyWindow();
        if (!error.empty()) {
            std::fprintf(stderr, "display-snapshot: %s\n", error.c_str());
            return 1;
        }
        std::printf("snapshot written to %s\n", snapshot);
        return 0;
    }
    while (::IsWindow(frame.m_hWnd) && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (frame.m_hWnd) frame.DestroyWindow();
    return 0;
}
