#pragma once
// The record list's rows as the export reads them: the texts of its five columns and, by the
// row's key, its attachment from the frame's map under the loader's lock.

#include "presentation/ExportRows.h"

class CListCtrl;
class LogViewOwner;

class ListExportRows : public ExportRows {
public:
    ListExportRows(CListCtrl& list, LogViewOwner& owner) : list_(list), owner_(owner) {}

    int RowCount() override;
    bool ReadRow(int index, ExportRow& row) override;
    bool AttachmentText(std::uint32_t recordKey, std::string& text) override;

private:
    CListCtrl& list_;
    LogViewOwner& owner_;
};
