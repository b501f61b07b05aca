#pragma once
// One record of the Quillbridge log as the store keeps it.

#include <cstdint>
#include <string>
#include <vector>

struct StoredRecord {
    std::uint64_t time = 0;  // FILETIME, UTC
    std::uint32_t statusId = 0;
    std::uint32_t source = 0;
    std::uint32_t level = 0;
    std::uint32_t attachmentKind = 0;  // 1 number, 2 text, anything else raw bytes
    std::string description;           // bytes, no NUL
    std::vector<std::uint8_t> attachment;
};
