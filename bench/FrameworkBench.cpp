// The framework's cost per message: a private message sent to a window whose handler is in the
// base class of a three-level map chain (as the loader's record notice reaches the frame), and a
// menu command routed through view, document, frame and application, each beside the same
// SendMessage to a plain window procedure that does the same work, in the same run, in thread CPU
// time. Goals: a message at most twice, a command (two walks of the route: its state, then the
// command) at most eight times the plain procedure.
// Ratio = framework / plain procedure.

#include <benchmark/benchmark.h>
#include <time.h>

#include <chrono>
#include <memory>

#include "bench/RatioReporter.h"
#include "platform/controls/MenuRegistry.h"
#include "platform/controls/MenuTemplate.h"
#include "platform/drivers/HeadlessDriver.h"
#include "platform/framework/AfxMsg.h"
#include "platform/framework/CDocument.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CSingleDocTemplate.h"
#include "platform/framework/CView.h"
#include "platform/framework/CWinApp.h"
#include "platform/framework/StringTable.h"
#include "platform/window/Windows.h"

namespace {

// This thread's CPU time: what dispatching costs, without the waits a loaded machine adds.
struct Clock {
    using duration = std::chrono::nanoseconds;
    using time_point = std::chrono::time_point<Clock, duration>;
    static time_point now() {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return time_point(duration(static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec));
    }
};

constexpr int kBlock = 1000;
constexpr UINT kRecord = 0x65A, kCommand = 32793, kResource = 128;
long gWork = 0;

// Fills a table with entries of other messages, as real frames have.
#define BENCH_FILLER(base)                                          \
    ON_MESSAGE(WM_USER + (base) + 0, &ThisClass::OnOther)           \
    ON_MESSAGE(WM_USER + (base) + 1, &ThisClass::OnOther)           \
    ON_MESSAGE(WM_USER + (base) + 2, &ThisClass::OnOther)           \
    ON_MESSAGE(WM_USER + (base) + 3, &ThisClass::OnOther)           \
    ON_MESSAGE(WM_USER + (base) + 4, &ThisClass::OnOther)           \
    ON_MESSAGE(WM_USER + (base) + 5, &ThisClass::OnOther)           \
    ON_MESSAGE(WM_USER + (base) + 6, &ThisClass::OnOther)           \
    ON_MESSAGE(WM_USER + (base) + 7, &ThisClass::OnOther)           \
    ON_COMMAND(33000 + (base), &ThisClass::OnOtherCommand)          \
    ON_COMMAND(33001 + (base), &ThisClass::OnOtherCommand)          \
    ON_UPDATE_COMMAND_UI(33000 + (base), &ThisClass::OnOtherUpdate) \
    ON_UPDATE_COMMAND_UI(33001 + (base), &ThisClass::OnOtherUpdate)

class CBenchDoc : public CDocument {
    DECLARE_DYNCREATE(CBenchDoc)

public:
    LRESULT OnOther(WPARAM, LPARAM) { return 0; }
    void OnOtherCommand() {}
    void OnOtherUpdate(CCmdUI*) {}

protected:
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CBenchDoc, CDocument)
BEGIN_MESSAGE_MAP(CBenchDoc, CDocument)
BENCH_FILLER(20)
END_MESSAGE_MAP()

class CBenchView : public CView {
    DECLARE_DYNCREATE(CBenchView)

public:
    void OnDraw(CDC*) override {}
    LRESULT OnOther(WPARAM, LPARAM) { return 0; }
    void OnOtherCommand() {}
    void OnOtherUpdate(CCmdUI*) {}

protected:
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CBenchView, CView)
BEGIN_MESSAGE_MAP(CBenchView, CView)
BENCH_FILLER(40)
END_MESSAGE_MAP()

class CBenchFrameBase : public CFrameWnd {
    DECLARE_DYNCREATE(CBenchFrameBase)

public:
    LRESULT OnOther(WPARAM, LPARAM) { return 0; }
    void OnOtherCommand() {}
    void OnOtherUpdate(CCmdUI*) {}
    LRESULT OnRecord(WPARAM wParam, LPARAM) {
        gWork += static_cast<long>(wParam);
        return 1;
    }

protected:
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CBenchFrameBase, CFrameWnd)
BEGIN_MESSAGE_MAP(CBenchFrameBase, CFrameWnd)
BENCH_FILLER(60)
ON_MESSAGE(kRecord, &CBenchFrameBase::OnRecord)
END_MESSAGE_MAP()

class CBenchFrameMiddle : public CBenchFrameBase {
    DECLARE_DYNCREATE(CBenchFrameMiddle)

protected:
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CBenchFrameMiddle, CBenchFrameBase)
BEGIN_MESSAGE_MAP(CBenchFrameMiddle, CBenchFrameBase)
BENCH_FILLER(80)
END_MESSAGE_MAP()

class CBenchFrame : public CBenchFrameMiddle {
    DECLARE_DYNCREATE(CBenchFrame)

protected:
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CBenchFrame, CBenchFrameMiddle)
BEGIN_MESSAGE_MAP(CBenchFrame, CBenchFrameMiddle)
BENCH_FILLER(100)
END_MESSAGE_MAP()

class CBenchApp : public CWinApp {
public:
    CBenchApp() : CWinApp("Framework Bench") {}
    LRESULT OnOther(WPARAM, LPARAM) { return 0; }
    void OnOtherCommand() {}
    void OnOtherUpdate(CCmdUI*) {}
    void OnRefresh() { gWork += 1; }

protected:
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CBenchApp, CWinApp)
BENCH_FILLER(120)
ON_COMMAND(kCommand, &CBenchApp::OnRefresh)
END_MESSAGE_MAP()

LRESULT CALLBACK PlainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kRecord:
            gWork += static_cast<long>(wParam);
            return 1;
        case WM_COMMAND:
            if (LOWORD(wParam) == kCommand) {
                gWork += 1;
                return 0;
            }
            break;
        default:
            break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

HWND gPlain = nullptr;
HWND gFrame = nullptr;

// Times `framework` and `plain` blocks of sends alternately; reports both and their ratio.
template <class Send>
void Compare(benchmark::State& state, Send send, UINT message, double goal) {
    Clock::duration frameworkTime{}, plainTime{};
    for (auto _ : state) {
        const auto start = Clock::now();
        for (int i = 0; i < kBlock; ++i) send(gFrame, message, i);
        const auto middle = Clock::now();
        for (int i = 0; i < kBlock; ++i) send(gPlain, message, i);
        const auto end = Clock::now();
        frameworkTime += middle - start;
        plainTime += end - middle;
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    benchmark::DoNotOptimize(gWork);
    const double sends = static_cast<double>(state.iterations()) * kBlock;
    state.counters["framework_ns"] = std::chrono::duration<double, std::nano>(frameworkTime).count() / sends;
    state.counters["plain_ns"] = std::chrono::duration<double, std::nano>(plainTime).count() / sends;
    state.counters["ratio"] = static_cast<double>(frameworkTime.count()) / static_cast<double>(plainTime.count());
    state.counters["goal"] = goal;
}

void PrivateMessageThroughTheMap(benchmark::State& state) {
    Compare(
        state, [](HWND hwnd, UINT message, int i) { SendMessageA(hwnd, message, static_cast<WPARAM>(i), 0); }, kRecord,
        2.0);
}

void MenuCommandThroughTheRoute(benchmark::State& state) {
    Compare(
        state, [](HWND hwnd, UINT message, int) { SendMessageA(hwnd, message, kCommand, 0); }, WM_COMMAND, 8.0);
}

BENCHMARK(PrivateMessageThroughTheMap)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(MenuCommandThroughTheRoute)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    HeadlessDriver::Install();
    CBenchApp app;
    StringTable::Register(kResource, "Bench");
    MenuRegistry::Instance().Register(MAKEINTRESOURCEA(kResource), MenuTemplate(0, 0, "", {{0, kCommand, "&Refresh"}}));
    app.AddDocTemplate(std::make_unique<CSingleDocTemplate>(kResource, RUNTIME_CLASS(CBenchDoc),
                                                            RUNTIME_CLASS(CBenchFrame), RUNTIME_CLASS(CBenchView)));
    app.OnFileNew();
    if (!app.m_pMainWnd) {
        std::fprintf(stderr, "framework_bench: the frame could not be made\n");
        return 1;
    }
    gFrame = app.m_pMainWnd->m_hWnd;
    WNDCLASSA cls{};
    cls.lpfnWndProc = PlainProc;
    cls.lpszClassName = "BenchPlain";
    RegisterClassA(&cls);
    gPlain = CreateWindowExA(0, "BenchPlain", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    DestroyWindow(gPlain);
    app.m_pMainWnd->DestroyWindow();
    return 0;
}
