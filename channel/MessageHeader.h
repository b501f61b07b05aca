#pragma once
// The frame of one message at the start of the data area (little-endian), followed by
// `dataLength` payload bytes.

#include <cstdint>

enum class MessageType : std::uint32_t { Request = 0, Reply = 1, Post = 2 };

struct MessageHeader {
    std::uint32_t type;  // a MessageType
    std::int32_t msgId;
    std::int32_t param1;
    std::int32_t param2;
    std::uint32_t dataLength;
};

static_assert(sizeof(MessageHeader) == 20);
