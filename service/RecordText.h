#pragma once
// Records as people and scripts write and read them: level and source names, status numbers,
// times in ISO 8601 (UTC), attachments as a number, a text or hex bytes; one JSON object per
// record; one line per record for reading.

#include <cstdint>
#include <string>
#include <vector>

#include "channel/RecordCodec.h"
#include "service/JsonObject.h"
#include "service/StoredRecord.h"

class RecordText {
public:
    // Level by name ("fatal" 2, "error" 3, "warning" 4, "info" 5; any case) or number.
    static bool ParseLevel(const std::string& text, std::uint32_t& level, std::string& error);
    // Source by name ("engine" 0, "gui" 1, "service" 2, "driver" 3; any case) or number.
    static bool ParseSource(const std::string& text, std::uint32_t& source, std::string& error);
    // A 32-bit unsigned number, decimal or 0x-hexadecimal.
    static bool ParseNumber(const std::string& text, std::uint32_t& value, std::string& error);
    // "now", or YYYY-MM-DD[T| ]HH:MM[:SS[.fraction]][Z], in UTC, to 100 ns.
    static bool ParseTime(const std::string& text, std::uint64_t now, std::uint64_t& fileTime, std::string& error);
    // Hex digit pairs, optionally separated by spaces, colons or dashes.
    static bool ParseHex(const std::string& text, std::vector<std::uint8_t>& bytes, std::string& error);

    // ISO 8601 in UTC with as many fraction digits as the time needs; empty for a time outside
    // the years 1601 to 9999.
    static std::string FormatTime(std::uint64_t fileTime);

    // A record from one JSON line (see docs/quillbridge-service.md for the fields). `now` is the
    // time given to a record that names none.
    static bool FromJson(const JsonObject& object, std::uint64_t now, StoredRecord& record, std::string& error);
    // The record as a JSON line that FromJson reads back to the same record, byte for byte, plus
    // its number.
    static std::string ToJson(const WireRecord& record, std::uint64_t recordNumber);
    // The record on one line for people.
    static std::string ToLine(const WireRecord& record, std::uint64_t recordNumber);
    // Text from elsewhere (a record, the service) made safe for a terminal: control characters
    // (C0, DEL and C1) and bytes that are not UTF-8 become escapes such as \n and \x1B.
    static std::string Printable(std::string_view text);
};
