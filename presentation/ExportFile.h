#pragma once
// The export file of the Quillbridge log: a fixed header, then one line per row of the record
// list. Single-byte text as the list holds it, CR LF after every line, no byte-order mark.
// Fields are written as they are, without quoting: a description with a line break spans lines.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/kernel/FileTime.h"
#include "presentation/ExportRows.h"

class OsNaming;

class ExportFile {
public:
    static constexpr const char* kFormatVersion = "1.0.0";

    // The header's eight lines, from the versions the service reported, the operating system's
    // names (read now if the start-up read failed) and the export time.
    static std::string BuildExportHeader(std::uint32_t serviceVersion, std::uint32_t coreDllVersion, OsNaming& os,
                                         const FILETIME& now);
    static std::string FormatHeader(std::string_view serviceVersion, std::string_view coreDllVersion,
                                    std::string_view osText, std::string_view servicePack, std::string_view exportTime);
    // Time, level, status, source, description, attachment: each field as far as its first NUL,
    // since the list's texts end there.
    static void AppendRecordLine(std::string& out, const ExportRow& row, std::string_view attachment);

    // The header, an empty line, then the rows in order. The target is replaced only when every
    // byte was written; otherwise false, with the reason in Error() and the old file untouched.
    bool Write(const std::string& path, const std::string& header, ExportRows& rows);
    const std::string& Error() const { return error_; }

private:
    std::string error_;
};
