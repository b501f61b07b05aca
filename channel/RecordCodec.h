#pragma once
// One log record in a reply to ReadRecordsRequest: time (8), status (4), source (4), level (4),
// attachment kind (4), description, attachment length L (4), L attachment bytes. The description
// is four zero bytes when empty, else its characters and one NUL. Records follow each other with
// no gap.

#include <cstdint>
#include <string_view>
#include <vector>

// A decoded record: views into the payload it was decoded from.
struct WireRecord {
    std::uint64_t time = 0;  // FILETIME, UTC
    std::uint32_t statusId = 0;
    std::uint32_t source = 0;
    std::uint32_t level = 0;
    std::uint32_t attachmentKind = 0;
    std::string_view description;  // without its NUL
    const std::uint8_t* attachment = nullptr;
    std::uint32_t attachmentLength = 0;
};

class RecordCodec {
public:
    static constexpr std::uint32_t kDescriptionOffset = 24;

    // Bytes the record takes on the wire (28 + D + L).
    static std::uint64_t EncodedSize(std::size_t descriptionLength, std::size_t attachmentLength);
    static void Append(const WireRecord& record, std::vector<std::uint8_t>& out);
    // Writes the record at `out`, which has room for EncodedSize bytes; returns that size.
    static std::uint32_t Write(const WireRecord& record, std::uint8_t* out);
    // Decodes the record at `cursor` and advances the cursor past it. A record that does not lie
    // entirely inside the `size` bytes is not decoded: false, cursor unchanged.
    static bool Decode(const std::uint8_t* data, std::uint32_t size, std::uint32_t& cursor, WireRecord& out);
};
