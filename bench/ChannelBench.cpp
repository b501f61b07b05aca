// Round trips through the service channel beside the same request and reply over a Unix-domain
// socket, between the same two processes, in the same run. Ratio = channel time / socket time.

#include <benchmark/benchmark.h>
#include <sched.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchSocket.h"
#include "bench/CpuPinning.h"
#include "bench/RatioReporter.h"
#include "channel/ServiceChannel.h"
#include "tests/support/ChildProcess.h"

namespace {

ServiceChannel* gChannel = nullptr;
BenchSocket* gSocket = nullptr;

// Both transports are timed in alternating blocks, so that the machine's ups and downs fall on
// both alike. Each block starts with one untimed exchange: the first after a pause pays for
// waking the other side, whichever the transport. A block is long enough that the one side's
// brief spin after its last exchange hardly overlaps the other side's block.
constexpr int kBlock = 256;

void RoundTrip(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    const auto size = static_cast<std::uint32_t>(state.range(0));
    std::vector<char> payload(size, 'p');
    MessageBuffer data(payload.data(), size);
    std::vector<char> message(20 + size, 'p');
    std::memcpy(message.data() + 16, &size, 4);
    std::vector<char> reply;
    std::int32_t p1 = 0, p2 = 0;
    Clock::duration channelTime{}, socketTime{};
    for (auto _ : state) {
        gChannel->SendMsg(kBenchEchoMessage, p1, p2, data, ServiceChannel::kRequestTimeoutMs);
        auto start = Clock::now();
        for (int i = 0; i < kBlock; ++i) {
            // The echo leaves the same bytes in `data`: the next request needs no copy.
            if (gChannel->SendMsg(kBenchEchoMessage, p1, p2, data, ServiceChannel::kRequestTimeoutMs) != 1 ||
                data.Size() != size)
                state.SkipWithError("channel exchange failed");
        }
        auto middle = Clock::now();
        gSocket->SendAll(message.data(), message.size());
        gSocket->ReceiveMessage(reply);
        const auto socketStart = Clock::now();
        for (int i = 0; i < kBlock; ++i) {
            if (!gSocket->SendAll(message.data(), message.size()) || !gSocket->ReceiveMessage(reply) ||
                reply.size() != message.size())
                state.SkipWithError("socket exchange failed");
        }
        auto end = Clock::now();
        channelTime += middle - start;
        socketTime += end - socketStart;
        state.SetIterationTime(std::chrono::duration<double>((middle - start) + (end - socketStart)).count());
    }
    const double exchanges = static_cast<double>(state.iterations()) * kBlock;
    state.counters["channel_us"] = std::chrono::duration<double, std::micro>(channelTime).count() / exchanges;
    state.counters["socket_us"] = std::chrono::duration<double, std::micro>(socketTime).count() / exchanges;
    state.counters["ratio"] = static_cast<double>(channelTime.count()) / static_cast<double>(socketTime.count());
    state.counters["goal"] = size == 0 ? 0.10 : 0.25;
}

BENCHMARK(RoundTrip)->Arg(0)->Arg(65536)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const std::string name = "qbbench" + std::to_string(getpid());
    // One CPU for each process, for both transports alike. Left to the scheduler, a socket
    // ping-pong pulls both processes onto one CPU and keeps them there, and what is then
    // measured is the scheduler's placement, not the transport.
    const bool pinned = CanPinApart() && RunOn(1);  // the peer inherits this
    ChildProcess peer({CHANNEL_BENCH_PEER, name});
    if (pinned) RunOn(0);
    if (!peer.Started() || !peer.WaitForLine("ready")) {
        std::fprintf(stderr, "the peer did not start\n");
        return 1;
    }
    ServiceChannel channel(name.c_str());
    BenchSocket socket = BenchSocket::Connect(name);
    if (!channel.IsServiceRunning() || channel.Connect(SYNCHRONIZE) != 1 || !socket.Valid()) {
        std::fprintf(stderr, "cannot reach the peer\n");
        return 1;
    }
    gChannel = &channel;
    gSocket = &socket;

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
