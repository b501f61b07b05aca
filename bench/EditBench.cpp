// The debug log's text box with 50 MB of text, in the same run as its baselines:
//   SetText          WM_SETTEXT beside a plain copy of the same bytes with a memchr scan for their
//                    line ends (ratio = edit / copy and scan);
//   ScrollToEnd      from the top to the end, painting what shows there, beside the same copy and
//                    scan (ratio = edit / copy and scan);
//   ScrollToEndFlat  the same scroll beside one in a 64 KB text (ratio = 50 MB / 64 KB).
// The text is held apart from its view: setting costs about one pass over the bytes, scrolling
// costs the lines in view whatever the size.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "bench/RatioReporter.h"
#include "platform/controls/CommCtrl.h"
#include "platform/controls/Edit.h"
#include "platform/drivers/HeadlessDriver.h"
#include "platform/window/Windows.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kTextBytes = 50u << 20;

const std::string& DebugLog() {
    static const std::string text = [] {
        std::string t;
        t.reserve(kTextBytes + 256);
        for (long i = 0; t.size() < kTextBytes; ++i)
            t += "12/07/2026 14:05:09 [" + std::to_string(i) +
                 "] Quillbridge service: keep-alive from gw-sin-04.quillbridge.net\r\n";
        return t;
    }();
    return text;
}

// The baseline: the bytes copied once into fresh memory, as a new text must be, and their line
// feeds found with memchr.
std::size_t CopyAndScan(const std::string& text) {
    std::string copy(text.data(), text.size());
    std::vector<std::size_t> starts{0};
    const char* base = copy.data();
    const char* end = base + copy.size();
    for (const char* p = base; (p = static_cast<const char*>(std::memchr(p, '\n', end - p))); ++p)
        starts.push_back(static_cast<std::size_t>(p - base) + 1);
    return starts.size();
}

// Times `measured` and `baseline` in turns after `prepare`, and reports both and their ratio.
template <class Prepare, class Measured, class Baseline>
void Compare(benchmark::State& state, Prepare prepare, Measured measured, Baseline baseline, const char* measuredName,
             const char* baselineName, double goal) {
    Clock::duration measuredTime{}, baselineTime{};
    for (auto _ : state) {
        prepare();
        const auto a = Clock::now();
        measured();
        const auto b = Clock::now();
        baseline();
        const auto c = Clock::now();
        measuredTime += b - a;
        baselineTime += c - b;
        state.SetIterationTime(std::chrono::duration<double>(c - a).count());
    }
    const double n = static_cast<double>(state.iterations());
    state.counters[measuredName] = std::chrono::duration<double, std::milli>(measuredTime).count() / n;
    state.counters[baselineName] = std::chrono::duration<double, std::milli>(baselineTime).count() / n;
    state.counters["ratio"] = static_cast<double>(measuredTime.count()) / static_cast<double>(baselineTime.count());
    state.counters["goal"] = goal;
}

struct Window {
    HWND frame = nullptr, edit = nullptr;

    Window() {
        static const bool once = [] {
            HeadlessDriver::Install(SIZE{1280, 1024});
            InitCommonControls();
            return true;
        }();
        (void)once;
        WNDCLASSA cls{};
        cls.lpfnWndProc = DefWindowProcA;
        cls.lpszClassName = "EditBenchFrame";
        RegisterClassA(&cls);
        frame = CreateWindowExA(0, "EditBenchFrame", "", WS_POPUP | WS_VISIBLE, 0, 0, 1000, 800, nullptr, nullptr,
                                nullptr, nullptr);
        // As the viewer makes its debug text box.
        edit = CreateWindowExA(0, Edit::kClassName, "",
                               WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | ES_MULTILINE |
                                   ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_READONLY | ES_WANTRETURN,
                               0, 0, 1000, 800, frame, reinterpret_cast<HMENU>(1009), nullptr, nullptr);
        UpdateWindow(edit);
    }
    ~Window() { DestroyWindow(frame); }

    void ScrollTo(std::size_t pos) {
        SendMessageA(edit, EM_SETSEL, pos, static_cast<LPARAM>(pos));
        SendMessageA(edit, EM_SCROLLCARET, 0, 0);
        UpdateWindow(edit);
    }
};

void SetText(benchmark::State& state) {
    const std::string& text = DebugLog();
    Window w;
    Compare(
        state, [&] { SetWindowTextA(w.edit, ""); }, [&] { SetWindowTextA(w.edit, text.c_str()); },
        [&] { benchmark::DoNotOptimize(CopyAndScan(text)); }, "edit_ms", "copy_scan_ms", 2.0);
}

void ScrollToEnd(benchmark::State& state) {
    const std::string& text = DebugLog();
    Window w;
    SetWindowTextA(w.edit, text.c_str());
    Compare(
        state, [&] { w.ScrollTo(0); }, [&] { w.ScrollTo(text.size()); },
        [&] { benchmark::DoNotOptimize(CopyAndScan(text)); }, "edit_ms", "copy_scan_ms", 0.1);
}

void ScrollToEndFlat(benchmark::State& state) {
    const std::string& large = DebugLog();
    const std::string small = large.substr(0, large.find("\r\n", 64u << 10) + 2);
    Window big, little;
    SetWindowTextA(big.edit, large.c_str());
    SetWindowTextA(little.edit, small.c_str());
    Compare(
        state,
        [&] {
            big.ScrollTo(0);
            little.ScrollTo(0);
        },
        [&] { big.ScrollTo(large.size()); }, [&] { little.ScrollTo(small.size()); }, "50MB_ms", "64KB_ms", 1.25);
}

BENCHMARK(SetText)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(ScrollToEnd)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(ScrollToEndFlat)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
