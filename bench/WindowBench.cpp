// A cross-thread SendMessage round trip (the loader sends one per record to the UI thread) beside
// a mutex and condition-variable hand-off between the same two threads, in the same run.
// Ratio = SendMessage / hand-off.

#include <benchmark/benchmark.h>
#include <sched.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include "bench/CpuPinning.h"
#include "bench/RatioReporter.h"
#include "platform/drivers/HeadlessDriver.h"
#include "platform/kernel/Threads.h"
#include "platform/window/Windows.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kBlock = 1000;
constexpr UINT kWmEcho = WM_USER + 1, kWmHandOff = WM_USER + 2;

// The hand-off: one request slot and one answer slot under a mutex, a condition variable each way.
struct HandOff {
    std::mutex lock;
    std::condition_variable asked, answered;
    bool pending = false, done = false, stop = false;
    long value = 0;

    long Exchange(long v) {
        std::unique_lock guard(lock);
        value = v;
        pending = true;
        done = false;
        asked.notify_one();
        answered.wait(guard, [&] { return done; });
        return value;
    }
    // Serves until told to stop.
    void Serve() {
        std::unique_lock guard(lock);
        for (;;) {
            asked.wait(guard, [&] { return pending; });
            pending = false;
            if (stop) {
                stop = false;
                done = true;
                answered.notify_one();
                return;
            }
            value += 1;
            done = true;
            answered.notify_one();
        }
    }
    void Stop() {
        {
            std::lock_guard guard(lock);
            stop = true;
        }
        Exchange(0);
    }
};

HandOff gHandOff;
HWND gWindow = nullptr;

LRESULT CALLBACK EchoProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kWmEcho) return static_cast<LRESULT>(wParam) + 1;
    if (message == kWmHandOff) {
        gHandOff.Serve();  // the same thread answers the baseline, until it is told to stop
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void SendRoundTrip(benchmark::State& state) {
    Clock::duration sendTime{}, handOffTime{};
    long sum = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        for (int i = 0; i < kBlock; ++i) sum += SendMessageA(gWindow, kWmEcho, static_cast<WPARAM>(i), 0);
        const auto middle = Clock::now();
        PostMessageA(gWindow, kWmHandOff, 0, 0);  // the UI thread now waits on the condition variable
        const auto handOffStart = Clock::now();
        for (int i = 0; i < kBlock; ++i) sum += gHandOff.Exchange(i);
        const auto end = Clock::now();
        gHandOff.Stop();
        sendTime += middle - start;
        handOffTime += end - handOffStart;
        state.SetIterationTime(std::chrono::duration<double>((middle - start) + (end - handOffStart)).count());
    }
    benchmark::DoNotOptimize(sum);
    const double exchanges = static_cast<double>(state.iterations()) * kBlock;
    state.counters["send_us"] = std::chrono::duration<double, std::micro>(sendTime).count() / exchanges;
    state.counters["handoff_us"] = std::chrono::duration<double, std::micro>(handOffTime).count() / exchanges;
    state.counters["ratio"] = static_cast<double>(sendTime.count()) / static_cast<double>(handOffTime.count());
    state.counters["goal"] = 0.25;
}

BENCHMARK(SendRoundTrip)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    HeadlessDriver::Install();
    // One CPU for each thread, for both ways alike: left to the scheduler, a ping-pong pulls both
    // threads onto one CPU, and what is measured is the scheduler's placement.
    const bool pinned = CanPinApart();
    std::mutex ready;
    std::condition_variable created;
    DWORD uiThread = 0;
    std::thread ui([&] {
        if (pinned) RunOn(1);
        uiThread = GetCurrentThreadId();
        WNDCLASSA cls{};
        cls.lpfnWndProc = EchoProc;
        cls.lpszClassName = "BenchEcho";
        RegisterClassA(&cls);
        HWND hwnd = CreateWindowExA(0, "BenchEcho", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        {
            std::lock_guard guard(ready);
            gWindow = hwnd;
        }
        created.notify_one();
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
        DestroyWindow(hwnd);
    });
    if (pinned) RunOn(0);
    {
        std::unique_lock guard(ready);
        created.wait(guard, [] { return gWindow != nullptr; });
    }

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    PostThreadMessageA(uiThread, WM_QUIT, 0, 0);
    ui.join();
    return 0;
}
