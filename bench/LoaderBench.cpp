// The loader: decoding and filtering without pacing, beside decoding alone; and a full load of
// 100 000 records from the real service, beside the time the loader's pacing alone imposes.
// Neither the loader nor the service is pinned to a CPU: the service reads ahead on a thread of
// its own while its serving thread answers.

#include <benchmark/benchmark.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "app/LogLoader.h"
#include "app/RecordReader.h"
#include "bench/BenchService.h"
#include "bench/HostSteal.h"
#include "bench/PacingFloor.h"
#include "bench/RatioReporter.h"
#include "channel/RecordCodec.h"
#include "service/LogStore.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kRecords = 100000;
constexpr std::uint64_t kNow = 134100000000000000ull;
constexpr std::uint64_t kSecond = 10000000ull;

StoredRecord Sample(std::uint32_t i) {
    StoredRecord r;
    r.time = kNow - (i % 3000000) * kSecond;  // ages up to a month and more
    r.level = i % 8;
    r.source = i % 4;
    r.statusId = i;
    r.description = std::string(100, static_cast<char>('a' + i % 26));
    if (i % 4 == 0) {
        r.attachmentKind = 1;
        r.attachment = {1, 2, 3, 4};
    }
    return r;
}

// Replies of 50 records each, as the service sends them.
std::vector<std::vector<std::uint8_t>> Replies() {
    std::vector<std::vector<std::uint8_t>> replies(kRecords / kMaxRecordsPerRequest);
    for (std::uint32_t i = 0; i < kRecords; ++i) {
        const StoredRecord s = Sample(i);
        WireRecord w;
        w.time = s.time;
        w.level = s.level;
        w.source = s.source;
        w.statusId = s.statusId;
        w.description = s.description;
        w.attachmentKind = s.attachmentKind;
        w.attachment = s.attachment.data();
        w.attachmentLength = static_cast<std::uint32_t>(s.attachment.size());
        RecordCodec::Append(w, replies[i / kMaxRecordsPerRequest]);
    }
    return replies;
}

void DecodeOnly(benchmark::State& state) {
    const auto replies = Replies();
    for (auto _ : state) {
        std::uint32_t n = 0;
        for (const auto& reply : replies) {
            std::uint32_t cursor = 0;
            WireRecord w;
            while (RecordCodec::Decode(reply.data(), static_cast<std::uint32_t>(reply.size()), cursor, w)) {
                benchmark::DoNotOptimize(w);
                ++n;
            }
        }
        benchmark::DoNotOptimize(n);
    }
    state.counters["records_per_s"] =
        benchmark::Counter(static_cast<double>(kRecords), benchmark::Counter::kIsIterationInvariantRate);
}

// What the loader does to each record, without the channel and the pacing: decode into its
// storage, test both filters, copy a kept record's attachment.
void DecodeAndFilter(benchmark::State& state) {
    const auto replies = Replies();
    LogRecord storage;
    AttachmentMap attachments;
    for (auto _ : state) {
        std::uint32_t kept = 0;
        attachments.clear();
        for (const auto& reply : replies) {
            RecordReader::Read(
                reply.data(), static_cast<std::uint32_t>(reply.size()), kMaxRecordsPerRequest, storage,
                [&](const LogRecord& r, std::uint64_t time) {
                    if (LogLoader::AgeFilterAccepts(time, OneWeek, kNow) &&
                        LogLoader::LevelFilterAccepts(r.level, WarningAndWorse)) {
                        if (!r.attachedData.bytes.IsEmpty())
                            attachments.try_emplace(kept, AttachedData{r.attachedData.kind, r.attachedData.bytes});
                        ++kept;
                    }
                });
        }
        benchmark::DoNotOptimize(kept);
    }
    state.counters["records_per_s"] =
        benchmark::Counter(static_cast<double>(kRecords), benchmark::Counter::kIsIterationInvariantRate);
}

// A frame that only counts, and tells when a load has ended.
class CountingFrame : public LoaderFrame {
public:
    void OnLoadBegin(std::uint32_t) override {}
    void OnRecord(const RecordNotice&) override { ++records; }
    void OnLoadEnd() override {
        std::lock_guard lock(mutex_);
        ++ended_;
        changed_.notify_all();
    }
    void StepProgress() override {}
    void WaitForEnd(int loads) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return ended_ >= loads; });
    }
    std::uint32_t records = 0;

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int ended_ = 0;
};

ServiceChannel* gChannel = nullptr;

void FullLoad(benchmark::State& state) {
    CountingFrame frame;
    frame.channel = gChannel;
    LogLoader loader(frame);
    int loads = 0;
    double spent = 0;
    const HostSteal steal;
    for (auto _ : state) {
        frame.records = 0;
        const auto start = Clock::now();
        frame.RequestReload();
        frame.WaitForEnd(++loads);
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        spent += seconds;
        state.SetIterationTime(seconds);
        if (frame.records != kRecords) state.SkipWithError("the load was short");
    }
    const double floor = PacingFloorSeconds(kRecords);
    state.counters["load_s"] = spent / static_cast<double>(state.iterations());
    state.counters["pacing_s"] = floor;
    state.counters["ratio"] = spent / static_cast<double>(state.iterations()) / floor;
    state.counters["goal"] = 1.05;
    state.counters["steal_pct"] = steal.Percent();
}

BENCHMARK(DecodeOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(DecodeAndFilter)->Unit(benchmark::kMillisecond);
BENCHMARK(FullLoad)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::vector<StoredRecord> records;
    records.reserve(kRecords);
    for (std::uint32_t i = 0; i < kRecords; ++i) records.push_back(Sample(i));
    std::string error;
    auto service = BenchService::Start(records, error, BenchService::Placement::Anywhere);
    if (!service) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    ServiceChannel& channel = service->Channel();
    gChannel = &channel;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
