// Scrolling a 1000x800 list of text rows by one row: ScrollWindowEx moves the pixels and only the
// uncovered row is painted, beside invalidating and painting the whole page, in the same run.
// Also what SetScrollInfo costs a list that grows its range with every row it appends, beside the
// InvalidateRect of that row. Ratios = measured / baseline, in the thread's CPU time: all the work
// is on this thread, and the machines are shared.

#include <benchmark/benchmark.h>
#include <time.h>

#include <chrono>
#include <cstdio>

#include "bench/RatioReporter.h"
#include "platform/drivers/HeadlessDriver.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/SystemColors.h"
#include "platform/graphics/TextOutput.h"
#include "platform/window/ScrollBars.h"
#include "platform/window/Windows.h"

namespace {

// The calling thread's CPU time.
struct Clock {
    using duration = std::chrono::nanoseconds;
    using time_point = std::chrono::time_point<Clock, duration>;
    static time_point now() {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return time_point(duration(static_cast<long long>(t.tv_sec) * 1'000'000'000 + t.tv_nsec));
    }
};

constexpr int kRowHeight = 20, kWidth = 1000, kHeight = 800;
int gFirstRow = 0;

// Paints the rows it is asked for, as a list would: a background and five texts each.
LRESULT CALLBACK ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return DefWindowProcA(hwnd, message, wParam, lParam);
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    SelectObject(hdc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(hdc, TRANSPARENT);
    for (int y = ps.rcPaint.top / kRowHeight * kRowHeight; y < ps.rcPaint.bottom; y += kRowHeight) {
        const int row = gFirstRow + y / kRowHeight;
        const RECT r{0, y, kWidth, y + kRowHeight};
        FillRect(hdc, &r, GetSysColorBrush(row % 2 ? COLOR_3DFACE : COLOR_WINDOW));
        char text[96];
        const int n = std::snprintf(text, sizeof text, "Info  12/08/2026 11:%02d:%02d  0x%08X  Service  Row %d",
                                    row / 60 % 60, row % 60, row * 7919, row);
        for (int column = 0; column < 5; ++column) TextOutA(hdc, 4 + column * 190, y + 3, text, n);
    }
    EndPaint(hwnd, &ps);
    return 0;
}

HWND gList = nullptr;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

void ScrollByARow(benchmark::State& state) {
    Clock::duration moved{}, repainted{};
    for (auto _ : state) {
        const auto start = Clock::now();
        ++gFirstRow;
        ScrollWindowEx(gList, 0, -kRowHeight, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
        SetScrollPos(gList, SB_VERT, gFirstRow, TRUE);
        UpdateWindow(gList);
        const auto middle = Clock::now();
        ++gFirstRow;
        InvalidateRect(gList, nullptr, FALSE);
        SetScrollPos(gList, SB_VERT, gFirstRow, TRUE);
        UpdateWindow(gList);
        const auto end = Clock::now();
        moved += middle - start;
        repainted += end - middle;
        state.SetIterationTime(Seconds(end - start));
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["scroll_us"] = Seconds(moved) * 1e6 / n;
    state.counters["page_us"] = Seconds(repainted) * 1e6 / n;
    state.counters["ratio"] = Seconds(moved) / Seconds(repainted);
    state.counters["goal"] = 0.5;  // at least twice as fast as painting the page again
}

void RangePerAppendedRow(benchmark::State& state) {
    constexpr int kBlock = 1000;
    Clock::duration ranged{}, invalidated{};
    int rows = 1000;  // a list already longer than its page
    for (auto _ : state) {
        const auto start = Clock::now();
        for (int i = 0; i < kBlock; ++i) {
            const SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE, 0, ++rows, kHeight / kRowHeight, 0, 0};
            SetScrollInfo(gList, SB_VERT, &si, TRUE);
        }
        const auto middle = Clock::now();
        for (int i = 0; i < kBlock; ++i) {
            const RECT row{0, (i % 40) * kRowHeight, kWidth, (i % 40 + 1) * kRowHeight};
            InvalidateRect(gList, &row, FALSE);
        }
        const auto end = Clock::now();
        ValidateRect(gList, nullptr);
        ranged += middle - start;
        invalidated += end - middle;
        state.SetIterationTime(Seconds(end - start));
    }
    const double calls = static_cast<double>(state.iterations()) * kBlock;
    state.counters["setscrollinfo_us"] = Seconds(ranged) * 1e6 / calls;
    state.counters["invalidate_us"] = Seconds(invalidated) * 1e6 / calls;
    state.counters["ratio"] = Seconds(ranged) / Seconds(invalidated);
    state.counters["goal"] = 3.0;
}

BENCHMARK(ScrollByARow)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(RangePerAppendedRow)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    HeadlessDriver::Install();
    WNDCLASSA cls{};
    cls.lpfnWndProc = ListProc;
    cls.lpszClassName = "BenchList";
    RegisterClassA(&cls);
    gList = CreateWindowExA(0, "BenchList", "", WS_POPUP | WS_VISIBLE | WS_VSCROLL, 0, 0, kWidth, kHeight, nullptr,
                            nullptr, nullptr, nullptr);
    const SCROLLINFO si{sizeof(SCROLLINFO), SIF_ALL, 0, 1 << 30, kHeight / kRowHeight, 0, 0};
    SetScrollInfo(gList, SB_VERT, &si, TRUE);
    UpdateWindow(gList);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    DestroyWindow(gList);
    return 0;
}
