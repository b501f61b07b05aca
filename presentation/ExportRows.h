#pragma once
// What the export reads of the record list: its rows' texts as shown and their attachments.
// The list implements it; tests give their own rows.

#include <cstdint>
#include <string>

struct ExportRow {
    std::uint32_t recordKey = 0;
    // The list's columns: level, time, status, source, description.
    std::string level, time, status, source, description;
};

class ExportRows {
public:
    virtual ~ExportRows() = default;
    // Read again after every row: rows may come and go while the file is written.
    virtual int RowCount() = 0;
    // False when the row is gone.
    virtual bool ReadRow(int index, ExportRow& row) = 0;
    // The export text of the row's attachment; false when it has none.
    virtual bool AttachmentText(std::uint32_t recordKey, std::string& text) = 0;
};
