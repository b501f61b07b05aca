#pragma once
// Decodes the records of a ReadRecordsRequest reply into one LogRecord, reused for each.

#include <cstdint>
#include <functional>

#include "presentation/LogRecord.h"

class RecordReader {
public:
    using Take = std::function<void(const LogRecord& record, std::uint64_t time)>;

    // Hands `take` each of the first `count` records of the payload, in order, with its time.
    // A record that does not lie wholly inside the payload ends the decoding: nothing outside
    // the payload is read. Returns the number of records handed over.
    static std::int32_t Read(const std::uint8_t* payload, std::uint32_t size, std::int32_t count, LogRecord& storage,
                             const Take& take);
};
