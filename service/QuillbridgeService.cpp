#include "service/QuillbridgeService.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "channel/ServiceProtocol.h"

QuillbridgeService::QuillbridgeService(ServiceSettings settings, std::unique_ptr<LogStore> store,
                                       std::unique_ptr<LogStore> readAheadStore)
    : settings_(std::move(settings)),
      store_(std::move(store)),
      readAhead_(readAheadStore ? std::make_unique<RecordReadAhead>(std::move(readAheadStore)) : nullptr),
      debugLog_(settings_.debugLogPath),
      channel_(settings_.name.c_str()) {
    channel_.SetHandler(VersionsRequest, [this](std::int32_t, std::int32_t& p1, std::int32_t& p2, MessageBuffer& d) {
        return Versions(p1, p2, d);
    });
    channel_.SetHandler(LogInfoRequest, [this](std::int32_t, std::int32_t& p1, std::int32_t& p2, MessageBuffer& d) {
        return LogInfoOf(p1, p2, d);
    });
    channel_.SetHandler(ReadRecordsRequest, [this](std::int32_t, std::int32_t& p1, std::int32_t& p2, MessageBuffer& d) {
        return ReadRecords(p1, p2, d);
    });
    channel_.SetHandler(LogFileRequest, [this](std::int32_t, std::int32_t& p1, std::int32_t& p2, MessageBuffer& d) {
        return LogFile(p1, p2, d);
    });
}

QuillbridgeService::StartResult QuillbridgeService::Start() {
    switch (channel_.CreateServiceObjects()) {
        case 0:
            return StartResult::Started;
        case -2:
            return StartResult::AlreadyRunning;
        default:
            return StartResult::Failed;
    }
}

int QuillbridgeService::Run() { return channel_.ServiceLoop(); }

void QuillbridgeService::Stop() { channel_.RequestStop(); }

void QuillbridgeService::Log(const std::string& message) const {
    std::fprintf(stderr, "quillbridge-service: %s\n", message.c_str());
}

bool QuillbridgeService::Versions(std::int32_t& param1, std::int32_t& param2, MessageBuffer& data) {
    param1 = static_cast<std::int32_t>(settings_.serviceVersion);
    param2 = static_cast<std::int32_t>(settings_.coreVersion);
    data.Clear();
    return true;
}

bool QuillbridgeService::LogInfoOf(std::int32_t& param1, std::int32_t&, MessageBuffer& data) {
    LogInfo info;
    std::string error;
    if (static_cast<std::uint32_t>(param1) == QuillbridgeLog) {
        if (!store_->Info(info, error)) {
            Log(error);
            return false;
        }
    } else if (static_cast<std::uint32_t>(param1) == DebugLog) {
        info.recordCount = debugLog_.LineCount();
    } else {
        return false;  // a kind the service does not keep: no reply, as for every request
    }
    std::uint8_t bytes[LogInfo::kSize];
    info.Encode(bytes);
    data.Assign(bytes, sizeof bytes);
    return true;
}

bool QuillbridgeService::NoticeChanges() {
    std::uint64_t version = 0;
    std::string error;
    if (!store_->DataVersion(version, error)) {
        Log(error);
        return false;
    }
    if (version != dataVersion_ && readAhead_) readAhead_->Forget();
    dataVersion_ = version;
    return true;
}

bool QuillbridgeService::ReadRecords(std::int32_t& param1, std::int32_t& param2, MessageBuffer& data) {
    if (data.Size() < 8) return false;
    std::uint64_t position;
    std::memcpy(&position, data.Data(), 8);
    const std::int32_t wanted = std::clamp(param2, 0, kMaxRecordsPerRequest);
    // Never more than one reply can carry: the count says how many made it in.
    const std::uint32_t room = channel_.DataSize() - ServiceChannel::kHeaderSize;
    const auto kind = static_cast<std::uint32_t>(param1);
    if (kind != QuillbridgeLog && kind != DebugLog) return false;
    chunk_.bytes.clear();
    chunk_.count = 0;
    // The debug log has lines, not records: an empty reply.
    if (kind == QuillbridgeLog && wanted > 0) {
        const auto maxCount = static_cast<std::uint32_t>(wanted);
        if (readAhead_ && !NoticeChanges()) return false;
        if (!readAhead_ || !readAhead_->Take(position, maxCount, room, chunk_)) {
            std::string error;
            if (!RecordChunk::Read(*store_, position, maxCount, room, chunk_, error)) {
                Log(error);
                return false;
            }
        }
        if (readAhead_ && chunk_.count == wanted)
            readAhead_->ReadFrom(position + static_cast<std::uint64_t>(chunk_.count), maxCount, room);
    }
    param2 = chunk_.count;
    data.Assign(chunk_.bytes.data(), static_cast<std::uint32_t>(chunk_.bytes.size()));
    return true;
}

bool QuillbridgeService::LogFile(std::int32_t& param1, std::int32_t& param2, MessageBuffer& data) {
    const auto kind = static_cast<std::uint32_t>(param2);
    std::string error;
    if (param1 == FetchLogFile) {
        if (kind != DebugLog) return false;
        const std::string& path = debugLog_.Path();
        data.Assign(path.c_str(), static_cast<std::uint32_t>(path.size() + 1));
        return true;
    }
    if (param1 != ClearLogFile) return false;
    bool cleared = kind == QuillbridgeLog ? store_->Clear(error) : kind == DebugLog && debugLog_.Clear(error);
    // The store's own changes do not show in its version.
    if (kind == QuillbridgeLog && readAhead_) readAhead_->Forget();
    if (!cleared && !error.empty()) Log(error);
    if (cleared) data.Clear();
    return cleared;
}
