// The file dialog's folder list with a folder of 100 000 files, in the same run as its baseline:
//   ListLargeFolder  the folder read, sorted, filtered by "*.txt" and put in the dialog's list
//                    box (drawn once), beside a bare readdir of the same folder into strings
//                    and a sort of them (ratio = dialog / readdir and sort).
// A large folder costs the dialog little more than reading it: one pass, one sort, rows drawn
// only where they show.

#include <benchmark/benchmark.h>
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/RatioReporter.h"
#include "platform/controls/CommCtrl.h"
#include "platform/controls/DirectoryListing.h"
#include "platform/controls/ListBox.h"
#include "platform/drivers/HeadlessDriver.h"
#include "platform/window/Windows.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kFiles = 100000;

// A folder of files made once on a memory file system where there is one, removed at exit.
const std::string& LargeFolder() {
    static const std::string path = [] {
        const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string p = std::string(base) + "/qb-dialog-bench-XXXXXX";
        if (!mkdtemp(p.data())) std::abort();
        for (int i = 0; i < kFiles; ++i) {
            const std::string name = p + "/record-" + std::to_string(i) + (i % 10 ? ".txt" : ".log");
            if (FILE* f = std::fopen(name.c_str(), "w")) std::fclose(f);
        }
        std::atexit([] { std::system(("rm -rf " + LargeFolder()).c_str()); });
        return p;
    }();
    return path;
}

std::size_t ReadAndSort(const std::string& path) {
    std::vector<std::string> names;
    DIR* dir = opendir(path.c_str());
    while (const dirent* e = readdir(dir)) names.emplace_back(e->d_name);
    closedir(dir);
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; });
    return names.size();
}

struct Window {
    HWND frame = nullptr, list = nullptr;

    Window() {
        HeadlessDriver::Install(SIZE{1280, 1024});
        InitCommonControls();
        WNDCLASSA cls{};
        cls.lpfnWndProc = DefWindowProcA;
        cls.lpszClassName = "DialogBenchFrame";
        RegisterClassA(&cls);
        frame = CreateWindowExA(0, "DialogBenchFrame", "", WS_POPUP | WS_VISIBLE, 0, 0, 500, 400, nullptr, nullptr,
                                nullptr, nullptr);
        list = CreateWindowExA(WS_EX_CLIENTEDGE, ListBox::kClassName, "",
                               WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 10, 10, 460,
                               160, frame, reinterpret_cast<HMENU>(0x460), nullptr, nullptr);
    }
    ~Window() { DestroyWindow(frame); }

    // As the file dialog fills its list.
    LRESULT Show(const std::string& path) {
        DirectoryListing listing;
        listing.Read(path);
        const auto shown = listing.Shown("*.txt");
        SendMessageA(list, WM_SETREDRAW, FALSE, 0);
        SendMessageA(list, LB_RESETCONTENT, 0, 0);
        SendMessageA(list, LB_INITSTORAGE, shown.size(), 0);
        for (const DirectoryListing::Entry* e : shown)
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e->name.c_str()));
        SendMessageA(list, WM_SETREDRAW, TRUE, 0);
        UpdateWindow(frame);
        return SendMessageA(list, LB_GETCOUNT, 0, 0);
    }
};

void ListLargeFolder(benchmark::State& state) {
    const std::string& path = LargeFolder();
    Window w;
    Clock::duration dialogTime{}, baseTime{};
    for (auto _ : state) {
        const auto a = Clock::now();
        benchmark::DoNotOptimize(w.Show(path));
        const auto b = Clock::now();
        benchmark::DoNotOptimize(ReadAndSort(path));
        const auto c = Clock::now();
        dialogTime += b - a;
        baseTime += c - b;
        state.SetIterationTime(std::chrono::duration<double>(c - a).count());
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["dialog_ms"] = std::chrono::duration<double, std::milli>(dialogTime).count() / n;
    state.counters["readdir_sort_ms"] = std::chrono::duration<double, std::milli>(baseTime).count() / n;
    state.counters["ratio"] = static_cast<double>(dialogTime.count()) / static_cast<double>(baseTime.count());
    state.counters["goal"] = 2.0;
}

BENCHMARK(ListLargeFolder)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
