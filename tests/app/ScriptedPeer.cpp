// A service that answers LogInfoRequest and ReadRecordsRequest as a test scripts it, to show the
// loader replies that a sound service never sends.
//
//   scripted-peer NAME MODE COUNT FIRST
//
// 293 answers FIRST and COUNT and prints "info". 292 prints "read POSITION WANTED" and answers
// with records numbered from POSITION (description "r<number>", an attachment on every third),
// by MODE:
//   plain        as many as asked, up to the end of the log
//   fewer        at most 7
//   short-count  states as many as plain would, but holds only 3
//   overrun      states 3; the second one's attachment runs past the payload
//   hang         waits for "release" on stdin before answering
// 283 (fetch) names no file: its path is empty. Commands on stdin: "fail-info" (293 fails from
// then on), "release". Prints "ready" at start.

#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "channel/RecordCodec.h"
#include "channel/ServiceChannel.h"
#include "channel/ServiceProtocol.h"

namespace {

std::mutex gLock;
std::condition_variable gReleased;
bool gRelease = false;
bool gFailInfo = false;

void Say(const std::string& line) {
    std::lock_guard lock(gLock);
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

std::vector<std::uint8_t> Records(std::uint64_t from, std::uint32_t count) {
    std::vector<std::uint8_t> out;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t number = from + i;
        const std::string description = "r" + std::to_string(number);
        const std::uint8_t attachment[4] = {static_cast<std::uint8_t>(number), 1, 2, 3};
        WireRecord r;
        r.time = 134100000000000000ull + number;
        r.level = static_cast<std::uint32_t>(number % 8);
        r.source = static_cast<std::uint32_t>(number % 4);
        r.statusId = static_cast<std::uint32_t>(number);
        r.description = description;
        if (number % 3 == 0) {
            r.attachmentKind = 3;
            r.attachment = attachment;
            r.attachmentLength = 4;
        }
        RecordCodec::Append(r, out);
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) return 2;
    const std::string mode = argv[2];
    const std::uint32_t count = static_cast<std::uint32_t>(std::stoul(argv[3]));
    const std::uint64_t first = std::stoull(argv[4]);
    ServiceChannel service(argv[1]);
    if (service.CreateServiceObjects() != 0) return 3;
    service.SetHandler(LogInfoRequest, [&](std::int32_t, std::int32_t&, std::int32_t&, MessageBuffer& data) {
        Say("info");
        {
            std::lock_guard lock(gLock);
            if (gFailInfo) return false;
        }
        std::uint8_t bytes[LogInfo::kSize];
        LogInfo{first, count}.Encode(bytes);
        data.Assign(bytes, sizeof bytes);
        return true;
    });
    service.SetHandler(ReadRecordsRequest, [&](std::int32_t, std::int32_t&, std::int32_t& p2, MessageBuffer& data) {
        std::uint64_t position;
        std::memcpy(&position, data.Data(), 8);
        Say("read " + std::to_string(position) + " " + std::to_string(p2));
        if (mode == "hang") {
            std::unique_lock lock(gLock);
            gReleased.wait(lock, [] { return gRelease; });
        }
        const std::uint64_t end = first + count;
        std::uint32_t n = position >= end ? 0 : static_cast<std::uint32_t>(std::min<std::uint64_t>(end - position, 50));
        n = std::min<std::uint32_t>(n, static_cast<std::uint32_t>(std::max(p2, 0)));
        if (mode == "fewer") n = std::min<std::uint32_t>(n, 7);
        std::vector<std::uint8_t> payload =
            Records(position, mode == "short-count" ? std::min<std::uint32_t>(n, 3) : n);
        if (mode == "overrun" && n >= 3) {
            payload = Records(position, 2);
            // The second record claims 1000 attachment bytes; the payload ends after its own.
            const std::uint32_t firstSize = static_cast<std::uint32_t>(Records(position, 1).size());
            const std::uint32_t length = 1000;
            const std::uint32_t lengthAt = firstSize + RecordCodec::kDescriptionOffset +
                                           static_cast<std::uint32_t>(("r" + std::to_string(position + 1)).size()) + 1;
            std::memcpy(payload.data() + lengthAt, &length, 4);
            n = 3;
        }
        p2 = static_cast<std::int32_t>(n);
        data.Assign(payload.data(), static_cast<std::uint32_t>(payload.size()));
        return true;
    });
    service.SetHandler(LogFileRequest, [&](std::int32_t, std::int32_t&, std::int32_t&, MessageBuffer& data) {
        const std::uint8_t none = 0;
        data.Assign(&none, 1);
        return true;
    });
    std::thread loop([&] { service.ServiceLoop(); });
    Say("ready");
    std::string command;
    while (std::getline(std::cin, command)) {
        std::lock_guard lock(gLock);
        if (command == "fail-info") gFailInfo = true;
        if (command == "release") {
            gRelease = true;
            gReleased.notify_all();
        }
    }
    {
        std::lock_guard lock(gLock);
        gRelease = true;
        gReleased.notify_all();
    }
    service.RequestStop();
    loop.join();
    return 0;
}
