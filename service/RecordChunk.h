#pragma once
// The records of one ReadRecordsRequest reply, encoded as they go on the wire.

#include <cstdint>
#include <string>
#include <vector>

#include "service/LogStore.h"

struct RecordChunk {
    std::vector<std::uint8_t> bytes;  // the reply's payload
    std::int32_t count = 0;           // how many records it holds

    // The records numbered from `position`, at most `maxCount` of them and never more than `room`
    // bytes: the count says how many made it in. False, with `error` set, when the store fails.
    static bool Read(LogStore& store, std::uint64_t position, std::uint32_t maxCount, std::uint32_t room,
                     RecordChunk& chunk, std::string& error);
};
