#pragma once
// What the viewer asks of the Quillbridge service, and the small payloads that travel with it.
// All integers on the wire are little-endian.

#include <bit>
#include <cstdint>
#include <cstring>

static_assert(std::endian::native == std::endian::little, "the wire format is this machine's byte order");

constexpr const char* kDefaultServiceName = "MARROWIND_Quillbridge";

enum ServiceRequest : std::int32_t {
    VersionsRequest = 265,     // reply: param1 service version, param2 core library version
    LogFileRequest = 283,      // param1 a LogFileAction, param2 a LogKind
    ReadRecordsRequest = 292,  // param1 LogKind, param2 most records wanted; payload RecordPosition
    LogInfoRequest = 293,      // param1 LogKind; reply payload LogInfo
};

enum LogKind : std::uint32_t { QuillbridgeLog = 1, DebugLog = 0x1000 };

enum LogFileAction : std::int32_t { FetchLogFile = 0, ClearLogFile = 1 };

constexpr std::int32_t kMaxRecordsPerRequest = 50;

// Reply of LogInfoRequest: 8 bytes first record number, 4 bytes record count, 4 unused.
struct LogInfo {
    static constexpr std::uint32_t kSize = 16;

    std::uint64_t firstRecord = 0;
    std::uint32_t recordCount = 0;

    void Encode(std::uint8_t (&out)[kSize]) const {
        std::memset(out, 0, kSize);
        std::memcpy(out, &firstRecord, 8);
        std::memcpy(out + 8, &recordCount, 4);
    }
    // Bytes missing from a short payload read as zero.
    static LogInfo Decode(const std::uint8_t* data, std::uint32_t size) {
        std::uint8_t bytes[kSize] = {};
        std::memcpy(bytes, data, size < kSize ? size : kSize);
        LogInfo info;
        std::memcpy(&info.firstRecord, bytes, 8);
        std::memcpy(&info.recordCount, bytes + 8, 4);
        return info;
    }
};

// Versions packed as bits 24-31, 16-23 and 0-15.
constexpr std::uint32_t PackVersion(std::uint32_t major, std::uint32_t minor, std::uint32_t patch) {
    return (major & 0xFF) << 24 | (minor & 0xFF) << 16 | (patch & 0xFFFF);
}
