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

// Both are formatted by hand: a load formats them for every row, and snprintf would cost the
// list more than the row itself.
std::string FormatStatus(std::uint32_t statusId) {
    static const char digits[] = "0123456789ABCDEF";
    char text[10] = {'0', 'x'};
    for (int i = 0; i < 8; ++i) text[2 + i] = digits[(statusId >> (28 - 4 * i)) & 15];
    return std::string(text, sizeof text);
}

std::string FormatLogTime(const FILETIME& time) {
    FILETIME local;
    SYSTEMTIME c;
    if (!FileTimeToLocalFileTime(&time, &local) || !FileTimeToSystemTime(&local, &c)) return {};
    if (c.wYear > 9999) {
        char text[48];
        std::snprintf(text, sizeof text, "%02d/%02d/%04d %02d:%02d:%02d", c.wMonth, c.wDay, c.wYear, c.wHour,
                      c.wMinute, c.wSecond);
        return text;
    }
    char text[19];
    const auto put = [&](int at, int value, int width) {
        for (int i = width - 1; i >= 0; --i, value /= 10) text[at + i] = static_cast<char>('0' + value % 10);
    };
    put(0, c.wMonth, 2);
    text[2] = '/';
    put(3, c.wDay, 2);
    text[5] = '/';
    put(6, c.wYear, 4);
    text[10] = ' ';
    put(11, c.wHour, 2);
    text[13] = ':';
    put(14, c.wMinute, 2);
    text[16] = ':';
    put(17, c.wSecond, 2);
    return std::string(text, sizeof text);
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
