#pragma once
// The reference Quillbridge service: answers the viewer's requests over the service channel from
// the log store and the debug log.

#include <cstdint>
#include <memory>
#include <string>

#include "channel/ServiceChannel.h"
#include "service/DebugLogFile.h"
#include "service/LogStore.h"
#include "service/RecordReadAhead.h"

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

    // With `readAheadStore`, a second connection to the same log, records are read ahead of a
    // client that reads them in order.
    QuillbridgeService(ServiceSettings settings, std::unique_ptr<LogStore> store,
                       std::unique_ptr<LogStore> readAheadStore = nullptr);
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
    // Drops what was read ahead when another connection has changed the log since the last look.
    bool NoticeChanges();

    ServiceSettings settings_;
    std::unique_ptr<LogStore> store_;
    std::unique_ptr<RecordReadAhead> readAhead_;  // may be null
    DebugLogFile debugLog_;
    ServiceChannel channel_;
    std::uint64_t dataVersion_ = 0;               // of store_, when last looked at
    RecordChunk chunk_;                           // a reply's records, reused for every ReadRecordsRequest
};
