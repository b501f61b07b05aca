#pragma once
// What the tests of quillbridge-service share: talking to it as the viewer does.

#include <signal.h>

#include <memory>
#include <string>
#include <vector>

#include "channel/RecordCodec.h"
#include "channel/ServiceChannel.h"
#include "channel/ServiceProtocol.h"
#include "tests/support/ServiceFixture.h"

// The viewer's side of the channel.
struct Viewer {
    explicit Viewer(const std::string& name) : channel(name.c_str()) {
        connected = channel.IsServiceRunning() && channel.Connect(SYNCHRONIZE) == 1;
    }
    bool Send(std::int32_t msgId, std::int32_t& p1, std::int32_t& p2, MessageBuffer& data) {
        return channel.SendMsg(msgId, p1, p2, data, ServiceChannel::kRequestTimeoutMs) == 1;
    }
    bool Info(LogInfo& info, std::uint32_t kind = QuillbridgeLog) {
        std::int32_t p1 = static_cast<std::int32_t>(kind), p2 = 0;
        MessageBuffer data;
        if (!Send(LogInfoRequest, p1, p2, data)) return false;
        info = LogInfo::Decode(data.Data(), data.Size());
        return true;
    }
    // One ReadRecordsRequest: the descriptions it brought (-1 count when it failed).
    int Read(std::uint64_t position, std::vector<std::string>& descriptions, std::int32_t wanted = 50) {
        std::int32_t p1 = QuillbridgeLog, p2 = wanted;
        MessageBuffer data(&position, sizeof position);
        if (!Send(ReadRecordsRequest, p1, p2, data)) return -1;
        std::uint32_t cursor = 0;
        WireRecord r;
        for (std::int32_t i = 0; i < p2 && RecordCodec::Decode(data.Data(), data.Size(), cursor, r); ++i)
            descriptions.emplace_back(r.description);
        return p2;
    }
    // The whole log as the loader reads it: from the first record, 50 at a time.
    std::vector<std::string> ReadAll() {
        std::vector<std::string> all;
        LogInfo info;
        if (!Info(info)) return all;
        std::uint64_t received = 0;
        while (received < info.recordCount) {
            int n = Read(info.firstRecord + received, all);
            if (n <= 0) break;
            received += static_cast<std::uint64_t>(n);
        }
        return all;
    }

    ServiceChannel channel;
    bool connected = false;
};
