#pragma once
// What the tests of quillbridge-service share: running its commands, starting it as a service on
// a fresh log, and talking to it as the viewer does.

#include <signal.h>

#include <memory>
#include <string>
#include <vector>

#include "channel/RecordCodec.h"
#include "channel/ServiceChannel.h"
#include "channel/ServiceProtocol.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/RunProgram.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/TestNames.h"

// The service's command line on the given arguments (and input).
inline ProgramResult Cli(std::vector<std::string> args, const std::string& input = "") {
    args.insert(args.begin(), QB_SERVICE_BINARY);
    return RunProgram(args, input);
}

// A log in a fresh directory, and a service name of its own.
struct ServiceFixture {
    TempDirectory dir;
    std::string name = UniqueName("svc");
    std::string db = dir.File("log.sqlite");
    std::string debugLog = dir.File("debug.log");
    std::unique_ptr<ChildProcess> service;

    ~ServiceFixture() {
        if (service) Stop();
    }

    // Starts "serve" and waits until it serves.
    bool Start(std::vector<std::string> extra = {}) {
        std::vector<std::string> args = {QB_SERVICE_BINARY, "serve",  "--db",   db,
                                         "--debug-log",     debugLog, "--name", name};
        args.insert(args.end(), extra.begin(), extra.end());
        service = std::make_unique<ChildProcess>(args);
        std::string line;
        return service->Started() && service->ReadLine(line) && line.rfind("quillbridge-service: serving", 0) == 0;
    }
    int Stop() {
        service->Kill(SIGTERM);
        return service->Wait();  // a second Stop finds it reaped and gives its code again
    }
    // JSON lines of records with descriptions "<prefix><i>" for i in [from, to).
    static std::string Lines(const std::string& prefix, int from, int to) {
        std::string text;
        for (int i = from; i < to; ++i)
            text += R"({"level":"info","source":"engine","description":")" + prefix + std::to_string(i) + "\"}\n";
        return text;
    }
    bool Import(const std::string& lines) { return Cli({"import", "-", "--db", db}, lines).exitCode == 0; }
};

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
