#include "service/RecordChunk.h"

bool RecordChunk::Read(LogStore& store, std::uint64_t position, std::uint32_t maxCount, std::uint32_t room,
                       RecordChunk& chunk, std::string& error) {
    chunk.bytes.clear();
    chunk.count = 0;
    std::uint32_t used = 0;
    auto add = [&](const WireRecord& r) {
        const std::uint64_t size = RecordCodec::EncodedSize(r.description.size(), r.attachmentLength);
        if (used + size > room) return false;
        chunk.bytes.resize(used + size);
        used += RecordCodec::Write(r, chunk.bytes.data() + used);
        ++chunk.count;
        return true;
    };
    if (!store.Read(position, maxCount, add, error)) return false;
    chunk.bytes.resize(used);
    return true;
}
