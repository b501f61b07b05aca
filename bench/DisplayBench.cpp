// The record list at the scale of a large log: a million records added through
// CContainerView::AddRecord, the texts made from the records' fields as a load makes them.
//   AddRecord:  the cost of a row (median of steps of 10 000 rows) against 1.5 us, so that the
//               list never slows the loader's ~22 000 rows a second; beside it the list control's
//               own append of the same texts, measured in the same run.
//   Memory:     the heap's growth while adding, against 1.2 x the rows' text bytes + 16 bytes a row.
// Times are the thread's processor time: the machine may be busy with others.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "bench/RatioReporter.h"
#include "platform/drivers/HeadlessDriver.h"
#include "platform/framework/CCreateContext.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CWinApp.h"
#include "presentation/CContainerView.h"
#include "presentation/FieldText.h"
#include "resources/ImageResources.h"

namespace {

constexpr int kRows = 1'000'000;
constexpr int kStep = 10'000;
constexpr int kPool = 4096;
constexpr std::uint64_t kNow = 134100000000000000ull;
constexpr std::uint64_t kDay = 864000000000ull;

// Demo-like records made before anything is measured, used in turn.
struct Pool {
    std::vector<LogRecord> records;
    std::vector<std::uint64_t> times;

    Pool() : records(kPool), times(kPool) {
        std::mt19937 random(42);
        static const char* const words[] = {"tunnel", "handshake", "adapter", "route", "session", "key",
                                            "timeout", "renewed", "failed", "peer", "gateway", "DNS"};
        for (int i = 0; i < kPool; ++i) {
            LogRecord& r = records[static_cast<std::size_t>(i)];
            r.level = 2 + random() % 6;
            r.source = random() % 4;
            r.statusId = static_cast<std::uint32_t>(random());
            std::string description;
            while (description.size() < 50 + random() % 50) description += std::string(words[random() % 12]) + " ";
            r.description.AssignText(description.c_str());
            times[static_cast<std::size_t>(i)] = kNow - random() % (45 * kDay);
        }
    }
};

double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

std::size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// A frame whose view is the record list, with its columns.
struct ListFrame {
    CFrameWnd frame;
    CContainerView* list = nullptr;

    ListFrame() {
        CCreateContext context{};
        context.m_pNewViewClass = RUNTIME_CLASS(CContainerView);
        frame.Create(nullptr, "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 1000, 800), nullptr, nullptr, 0,
                     &context);
        list = dynamic_cast<CContainerView*>(frame.GetDlgItem(AFX_IDW_PANE_FIRST));
        list->InitColumns(1);
    }
    ~ListFrame() { frame.DestroyWindow(); }

    void Add(const Pool& pool, int row) {
        const auto at = static_cast<std::size_t>(row % kPool);
        list->AddRecord(pool.records[at], static_cast<std::uint32_t>(row), FileTimeFromValue(pool.times[at]));
    }
};

// The median step's cost of a row, and the mean.
struct Times {
    double median = 0, mean = 0;
};

template <class AddRow>
Times TimeRows(AddRow add) {
    std::vector<double> steps;
    const double start = ThreadSeconds();
    double stepStart = start;
    for (int row = 0; row < kRows; ++row) {
        add(row);
        if ((row + 1) % kStep == 0) {
            const double now = ThreadSeconds();
            steps.push_back((now - stepStart) * 1e6 / kStep);
            stepStart = now;
        }
    }
    Times times;
    times.mean = (ThreadSeconds() - start) * 1e6 / kRows;
    std::nth_element(steps.begin(), steps.begin() + static_cast<long>(steps.size() / 2), steps.end());
    times.median = steps[steps.size() / 2];
    return times;
}

void AddRecordPerRow(benchmark::State& state) {
    const Pool pool;
    // The baseline: the same texts, made beforehand, appended with the control's own messages.
    std::vector<std::string> texts;
    for (int i = 0; i < kPool; ++i) {
        const LogRecord& r = pool.records[static_cast<std::size_t>(i)];
        texts.push_back(LevelCaption(r.level).caption);
        texts.push_back(FormatLogTime(FileTimeFromValue(pool.times[static_cast<std::size_t>(i)])));
        texts.push_back(FormatStatus(r.statusId));
        texts.push_back(SourceCaption(r.source));
        texts.push_back(r.description.Text());
    }
    Times viewTimes, controlTimes;
    for (auto _ : state) {
        {
            ListFrame f;
            viewTimes = TimeRows([&](int row) { f.Add(pool, row); });
        }
        {
            ListFrame f;
            CListCtrl& list = f.list->GetListCtrl();
            controlTimes = TimeRows([&](int row) {
                const std::string* t = &texts[static_cast<std::size_t>(row % kPool) * 5];
                const int at = list.InsertItem(LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM, row, t[0].c_str(), 0, 0, 0, row);
                for (int c = 1; c < 5; ++c) list.SetItemText(at, c, t[c].c_str());
            });
        }
        state.SetIterationTime(viewTimes.mean * kRows / 1e6);
    }
    state.counters["us_per_row"] = viewTimes.median;
    state.counters["control_us_per_row"] = controlTimes.median;
    state.counters["against_control"] = viewTimes.median / controlTimes.median;
    state.counters["ratio"] = viewTimes.median / 1.5;  // against the budget of 1.5 us a row
    state.counters["goal"] = 1.0;
}

void Memory(benchmark::State& state) {
    const Pool pool;
    double growth = 0, budget = 0, textBytes = 0;
    for (auto _ : state) {
        ListFrame f;
        malloc_trim(0);
        const std::size_t before = HeapInUse();
        for (int row = 0; row < kRows; ++row) f.Add(pool, row);
        const std::size_t after = HeapInUse();
        growth = static_cast<double>(after - before);
        CListCtrl& list = f.list->GetListCtrl();
        textBytes = 0;
        for (int row = 0; row < kRows; ++row)
            for (int c = 0; c < 5; ++c) textBytes += static_cast<double>(list.GetItemText(row, c).size());
        budget = 1.2 * textBytes + 16.0 * kRows;
    }
    state.counters["heap_per_row"] = growth / kRows;
    state.counters["text_per_row"] = textBytes / kRows;
    state.counters["budget_per_row"] = budget / kRows;
    state.counters["ratio"] = growth / budget;
    state.counters["goal"] = 1.0;
}

BENCHMARK(AddRecordPerRow)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Memory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    HeadlessDriver::Install(SIZE{1280, 1024});
    CWinApp app("Display Bench");
    RegisterImageResources();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
