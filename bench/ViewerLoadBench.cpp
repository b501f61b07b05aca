// The whole viewer loading the Quillbridge log: the program's application object and main frame
// on the headless display, the reference service on a demo log of 100 000 or 1 000 000 records.
//   load:   wall time from the program's start (its first reload request) to the end notice with
//           every row in the list, against the loader's pacing floor for that many records.
//   gap:    the longest time between two handled input or paint messages of the record list
//           while rows stream in. A second thread plays a person watching the load: every 5 ms it
//           moves the mouse between two rows of the list, every 100 ms it uncovers the list.
//   memory: the process's peak resident memory with all rows in, against the bytes of the rows'
//           texts (1 000 000 rows).
// The frame is watched from outside: a send hook on the user-interface thread sees the load's
// notices, and the list's window procedure is wrapped to see its input and paint. Neither the
// service nor the viewer is pinned to a CPU, as when a person runs them: the service reads ahead
// on a thread of its own, which needs a CPU its serving thread does not hold.
//   cpu:    the viewer process's processor time a load, steadier than the wall under other builds.
//   steal:  the share of the machine's processor time its host kept for others meanwhile.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/CMainFrame.h"
#include "app/CPelorinApp.h"
#include "bench/BenchService.h"
#include "bench/CpuPinning.h"
#include "bench/HostSteal.h"
#include "bench/PacingFloor.h"
#include "bench/RatioReporter.h"
#include "platform/drivers/HeadlessDriver.h"
#include "platform/framework/CListCtrl.h"
#include "presentation/CContainerView.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kMousePeriod = std::chrono::milliseconds(5);
constexpr int kMovesPerUncover = 20;  // the list uncovered ten times a second
constexpr double kGapGoalMs = 50;

HeadlessDriver* gDisplay = nullptr;

// What the user-interface thread saw of one load. Written on that thread only.
struct LoadWatch {
    Clock::time_point begin, end;
    double cpuEnd = 0;  // the process's processor time at the end notice
    bool began = false, ended = false;
    int rows = 0;
    bool measureTexts = false;
    double textBytes = 0;
    long peakKb = 0;
    CMainFrame* frame = nullptr;
    WNDPROC listProc = nullptr;
    std::vector<Clock::time_point> handled;  // the list's input and paint messages
};
LoadWatch* gWatch = nullptr;
HHOOK gHook = nullptr;

// The high-water mark of resident memory, which "5" in clear_refs sets back to what is resident.
long PeakResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long kb = 0;
    while (status >> key) {
        if (key == "VmHWM:") {
            status >> kb;
            return kb;
        }
        status.ignore(4096, '\n');
    }
    return 0;
}

// Processor time of the whole viewer process (every thread, the service is a process of its own):
// steadier under other builds than the wall clock, which waits for CPUs they hold.
double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

bool ResetPeakResident() { return static_cast<bool>(std::ofstream("/proc/self/clear_refs") << "5"); }

void LoadEnded(LoadWatch& w) {
    w.end = Clock::now();
    w.cpuEnd = ProcessCpuSeconds();
    w.ended = true;
    w.peakKb = PeakResidentKb();
    CListCtrl& list = w.frame->GetList()->GetListCtrl();
    w.rows = list.GetItemCount();
    if (w.measureTexts)
        for (int row = 0; row < w.rows; ++row)
            for (int column = 0; column < 5; ++column)
                w.textBytes += static_cast<double>(list.GetItemText(row, column).size());
    // As a person would once the log is in: closing the frame ends the application's loop.
    w.frame->PostMessage(WM_CLOSE);
}

LRESULT CALLBACK WatchSends(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    LoadWatch& w = *gWatch;
    if (code == HC_ACTION && sent->message == WM_LOG_LOAD_BEGIN && !w.began) {
        w.begin = Clock::now();
        w.began = true;
    } else if (code == HC_ACTION && sent->message == WM_LOG_LOAD_END && w.began && !w.ended && w.frame) {
        LoadEnded(w);
    }
    return CallNextHookEx(gHook, code, wParam, lParam);
}

LRESULT CALLBACK WatchList(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT || message == WM_MOUSEMOVE) gWatch->handled.push_back(Clock::now());
    return CallWindowProcA(gWatch->listProc, hwnd, message, wParam, lParam);
}

// A person watching rows come in: the mouse wanders over the list, and the list is uncovered.
class Watcher {
public:
    explicit Watcher(HWND list) {
        RECT r{};
        GetWindowRect(list, &r);
        const POINT a{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, b{a.x + 7, a.y + 20};  // two rows
        thread_ = std::thread([this, list, a, b] {
            for (int tick = 0; !stop_; ++tick) {
                gDisplay->MoveMouse(tick % 2 ? a : b);
                if (tick % kMovesPerUncover == 0) InvalidateRect(list, nullptr, FALSE);
                std::this_thread::sleep_for(kMousePeriod);
            }
        });
    }
    ~Watcher() {
        stop_ = true;
        thread_.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

double LongestGapMs(const LoadWatch& w) {
    std::vector<Clock::time_point> times{w.begin};
    for (Clock::time_point t : w.handled)
        if (t > w.begin && t < w.end) times.push_back(t);
    times.push_back(w.end);
    double longest = 0;
    for (std::size_t i = 1; i < times.size(); ++i)
        longest = std::max(longest, std::chrono::duration<double, std::milli>(times[i] - times[i - 1]).count());
    return longest;
}

// Runs the program until its first load has ended and the frame is closed.
bool RunOneLoad(const std::string& serviceName, LoadWatch& watch, Clock::time_point& start, std::string& error) {
    gWatch = &watch;
    watch.handled.reserve(100000);
    gHook = SetWindowsHookExA(WH_CALLWNDPROC, WatchSends, nullptr, 0);
    auto app = std::make_unique<CPelorinApp>(serviceName);
    start = Clock::now();
    bool ran = false;
    if (!app->InitInstance()) {
        error = "the program did not start";
    } else if (!(watch.frame = dynamic_cast<CMainFrame*>(app->m_pMainWnd)) || !watch.frame->GetList()) {
        error = "no main frame with a list";
    } else {
        const HWND list = watch.frame->GetList()->m_hWnd;
        watch.listProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<std::intptr_t>(&WatchList)));
        {
            Watcher person(list);
            app->Run();  // until the close that the end notice posts
        }
        ran = watch.ended;
        if (!ran) error = "the load did not end";
    }
    if (CWnd* main = app->m_pMainWnd; main && main->m_hWnd) {
        main->DestroyWindow();
        app->ExitInstance();
    }
    app.reset();
    UnhookWindowsHookEx(gHook);
    gHook = nullptr;
    gWatch = nullptr;
    return ran;
}

void FullLoad(benchmark::State& state) {
    const auto records = static_cast<std::uint32_t>(state.range(0));
    const bool measureMemory = records >= 1000000;
    std::string error;
    auto service = BenchService::StartDemo(records, error, BenchService::Placement::Anywhere);
    if (!service) {
        state.SkipWithError(error.c_str());
        return;
    }
    // The program is not pinned: its loader and user-interface threads go where the scheduler
    // puts them, as they do for a person. Held on one CPU, each of the loader's two sends a
    // record would wait for a switch of that CPU.
    RunAnywhere();
    double spent = 0, cpu = 0, longestGap = 0, peakBytes = 0, textBytes = 0;
    const HostSteal steal;
    for (auto _ : state) {
        if (measureMemory && !ResetPeakResident()) {
            state.SkipWithError("cannot reset the peak resident memory");
            break;
        }
        LoadWatch watch;
        watch.measureTexts = measureMemory;
        Clock::time_point start;
        const double cpuBefore = ProcessCpuSeconds();
        if (!RunOneLoad(service->Name(), watch, start, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        if (watch.rows != static_cast<int>(records)) {
            state.SkipWithError("the list does not hold every record");
            break;
        }
        const double seconds = std::chrono::duration<double>(watch.end - start).count();
        state.SetIterationTime(seconds);
        spent += seconds;
        cpu += watch.cpuEnd - cpuBefore;
        longestGap = std::max(longestGap, LongestGapMs(watch));
        peakBytes = std::max(peakBytes, watch.peakKb * 1024.0);
        textBytes = watch.textBytes;
    }
    if (state.iterations() == 0) return;
    const double floor = PacingFloorSeconds(records);
    const double load = spent / static_cast<double>(state.iterations());
    state.counters["load_s"] = load;
    state.counters["pacing_s"] = floor;
    state.counters["ratio"] = load / floor;
    state.counters["goal"] = 1.05;
    state.counters["viewer_cpu_s"] = cpu / static_cast<double>(state.iterations());
    state.counters["gap_ms"] = longestGap;
    state.counters["gap_goal_ms"] = kGapGoalMs;
    state.counters["steal_pct"] = steal.Percent();
    if (measureMemory) {
        state.counters["peak_rss_MB"] = peakBytes / 1e6;
        state.counters["text_MB"] = textBytes / 1e6;
        state.counters["rss_per_text"] = peakBytes / textBytes;
    }
}

BENCHMARK(FullLoad)->Arg(100000)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(FullLoad)->Arg(1000000)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    // The program's settings go to a directory of the run's own, not the user's.
    TempDirectory settings;
    setenv("XDG_CONFIG_HOME", settings.Path().c_str(), 1);
    gDisplay = &HeadlessDriver::Install(SIZE{1280, 1024});
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
