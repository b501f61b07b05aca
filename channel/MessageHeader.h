#pragma once
// The frame of one message at the start of the data area (little-endian), followed by
// `dataLength` payload bytes.

#include <cstdint>

// Taken marks a request that the service is working on. Only the service writes it, and only a
// client that reads the block without a "handled" signal could see it; it tells the service,
// when its answer is ready, whether the block still holds the request or a newer one.
enum class MessageType : std::uint32_t { Request = 0, Reply = 1, Post = 2, Taken = 3 };

struct MessageHeader {
    std::uint32_t type;  // a MessageType
    std::int32_t msgId;
    std::int32_t param1;
    std::int32_t param2;
    std::uint32_t dataLength;
};

static_assert(sizeof(MessageHeader) == 20);
