#include "app/RecordReader.h"

#include "channel/RecordCodec.h"

std::int32_t RecordReader::Read(const std::uint8_t* payload, std::uint32_t size, std::int32_t count, LogRecord& storage,
                                const Take& take) {
    std::uint32_t cursor = 0;
    std::int32_t read = 0;
    WireRecord wire;
    while (read < count && RecordCodec::Decode(payload, size, cursor, wire)) {
        storage.statusId = wire.statusId;
        storage.source = wire.source;
        storage.level = wire.level;
        storage.description.AssignText(wire.description.data(), static_cast<std::uint32_t>(wire.description.size()));
        storage.attachedData.kind = wire.attachmentKind;
        // Written over the old bytes: the storage keeps its block from record to record.
        MessageBuffer& bytes = storage.attachedData.bytes;
        if (wire.attachmentLength != 0) bytes.WriteAt(0, wire.attachment, wire.attachmentLength);
        if (bytes.Size() != wire.attachmentLength) bytes.Clear();
        take(storage, wire.time);
        ++read;
    }
    return read;
}
