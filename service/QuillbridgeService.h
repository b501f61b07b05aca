#pragma once
// The reference Quillbridge service: answers the viewer's requests over the service channel from
// the log store and the debug log.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "channel/ServiceChannel.h"
#include "service/DebugLogFile.h"
#include "service/LogStore.h"

struct ServiceSettings {
    std::string name;
    std::string databasePath;
    std::string debugLogPath;
    std::uint32_t serviceVersion = 0;  // packed
    std::uint32_t coreVersion = 0;     // packed
};

class QuillbridgeService {
public:
    enum class StartResult { Started, AlreadyRunning, Failed };

    QuillbridgeService(ServiceSettings settings, std::unique_ptr<LogStore> store);
    // Creates the channel's objects; after Started, clients see the service running.
    StartResult Start();
    // Serves until Stop; on the calling thread.
    int Run();
    // From any thread.
    void Stop();

    const ServiceSettings& Settings() const { return settings_; }
    // Which channel object could not be made, or why the loop ended, after a failure.
    const ServiceChannel& Channel() const { return channel_; }

private:
    bool Versions(std::int32_t& param1, std::int32_t& param2, MessageBuffer& data);
    bool LogInfoOf(std::int32_t& param1, std::int32_t& param2, MessageBuffer& data);
    bool ReadRecords(std::int32_t& param1, std::int32_t& param2, MessageBuffer& data);
    bool LogFile(std::int32_t& param1, std::int32_t& param2, MessageBuffer& data);
    void Log(const std::string& message) const;

    ServiceSettings settings_;
    std::unique_ptr<LogStore> store_;
    DebugLogFile debugLog_;
    ServiceChannel channel_;
    std::vector<std::uint8_t> reply_;  // a reply's room, reused for every ReadRecordsRequest
};
