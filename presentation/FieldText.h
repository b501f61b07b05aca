#pragma once
// The texts of a record's fields, as the list shows them and the preview and the export repeat
// them. Pure functions; FormatLogTime also depends on the machine's time-zone rules.

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/kernel/FileTime.h"
#include "presentation/AttachedData.h"

struct LevelText {
    const char* caption;  // "" for a level without one
    int icon;             // index in the list's level icons; -1: none
};

// 0-2 "Fatal" (icon 3), 3 "Error" (2), 4 "Warning" (1), 5-7 "Info" (0), 8 and above nothing.
LevelText LevelCaption(std::uint32_t level);
// 0 "Engine", 1 "GUI", 2 "Service", 3 "Driver", 4 and above "".
const char* SourceCaption(std::uint32_t source);
// "0x%08X".
std::string FormatStatus(std::uint32_t statusId);
// Local "MM/DD/YYYY hh:mm:ss"; "" for a time without a calendar date (top bit set).
std::string FormatLogTime(const FILETIME& time);
// "%d.%d.%d" of bits 24-31, 16-23 and 0-15.
std::string FormatVersion(std::uint32_t packedVersion);
// Two upper-case hex digits a byte; with `spaced` a space after each; with a `lineLength`, CR LF
// after every that many bytes.
std::string HexDump(const std::uint8_t* bytes, std::size_t count, std::size_t lineLength, bool spaced);

// The attachment as the preview pane shows it: a number "0x%08X", a text up to its first NUL,
// or "[Binary]\r\n" and a spaced dump of 16 bytes a line.
std::string AttachedDataPreviewText(const AttachedData& data);
// The attachment as the export's sixth field: like the preview, but raw bytes as "[Binary]" and
// one unbroken run of digits.
std::string AttachedDataExportText(const AttachedData& data);
