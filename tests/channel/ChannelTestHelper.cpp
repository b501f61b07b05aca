// The other process of the channel tests.
//
//   serve NAME          a service: echo (10), block until "release" (11), reply of param1 bytes
//                       (12), count of handled requests (13), a failing handler (14), no handler
//                       for 99. Prints "ready", "blocking" when 11 starts, and its trace lines;
//                       "stop" (or the end of its input) stops it.
//   rogue NAME MODE     answers every request with a broken reply: "other-id" (another msgId) or
//                       "overlong" (dataLength beyond the data area).
//   hold-send-mutex NAME  owns the service's send mutex, prints "holding", waits to be killed.
//   stress NAME N THREADS  N echo exchanges on each of THREADS threads through one channel, each
//                       checked against its own request; prints "ok" or what went wrong.
//   pin FILE            holds FILE open with a shared flock, as anyone who may read it can;
//                       prints "pinned", waits for the end of its input.
//   stop-service NAME   tries to stop the service as another user would: prints "set <0|1>" for
//                       setting its stop event and "write <errno>" for opening the event's file
//                       for writing.

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "channel/MessageHeader.h"
#include "channel/ServiceChannel.h"
#include "channel/Trace.h"
#include "platform/kernel/FileMapping.h"
#include "platform/kernel/Synchronization.h"
#include "platform/kernel/UniqueHandle.h"

namespace {

std::mutex gOutput;

void Say(const std::string& line) {
    std::lock_guard lock(gOutput);
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void PrintTrace(const char* line) {
    std::string text(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    Say(text);
}

int Serve(const std::string& name) {
    SetDiagnosticSink(&PrintTrace);
    ServiceChannel service(name.c_str());
    if (int r = service.CreateServiceObjects(); r != 0) {
        Say("create failed " + std::to_string(r));
        return 3;
    }
    std::mutex lock;
    std::condition_variable released;
    bool release = false;
    int handled = 0;
    service.SetHandler(ServiceChannel::kStartMessage,
                       [](std::int32_t, std::int32_t&, std::int32_t&, MessageBuffer&) { return true; });
    service.SetHandler(10, [&](std::int32_t, std::int32_t& p1, std::int32_t& p2, MessageBuffer&) {
        ++handled;
        p1 += 1;
        p2 *= 2;
        return true;
    });
    service.SetHandler(11, [&](std::int32_t, std::int32_t&, std::int32_t&, MessageBuffer&) {
        ++handled;
        Say("blocking");
        std::unique_lock wait(lock);
        released.wait(wait, [&] { return release; });
        release = false;
        return true;
    });
    service.SetHandler(12, [&](std::int32_t, std::int32_t& p1, std::int32_t&, MessageBuffer& data) {
        ++handled;
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(p1), 0x5A);
        data.Assign(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
        return true;
    });
    service.SetHandler(13, [&](std::int32_t, std::int32_t& p1, std::int32_t&, MessageBuffer&) {
        p1 = handled;
        return true;
    });
    service.SetHandler(14, [](std::int32_t, std::int32_t&, std::int32_t&, MessageBuffer&) { return false; });
    std::thread loop([&] { service.ServiceLoop(); });
    Say("ready");
    std::string command;
    while (std::getline(std::cin, command) && command != "stop") {
        if (command == "release") {
            std::lock_guard hold(lock);
            release = true;
            released.notify_all();
        }
    }
    {
        std::lock_guard hold(lock);
        release = true;
        released.notify_all();
    }
    service.RequestStop();
    loop.join();  // also when the loop ended by itself
    Say("stopped");
    return 0;
}

int Rogue(const std::string& name, const std::string& mode) {
    ServiceChannel service(name.c_str());
    if (service.CreateServiceObjects() != 0) return 3;
    const std::string prefix = "Global\\" + name;
    UniqueHandle inMsg(OpenEventA(SYNCHRONIZE | EVENT_MODIFY_STATE, FALSE, (prefix + "_NTSVC_IN_MSG_EVENT").c_str()));
    UniqueHandle handled(OpenEventA(EVENT_MODIFY_STATE, FALSE, (prefix + "_NTSVC_IN_MSG_HANDLED_EVENT").c_str()));
    UniqueHandle map(OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, (prefix + "_NTSVC_IN_MSG_MAP").c_str()));
    auto* block = static_cast<std::uint8_t*>(MapViewOfFile(map.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (!inMsg || !handled || !block) return 4;
    std::uint32_t header[3];
    std::memcpy(header, block, sizeof header);
    std::uint8_t* area = block + header[1];
    std::atomic<bool> done{false};
    std::thread answer([&] {
        while (!done) {
            if (WaitForSingleObject(inMsg.Get(), 50) != WAIT_OBJECT_0) continue;
            MessageHeader message;
            std::memcpy(&message, area, sizeof message);
            message.type = static_cast<std::uint32_t>(MessageType::Reply);
            if (mode == "other-id") message.msgId += 1;
            if (mode == "overlong") message.dataLength = header[2];
            std::memcpy(area, &message, sizeof message);
            SetEvent(handled.Get());
        }
    });
    Say("ready");
    std::string ignored;
    while (std::getline(std::cin, ignored)) {
    }
    done = true;
    answer.join();
    UnmapViewOfFile(block);
    return 0;
}

int HoldSendMutex(const std::string& name) {
    UniqueHandle mutex(OpenMutexA(SYNCHRONIZE, FALSE, ("Global\\" + name + "_NTSVC_SENDMSG").c_str()));
    if (!mutex || WaitForSingleObject(mutex.Get(), INFINITE) != WAIT_OBJECT_0) return 3;
    Say("holding");
    std::string ignored;
    while (std::getline(std::cin, ignored)) {
    }
    return 0;
}

int Stress(const std::string& name, int count, int threads) {
    ServiceChannel channel(name.c_str());
    if (!channel.IsServiceRunning() || !channel.Connect(SYNCHRONIZE)) return 3;
    std::vector<std::thread> workers;
    std::vector<std::string> failures(threads);
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&, t] {
            for (int i = 0; i < count; ++i) {
                const std::string tag = std::to_string(getpid()) + "/" + std::to_string(t) + "/" + std::to_string(i);
                MessageBuffer data(tag.data(), static_cast<std::uint32_t>(tag.size()));
                std::int32_t p1 = i, p2 = t + 1;
                if (channel.SendMsg(10, p1, p2, data, 60000) != 1) {
                    failures[t] = "failed " + tag;
                    return;
                }
                std::string back(reinterpret_cast<const char*>(data.Data()), data.Size());
                if (back != tag || p1 != i + 1 || p2 != 2 * (t + 1)) {
                    failures[t] = "mismatch " + tag + " got " + back;
                    return;
                }
            }
        });
    }
    for (auto& w : workers) w.join();
    for (const auto& f : failures) {
        if (!f.empty()) {
            Say(f);
            return 1;
        }
    }
    Say("ok");
    return 0;
}

int Pin(const std::string& file) {
    const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || flock(fd, LOCK_SH) != 0) return 3;
    Say("pinned");
    std::string ignored;
    while (std::getline(std::cin, ignored)) {
    }
    close(fd);
    return 0;
}

int StopService(const std::string& name) {
    const std::string stop = "Global\\" + name + "_NTSVC_STOP_EVENT";
    UniqueHandle event(OpenEventA(EVENT_MODIFY_STATE, FALSE, stop.c_str()));
    Say(std::string("set ") + (event && SetEvent(event.Get()) ? "1" : "0"));
    const std::string file = "/dev/shm/quillbridge-global/" + name + "_NTSVC_STOP_EVENT";
    const int fd = open(file.c_str(), O_RDWR | O_CLOEXEC);
    Say("write " + std::to_string(fd >= 0 ? 0 : errno));
    if (fd >= 0) close(fd);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() >= 2 && args[0] == "serve") return Serve(args[1]);
    if (args.size() >= 3 && args[0] == "rogue") return Rogue(args[1], args[2]);
    if (args.size() >= 2 && args[0] == "hold-send-mutex") return HoldSendMutex(args[1]);
    if (args.size() >= 4 && args[0] == "stress") return Stress(args[1], std::stoi(args[2]), std::stoi(args[3]));
    if (args.size() >= 2 && args[0] == "pin") return Pin(args[1]);
    if (args.size() >= 2 && args[0] == "stop-service") return StopService(args[1]);
    std::fprintf(stderr, "usage: channel-test-helper serve|rogue|hold-send-mutex|stress NAME ...\n");
    return 2;
}
