// Records served per second by quillbridge-service through ReadRecordsRequest (50 a request,
// 100-byte descriptions), beside the client's cost of decoding them, in the same run; and what
// both add to a viewer's load of the whole log, against the time its pacing alone takes.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchService.h"
#include "bench/RatioReporter.h"
#include "channel/RecordCodec.h"
#include "channel/ServiceChannel.h"
#include "channel/ServiceProtocol.h"
#include "service/LogStore.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kRecords = 100000;
// The viewer's loader: a 100 ms poll before a load starts, and 50 ms before every 22nd request.
constexpr double kFirstPollSeconds = 0.100;
constexpr double kPauseSeconds = 0.050;
constexpr std::uint32_t kRequestsPerPause = 22;

ServiceChannel* gChannel = nullptr;
LogInfo gInfo;

// One load of the whole log, as the loader asks for it; the replies' payloads kept if wanted.
std::uint32_t LoadAll(std::vector<MessageBuffer>* replies) {
    std::uint64_t received = 0;
    while (received < gInfo.recordCount) {
        std::int32_t p1 = QuillbridgeLog, p2 = kMaxRecordsPerRequest;
        std::uint64_t position = gInfo.firstRecord + received;
        MessageBuffer data(&position, sizeof position);
        if (gChannel->SendMsg(ReadRecordsRequest, p1, p2, data, ServiceChannel::kRequestTimeoutMs) != 1 || p2 <= 0)
            break;
        received += static_cast<std::uint64_t>(p2);
        if (replies) replies->push_back(std::move(data));
    }
    return static_cast<std::uint32_t>(received);
}

std::uint32_t DecodeAll(const std::vector<MessageBuffer>& replies) {
    std::uint32_t decoded = 0;
    WireRecord r;
    for (const MessageBuffer& reply : replies) {
        std::uint32_t cursor = 0;
        while (RecordCodec::Decode(reply.Data(), reply.Size(), cursor, r)) {
            benchmark::DoNotOptimize(r);
            ++decoded;
        }
    }
    return decoded;
}

void ServedRecords(benchmark::State& state) {
    double served = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        const std::uint32_t n = LoadAll(nullptr);
        served += std::chrono::duration<double>(Clock::now() - start).count();
        if (n != kRecords) state.SkipWithError("the load was short");
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    const double perSecond = static_cast<double>(state.iterations()) * kRecords / served;
    state.counters["records_per_s"] = perSecond;
    state.counters["ratio"] = 1e6 / perSecond;  // the goal is a microsecond a record
    state.counters["goal"] = 1.0;
}

void DecodedRecords(benchmark::State& state) {
    std::vector<MessageBuffer> replies;
    LoadAll(&replies);
    double spent = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        if (DecodeAll(replies) != kRecords) state.SkipWithError("decoding came short");
        spent += std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    state.counters["records_per_s"] = static_cast<double>(state.iterations()) * kRecords / spent;
}

// A load's service and decoding time against the pacing floor of the same load.
void LoadAgainstPacing(benchmark::State& state) {
    double spent = 0;
    for (auto _ : state) {
        std::vector<MessageBuffer> replies;
        replies.reserve(kRecords / kMaxRecordsPerRequest);
        auto start = Clock::now();
        LoadAll(&replies);
        DecodeAll(replies);
        spent += std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    const std::uint32_t requests = kRecords / kMaxRecordsPerRequest;
    const double floor = kFirstPollSeconds + (requests / kRequestsPerPause) * kPauseSeconds;
    state.counters["load_s"] = spent / static_cast<double>(state.iterations());
    state.counters["pacing_s"] = floor;
    state.counters["ratio"] = spent / static_cast<double>(state.iterations()) / floor;
    state.counters["goal"] = 0.05;
}

BENCHMARK(ServedRecords)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(DecodedRecords)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(LoadAgainstPacing)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::vector<StoredRecord> records(kRecords);
    for (std::uint32_t i = 0; i < kRecords; ++i) {
        records[i].time = 134100000000000000ull + i * 10000000ull;
        records[i].level = i % 8;
        records[i].source = i % 4;
        records[i].statusId = i;
        records[i].description = std::string(100, static_cast<char>('a' + i % 26));
    }
    std::string error;
    auto service = BenchService::Start(records, error);
    if (!service) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    ServiceChannel& channel = service->Channel();
    gChannel = &channel;
    std::int32_t p1 = QuillbridgeLog, p2 = 0;
    MessageBuffer data;
    if (channel.SendMsg(LogInfoRequest, p1, p2, data, ServiceChannel::kRequestTimeoutMs) != 1) return 1;
    gInfo = LogInfo::Decode(data.Data(), data.Size());

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
