#include "channel/RecordCodec.h"

#include <cstring>

namespace {

std::uint32_t ReadU32(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

}  // namespace

std::uint64_t RecordCodec::EncodedSize(std::size_t descriptionLength, std::size_t attachmentLength) {
    const std::uint64_t d = descriptionLength == 0 ? 4 : descriptionLength + 1;
    return kDescriptionOffset + d + 4 + attachmentLength;
}

void RecordCodec::Append(const WireRecord& record, std::vector<std::uint8_t>& out) {
    const std::size_t at = out.size();
    out.resize(at + EncodedSize(record.description.size(), record.attachmentLength));
    Write(record, out.data() + at);
}

std::uint32_t RecordCodec::Write(const WireRecord& record, std::uint8_t* out) {
    std::uint8_t* p = out;
    auto put = [&p](const void* from, std::size_t n) {
        std::memcpy(p, from, n);
        p += n;
    };
    put(&record.time, 8);
    put(&record.statusId, 4);
    put(&record.source, 4);
    put(&record.level, 4);
    put(&record.attachmentKind, 4);
    if (record.description.empty()) {
        std::memset(p, 0, 4);
        p += 4;
    } else {
        put(record.description.data(), record.description.size());
        *p++ = 0;
    }
    put(&record.attachmentLength, 4);
    if (record.attachmentLength != 0) put(record.attachment, record.attachmentLength);
    return static_cast<std::uint32_t>(p - out);
}

bool RecordCodec::Decode(const std::uint8_t* data, std::uint32_t size, std::uint32_t& cursor, WireRecord& out) {
    if (cursor > size || size - cursor < kDescriptionOffset + 4) return false;
    const std::uint8_t* p = data + cursor;
    const std::uint32_t left = size - cursor;
    WireRecord r;
    std::memcpy(&r.time, p, 8);
    r.statusId = ReadU32(p + 8);
    r.source = ReadU32(p + 12);
    r.level = ReadU32(p + 16);
    r.attachmentKind = ReadU32(p + 20);
    std::uint32_t d;
    if (ReadU32(p + kDescriptionOffset) == 0) {
        d = 4;
    } else {
        const void* nul = std::memchr(p + kDescriptionOffset, 0, left - kDescriptionOffset);
        if (nul == nullptr) return false;
        const auto length =
            static_cast<std::uint32_t>(static_cast<const std::uint8_t*>(nul) - (p + kDescriptionOffset));
        r.description = std::string_view(reinterpret_cast<const char*>(p + kDescriptionOffset), length);
        d = length + 1;
    }
    // The length field and the attachment must both fit in what is left.
    if (left - kDescriptionOffset - d < 4) return false;
    r.attachmentLength = ReadU32(p + kDescriptionOffset + d);
    const std::uint32_t fixed = kDescriptionOffset + d + 4;
    if (r.attachmentLength > left - fixed) return false;
    r.attachment = p + fixed;
    out = r;
    cursor += fixed + r.attachmentLength;
    return true;
}
