#include "presentation/FieldText.h"

#include <cstdio>
#include <cstring>

#include "channel/TextBuffer.h"

namespace {

std::string NumberText(const AttachedData& data) {
    std::uint8_t four[4] = {};  // bytes missing from a short attachment count as zero
    std::memcpy(four, data.bytes.Data(), data.bytes.Size() < 4 ? data.bytes.Size() : 4);
    std::uint32_t value;
    std::memcpy(&value, four, 4);
    return FormatStatus(value);
}

std::string Text(const AttachedData& data) {
    const auto* p = reinterpret_cast<const char*>(data.bytes.Data());
    return std::string(p, strnlen(p, data.bytes.Size()));
}

}  // namespace

LevelText LevelCaption(std::uint32_t level) {
    if (level <= 2) return {"Fatal", 3};
    if (level == 3) return {"Error", 2};
    if (level == 4) return {"Warning", 1};
    if (level <= 7) return {"Info", 0};
    return {"", -1};
}

const char* SourceCaption(std::uint32_t source) {
    static const char* const captions[] = {"Engine", "GUI", "Service", "Driver"};
    return source < 4 ? captions[source] : "";
}

std::string FormatStatus(std::uint32_t statusId) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", statusId);
    return text;
}

std::string FormatLogTime(const FILETIME& time) {
    FILETIME local;
    SYSTEMTIME c;
    if (!FileTimeToLocalFileTime(&time, &local) || !FileTimeToSystemTime(&local, &c)) return {};
    char text[48];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d %02d:%02d:%02d", c.wMonth, c.wDay, c.wYear, c.wHour, c.wMinute,
                  c.wSecond);
    return text;
}

std::string FormatVersion(std::uint32_t packedVersion) { return TextBuffer(packedVersion).Text(); }

std::string HexDump(const std::uint8_t* bytes, std::size_t count, std::size_t lineLength, bool spaced) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(count * (spaced ? 3 : 2) + (lineLength ? count / lineLength * 2 : 0));
    for (std::size_t i = 0; i < count; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
        if (spaced) out += ' ';
        if (lineLength && (i + 1) % lineLength == 0) out += "\r\n";
    }
    return out;
}

std::string AttachedDataPreviewText(const AttachedData& data) {
    if (data.kind == NumberAttachment) return NumberText(data);
    if (data.kind == TextAttachment) return Text(data);
    return "[Binary]\r\n" + HexDump(data.bytes.Data(), data.bytes.Size(), 16, true);
}

std::string AttachedDataExportText(const AttachedData& data) {
    if (data.kind == NumberAttachment) return NumberText(data);
    if (data.kind == TextAttachment) return Text(data);
    return "[Binary]" + HexDump(data.bytes.Data(), data.bytes.Size(), 0, false);
}
