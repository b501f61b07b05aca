#include "presentation/ExportFile.h"

#include "presentation/FieldText.h"
#include "presentation/OsNaming.h"
#include "presentation/ReplacingFile.h"

namespace {

constexpr std::size_t kChunk = 256 * 1024;  // handed to the file a chunk at a time

std::string_view UpToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

void AppendField(std::string& out, std::string_view text, std::string_view after) {
    out.append(UpToNul(text));
    out.append(after);
}

}  // namespace

std::string ExportFile::BuildExportHeader(std::uint32_t serviceVersion, std::uint32_t coreDllVersion, OsNaming& os,
                                          const FILETIME& now) {
    if (!os.IsRead()) os.ReadVersionInformation();
    return FormatHeader(FormatVersion(serviceVersion), FormatVersion(coreDllVersion), os.OsText(), os.ServicePackText(),
                        FormatLogTime(now));
}

std::string ExportFile::FormatHeader(std::string_view serviceVersion, std::string_view coreDllVersion,
                                     std::string_view osText, std::string_view servicePack,
                                     std::string_view exportTime) {
    std::string header = "==========Quillbridge Log==========\r\nFormat: ";
    header.append(kFormatVersion);
    header.append("\r\nService Version: ").append(UpToNul(serviceVersion));
    header.append("\r\nCore DLL Version: ").append(UpToNul(coreDllVersion));
    header.append("\r\n").append(UpToNul(osText)).append(" ").append(UpToNul(servicePack));
    header.append("\r\nExported At: ").append(UpToNul(exportTime));
    header.append("\r\n\r\n==========Log Messages==========\r\n");
    return header;
}

void ExportFile::AppendRecordLine(std::string& out, const ExportRow& row, std::string_view attachment) {
    AppendField(out, row.time, ",\t");
    AppendField(out, row.level, ",\t");
    AppendField(out, row.status, ",\t");
    AppendField(out, row.source, ",\t");
    AppendField(out, row.description, ",\t");
    AppendField(out, attachment, "\r\n");
}

bool ExportFile::Write(const std::string& path, const std::string& header, ExportRows& rows) {
    error_.clear();
    ReplacingFile file;
    std::string chunk = header;
    chunk.append("\r\n");
    ExportRow row;
    std::string attachment;
    bool ok = file.Open(path);
    for (int index = 0; ok && index < rows.RowCount(); ++index) {
        if (!rows.ReadRow(index, row)) continue;
        if (!rows.AttachmentText(row.recordKey, attachment)) attachment.clear();
        AppendRecordLine(chunk, row, attachment);
        if (chunk.size() >= kChunk) {
            ok = file.Write(chunk);
            chunk.clear();
        }
    }
    ok = ok && file.Write(chunk) && file.Commit();
    if (!ok) error_ = file.Error();
    return ok;
}
