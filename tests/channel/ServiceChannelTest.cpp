// The channel between two processes: the client here, the service (or a broken peer) in
// channel-test-helper.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "channel/MessageHeader.h"
#include "channel/ServiceChannel.h"
#include "channel/Trace.h"
#include "platform/kernel/FileMapping.h"
#include "platform/kernel/Synchronization.h"
#include "platform/kernel/UniqueHandle.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TestNames.h"

namespace {

constexpr DWORD kLong = 60000;
constexpr std::uint32_t kRoom = ServiceChannel::kDataSize - ServiceChannel::kHeaderSize;

std::unique_ptr<ChildProcess> StartHelper(std::vector<std::string> args, const std::string& readyLine = "ready") {
    args.insert(args.begin(), CHANNEL_TEST_HELPER);
    auto child = std::make_unique<ChildProcess>(args);
    if (!child->Started() || !child->WaitForLine(readyLine)) return nullptr;
    return child;
}

std::unique_ptr<ChildProcess> StartService(const std::string& name) { return StartHelper({"serve", name}); }

std::string Text(const MessageBuffer& b) { return std::string(reinterpret_cast<const char*>(b.Data()), b.Size()); }

MessageBuffer Bytes(const std::string& s) { return MessageBuffer(s.data(), static_cast<std::uint32_t>(s.size())); }

struct Connected {
    explicit Connected(const std::string& name) : channel(name.c_str()) {
        ok = channel.IsServiceRunning() && channel.Connect(SYNCHRONIZE) == 1;
    }
    ServiceChannel channel;
    bool ok;
};

// How many requests the service has handled (request 13 answers with that count).
int HandledCount(ServiceChannel& channel) {
    std::int32_t p1 = 0, p2 = 0;
    MessageBuffer none;
    return channel.SendMsg(13, p1, p2, none, kLong) == 1 ? p1 : -1;
}

// What the client reads of the block while it waits: the first words of the data area.
MessageHeader PeekBlock(const std::string& name) {
    MessageHeader header{};
    UniqueHandle map(OpenFileMappingA(FILE_MAP_READ, FALSE, ("Global\\" + name + "_NTSVC_IN_MSG_MAP").c_str()));
    if (!map) return header;
    auto* block = static_cast<const std::uint8_t*>(MapViewOfFile(map.Get(), FILE_MAP_READ, 0, 0, 0));
    std::uint32_t offset;
    std::memcpy(&offset, block + 4, 4);
    std::memcpy(&header, block + offset, sizeof header);
    UnmapViewOfFile(block);
    return header;
}

}  // namespace

TEST(ServiceChannel, WithoutAServiceNothingIsSentAndNothingLeftBehind) {
    const std::string name = UniqueName("absent");
    ServiceChannel channel(name.c_str());
    EXPECT_FALSE(channel.IsServiceRunning());
    EXPECT_TRUE(GlobalObjectsStartingWith(name).empty()) << "the probe removes what it created";
    EXPECT_EQ(channel.Connect(SYNCHRONIZE), 0);
    std::int32_t p1 = 7, p2 = 8;
    MessageBuffer data = Bytes("request");
    EXPECT_EQ(channel.SendMsg(10, p1, p2, data, kLong), 0);
    EXPECT_EQ(p1, 7);
    EXPECT_EQ(Text(data), "request");
}

TEST(ServiceChannel, ExchangesRequestsAndReplies) {
    const std::string name = UniqueName("exchange");
    auto service = StartService(name);
    ASSERT_TRUE(service);
    Connected client(name);
    ASSERT_TRUE(client.ok);
    for (std::uint32_t size : {0u, 1u, 20u, 127u, 128u, 129u, 4096u, 65536u}) {
        std::string payload(size, '\0');
        for (std::uint32_t i = 0; i < size; ++i) payload[i] = static_cast<char>(i * 7 + size);
        MessageBuffer data = Bytes(payload);
        std::int32_t p1 = static_cast<std::int32_t>(size), p2 = -3;
        ASSERT_EQ(client.channel.SendMsg(10, p1, p2, data, kLong), 1) << size;
        EXPECT_EQ(p1, static_cast<std::int32_t>(size) + 1);
        EXPECT_EQ(p2, -6);
        EXPECT_EQ(Text(data), payload) << size;
    }
}

TEST(ServiceChannel, PayloadUpToTheDataAreaAndNotOneByteMore) {
    const std::string name = UniqueName("limits");
    auto service = StartService(name);
    ASSERT_TRUE(service);
    Connected client(name);
    ASSERT_TRUE(client.ok);

    std::string full(kRoom, 'f');
    MessageBuffer data = Bytes(full);
    std::int32_t p1 = 0, p2 = 0;
    ASSERT_EQ(client.channel.SendMsg(10, p1, p2, data, kLong), 1);
    EXPECT_EQ(data.Size(), kRoom);

    const int before = HandledCount(client.channel);
    MessageBuffer tooBig = Bytes(std::string(kRoom + 1, 'x'));
    p1 = 5;
    EXPECT_EQ(client.channel.SendMsg(10, p1, p2, tooBig, kLong), 0);
    EXPECT_EQ(p1, 5);
    EXPECT_EQ(tooBig.Size(), kRoom + 1);
    EXPECT_EQ(HandledCount(client.channel), before) << "nothing reached the service";

    // Replies obey the same limit: one that does not fit is not written.
    MessageBuffer none;
    p1 = static_cast<std::int32_t>(kRoom);
    ASSERT_EQ(client.channel.SendMsg(12, p1, p2, none, kLong), 1);
    EXPECT_EQ(none.Size(), kRoom);
    MessageBuffer keep = Bytes("kept");
    p1 = static_cast<std::int32_t>(kRoom + 1);
    EXPECT_EQ(client.channel.SendMsg(12, p1, p2, keep, kLong), 0);
    EXPECT_EQ(Text(keep), "kept");
}

TEST(ServiceChannel, RequestWithoutAnswerFailsWithoutWaitingOut) {
    const std::string name = UniqueName("noanswer");
    auto service = StartService(name);
    ASSERT_TRUE(service);
    Connected client(name);
    ASSERT_TRUE(client.ok);
    for (std::int32_t id : {99, 14}) {  // no handler; a handler that reports failure
        MessageBuffer data = Bytes("payload");
        std::int32_t p1 = 1, p2 = 2;
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(client.channel.SendMsg(id, p1, p2, data, kLong), 0) << id;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(kLong)) << "signalled " << id;
        EXPECT_EQ(Text(data), "payload");
        EXPECT_EQ(p1, 1);
    }
    EXPECT_TRUE(service->WaitForLine("QVL: NTService - Service message handler not found. Msg id: 99"));
}

TEST(ServiceChannel, LateAnswerToATimedOutRequestIsNeverTakenForTheNextOne) {
    const std::string name = UniqueName("late");
    auto service = StartService(name);
    ASSERT_TRUE(service);
    Connected client(name);
    ASSERT_TRUE(client.ok);

    // The service answers after the client gave up (time-out 0), before or after the next
    // request is written: either way the next request gets its own reply.
    std::int32_t p1 = 0, p2 = 0;
    MessageBuffer data;
    EXPECT_EQ(client.channel.SendMsg(11, p1, p2, data, 0), 0);
    ASSERT_TRUE(service->WaitForLine("blocking"));
    ASSERT_TRUE(service->Send("release"));
    p1 = 40;
    p2 = 1;
    MessageBuffer next = Bytes("next");
    ASSERT_EQ(client.channel.SendMsg(10, p1, p2, next, kLong), 1);
    EXPECT_EQ(p1, 41);
    EXPECT_EQ(Text(next), "next");

    // The service answers when the next request is certainly in the block already.
    EXPECT_EQ(client.channel.SendMsg(11, p1, p2, data, 0), 0);
    ASSERT_TRUE(service->WaitForLine("blocking"));
    std::atomic<int> result{-1};
    std::int32_t q1 = 100, q2 = 3;
    MessageBuffer other = Bytes("other");
    std::thread sender([&] { result = client.channel.SendMsg(10, q1, q2, other, kLong); });
    while (PeekBlock(name).msgId != 10) std::this_thread::yield();
    ASSERT_TRUE(service->Send("release"));
    sender.join();
    EXPECT_EQ(result, 1);
    EXPECT_EQ(q1, 101);
    EXPECT_EQ(q2, 6);
    EXPECT_EQ(Text(other), "other");
}

TEST(ServiceChannel, BrokenRepliesAreRejected) {
    for (const char* mode : {"other-id", "overlong"}) {
        const std::string name = UniqueName(mode);
        auto peer = StartHelper({"rogue", name, mode});
        ASSERT_TRUE(peer) << mode;
        Connected client(name);
        ASSERT_TRUE(client.ok);
        MessageBuffer data = Bytes("mine");
        std::int32_t p1 = 1, p2 = 2;
        EXPECT_EQ(client.channel.SendMsg(10, p1, p2, data, kLong), 0) << mode;
        EXPECT_EQ(Text(data), "mine");
        EXPECT_EQ(p1, 1);
    }
}

TEST(ServiceChannel, ServiceKilledWhileAClientWaitsThenReplacedThenAllGone) {
    const std::string name = UniqueName("killed");
    auto service = StartService(name);
    ASSERT_TRUE(service);
    {
        Connected client(name);
        ASSERT_TRUE(client.ok);
        std::atomic<int> result{-1};
        const auto start = std::chrono::steady_clock::now();
        std::thread waiter([&] {
            std::int32_t p1 = 0, p2 = 0;
            MessageBuffer data;
            result = client.channel.SendMsg(11, p1, p2, data, kLong);
        });
        ASSERT_TRUE(service->WaitForLine("blocking"));
        service->Kill(SIGKILL);
        service->Wait();
        waiter.join();
        EXPECT_EQ(result, 0);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(kLong))
            << "the client noticed the service's end before its time-out";
        EXPECT_FALSE(client.channel.IsServiceRunning());
        std::int32_t p1 = 0, p2 = 0;
        MessageBuffer data;
        EXPECT_EQ(client.channel.SendMsg(10, p1, p2, data, kLong), 0);

        auto successor = StartService(name);
        ASSERT_TRUE(successor);
        Connected fresh(name);
        ASSERT_TRUE(fresh.ok);
        p1 = 1;
        ASSERT_EQ(fresh.channel.SendMsg(10, p1, p2, data, kLong), 1);
        EXPECT_EQ(p1, 2);
        // The successor took over the objects that the old client still held.
        p1 = 5;
        EXPECT_EQ(client.channel.SendMsg(10, p1, p2, data, kLong), 1);
        EXPECT_EQ(p1, 6);
        ASSERT_TRUE(successor->Send("stop"));
        EXPECT_TRUE(successor->WaitForLine("stopped"));
        EXPECT_EQ(successor->Wait(), 0);
    }
    EXPECT_TRUE(GlobalObjectsStartingWith(name).empty());
}

TEST(ServiceChannel, ClientKilledWhileOwningTheSendMutex) {
    const std::string name = UniqueName("abandoned");
    auto service = StartService(name);
    ASSERT_TRUE(service);
    auto holder = StartHelper({"hold-send-mutex", name}, "holding");
    ASSERT_TRUE(holder);
    holder->Kill(SIGKILL);
    holder->Wait();
    Connected client(name);
    ASSERT_TRUE(client.ok);
    for (int i = 0; i < 2; ++i) {
        std::int32_t p1 = i, p2 = 0;
        MessageBuffer data;
        ASSERT_EQ(client.channel.SendMsg(10, p1, p2, data, kLong), 1) << i;
        EXPECT_EQ(p1, i + 1);
    }
    // Released properly: another process gets it too.
    auto other = StartHelper({"stress", name, "1", "1"}, "ok");
    EXPECT_TRUE(other);
}

TEST(ServiceChannel, ManyClientsAndThreadsEachGetTheirOwnReplies) {
    const std::string name = UniqueName("stress");
    auto service = StartService(name);
    ASSERT_TRUE(service);
    ChildProcess a({CHANNEL_TEST_HELPER, "stress", name, "3000", "2"});
    ChildProcess b({CHANNEL_TEST_HELPER, "stress", name, "3000", "2"});
    std::string lineA, lineB;
    ASSERT_TRUE(a.ReadLine(lineA, std::chrono::minutes(4)));
    ASSERT_TRUE(b.ReadLine(lineB, std::chrono::minutes(4)));
    EXPECT_EQ(lineA, "ok");
    EXPECT_EQ(lineB, "ok");
    EXPECT_EQ(a.Wait(), 0);
    EXPECT_EQ(b.Wait(), 0);
}

TEST(ServiceChannel, SecondServiceOfTheSameNameIsRefused) {
    const std::string name = UniqueName("twice");
    auto service = StartService(name);
    ASSERT_TRUE(service);
    ServiceChannel second(name.c_str());
    EXPECT_EQ(second.CreateServiceObjects(), -2);
    Connected client(name);
    ASSERT_TRUE(client.ok);
    std::int32_t p1 = 1, p2 = 0;
    MessageBuffer data;
    EXPECT_EQ(client.channel.SendMsg(10, p1, p2, data, kLong), 1) << "the first one still serves";
}

TEST(ServiceChannel, LoopRunsStartAndStopHandlersAndSignalsStopped) {
    const std::string name = UniqueName("lifecycle");
    auto service = StartHelper({"serve", name}, "QVL: NTService - Service start message handler is excuted.");
    ASSERT_TRUE(service);
    ASSERT_TRUE(service->Send("stop"));
    EXPECT_TRUE(service->WaitForLine("QVL: NTService - Service stopping."));
    EXPECT_TRUE(service->WaitForLine("QVL: NTService - Service stopped."));
    EXPECT_TRUE(service->WaitForLine("stopped"));
    EXPECT_EQ(service->Wait(), 0);
    EXPECT_TRUE(GlobalObjectsStartingWith(name).empty());
}

namespace {
std::vector<std::string> gTraced;
void Collect(const char* line) { gTraced.emplace_back(line); }
}  // namespace

TEST(ServiceChannel, TimeOutIsTracedToTheInstalledSinkOnly) {
    const std::string name = UniqueName("trace");
    auto service = StartService(name);
    ASSERT_TRUE(service);
    Connected client(name);
    ASSERT_TRUE(client.ok);
    std::int32_t p1 = 0, p2 = 0;
    MessageBuffer data;
    gTraced.clear();
    EXPECT_EQ(client.channel.SendMsg(11, p1, p2, data, 0), 0);
    EXPECT_TRUE(gTraced.empty()) << "no sink, no output";
    ASSERT_TRUE(service->WaitForLine("blocking"));
    SetDiagnosticSink(&Collect);
    EXPECT_EQ(client.channel.SendMsg(11, p1, p2, data, 0), 0);
    SetDiagnosticSink(nullptr);
    ASSERT_EQ(gTraced.size(), 1u);
    EXPECT_EQ(gTraced[0], "QVL: NTService - message sent time out. Msg id: 11, wait time: 0.\r\n");
    service->Send("release");
}

namespace {

// The helper as user nobody, for what another local user may do.
std::vector<std::string> AsNobody(std::vector<std::string> args) {
    args.insert(args.begin(), {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
                               CHANNEL_TEST_HELPER});
    return args;
}

std::string ObjectFile(const std::string& name, const char* suffix) {
    return "/dev/shm/quillbridge-global/" + name + suffix;
}

// An event's words, written as any process that may write the file can.
struct RawEvent {
    explicit RawEvent(const std::string& file) : fd(open(file.c_str(), O_RDWR | O_CLOEXEC)) {
        void* p = mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        page = p == MAP_FAILED ? nullptr : static_cast<char*>(p);
    }
    ~RawEvent() {
        if (page) munmap(page, 4096);
        if (fd >= 0) close(fd);
    }
    std::atomic<std::uint32_t>& Signaled() { return *reinterpret_cast<std::atomic<std::uint32_t>*>(page + 64); }
    std::uint32_t& ManualReset() { return *reinterpret_cast<std::uint32_t*>(page + 68); }
    int fd;
    char* page = nullptr;
};

}  // namespace

TEST(ServiceChannel, OnlyTheLiveServiceMakesTheNameRunning) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to run a helper as another user";
    const std::string name = UniqueName("pinned");
    auto service = StartService(name);
    ASSERT_TRUE(service);
    // Another user keeps the name's file alive; only the service's ownership counts.
    auto pin = std::make_unique<ChildProcess>(AsNobody({"pin", ObjectFile(name, "_NTSVC_EXIST")}));
    ASSERT_TRUE(pin->WaitForLine("pinned"));
    ASSERT_TRUE(service->Send("stop"));
    ASSERT_TRUE(service->WaitForLine("stopped"));
    EXPECT_EQ(service->Wait(), 0);
    EXPECT_FALSE(ServiceChannel(name.c_str()).IsServiceRunning());

    auto successor = StartService(name);
    ASSERT_TRUE(successor) << "the pinned name does not keep a new service out";
    Connected client(name);
    ASSERT_TRUE(client.ok);
    std::int32_t p1 = 1, p2 = 0;
    MessageBuffer data;
    EXPECT_EQ(client.channel.SendMsg(10, p1, p2, data, kLong), 1);
}

TEST(ServiceChannel, OtherUsersCannotStopTheService) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to run a helper as another user";
    const std::string name = UniqueName("unstoppable");
    auto service = StartService(name);
    ASSERT_TRUE(service);
    ChildProcess stopper(AsNobody({"stop-service", name}));
    std::string set, write;
    ASSERT_TRUE(stopper.ReadLine(set) && stopper.ReadLine(write));
    EXPECT_EQ(set, "set 0");
    EXPECT_EQ(write, "write " + std::to_string(EACCES));
    Connected client(name);
    ASSERT_TRUE(client.ok);
    EXPECT_EQ(HandledCount(client.channel), 0) << "still serving";
}

TEST(ServiceChannel, ScribbledRequestEventNeitherStopsNorSpinsTheService) {
    const std::string name = UniqueName("scribbled");
    auto service = StartService(name);
    ASSERT_TRUE(service);
    Connected client(name);
    ASSERT_TRUE(client.ok);
    RawEvent raw(ObjectFile(name, "_NTSVC_IN_MSG_EVENT"));
    ASSERT_NE(raw.page, nullptr);
    struct Case {
        const char* what;
        std::uint32_t manualReset;
        std::uint32_t signaled;
    };
    for (Case c : {Case{"a count of 2", 0, 2}, Case{"turned manual-reset and set", 1, 1}}) {
        raw.ManualReset() = c.manualReset;
        raw.Signaled().store(c.signaled);
        // The service takes the signal as one and goes back to sleep; a spinning one never
        // clears it.
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (raw.Signaled().load() != 0 && std::chrono::steady_clock::now() < giveUp) std::this_thread::yield();
        EXPECT_EQ(raw.Signaled().load(), 0u) << c.what;
        std::int32_t p1 = 1, p2 = 1;
        MessageBuffer data;
        EXPECT_EQ(client.channel.SendMsg(10, p1, p2, data, kLong), 1) << c.what;
    }
}

TEST(ServiceChannel, ShrunkBlockFailsRequestsButNoProcess) {
    const std::string name = UniqueName("shrunk");
    auto service = StartService(name);
    ASSERT_TRUE(service);
    Connected client(name);
    ASSERT_TRUE(client.ok);
    ASSERT_EQ(HandledCount(client.channel), 0);
    ASSERT_EQ(truncate(ObjectFile(name, "_NTSVC_IN_MSG_MAP").c_str(), 0), 0);

    std::int32_t p1 = 1, p2 = 1;
    MessageBuffer data = Bytes("kept");
    EXPECT_EQ(client.channel.SendMsg(10, p1, p2, data, kLong), 0);
    EXPECT_EQ(ServiceChannel::LastFailure(), ServiceChannel::Failure::Damaged);
    EXPECT_EQ(Text(data), "kept");
    // The service meets the shrunk block at its next message, and says so instead of dying.
    UniqueHandle request(OpenEventA(EVENT_MODIFY_STATE, FALSE, ("Global\\" + name + "_NTSVC_IN_MSG_EVENT").c_str()));
    ASSERT_TRUE(request && SetEvent(request.Get()));
    EXPECT_TRUE(service->WaitForLine("QVL: NTService - Service message block damaged."));
    ASSERT_TRUE(service->Send("stop"));
    EXPECT_TRUE(service->WaitForLine("stopped"));
    EXPECT_EQ(service->Wait(), 0) << "not a signal";
}

TEST(ServiceChannel, PeerHoldingTheSendMutexIsToldApartFromASilentService) {
    const std::string name = UniqueName("held");
    auto service = StartService(name);
    ASSERT_TRUE(service);
    auto holder = StartHelper({"hold-send-mutex", name}, "holding");
    ASSERT_TRUE(holder);
    holder->Kill(SIGSTOP);
    Connected client(name);
    ASSERT_TRUE(client.ok);
    std::int32_t p1 = 0, p2 = 0;
    MessageBuffer data;
    EXPECT_EQ(client.channel.SendMsg(10, p1, p2, data, 200), 0);
    EXPECT_EQ(ServiceChannel::LastFailure(), ServiceChannel::Failure::Busy);
    holder->Kill(SIGKILL);
    holder->Wait();

    EXPECT_EQ(client.channel.SendMsg(11, p1, p2, data, 0), 0);
    EXPECT_EQ(ServiceChannel::LastFailure(), ServiceChannel::Failure::NoAnswer);
    ASSERT_TRUE(service->WaitForLine("blocking"));
    ASSERT_TRUE(service->Send("release"));
    EXPECT_EQ(client.channel.SendMsg(99, p1, p2, data, kLong), 0);
    EXPECT_EQ(ServiceChannel::LastFailure(), ServiceChannel::Failure::NoReply);
    EXPECT_EQ(client.channel.SendMsg(10, p1, p2, data, kLong), 1);
    EXPECT_EQ(ServiceChannel::LastFailure(), ServiceChannel::Failure::None);
}

TEST(ServiceChannel, StartAndStopHandlersAreNotClientRequests) {
    const std::string name = UniqueName("lifecycle-ids");
    auto service = StartService(name);  // registers a start handler that would answer
    ASSERT_TRUE(service);
    Connected client(name);
    ASSERT_TRUE(client.ok);
    for (std::int32_t id : {ServiceChannel::kStartMessage, ServiceChannel::kStopMessage}) {
        std::int32_t p1 = 0, p2 = 0;
        MessageBuffer data;
        EXPECT_EQ(client.channel.SendMsg(id, p1, p2, data, kLong), 0) << id;
        EXPECT_EQ(ServiceChannel::LastFailure(), ServiceChannel::Failure::NoReply) << id;
    }
}
