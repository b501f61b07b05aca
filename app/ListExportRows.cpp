#include "app/ListExportRows.h"

#include "platform/framework/CListCtrl.h"
#include "presentation/CContainerView.h"
#include "presentation/FieldText.h"
#include "presentation/LogViewOwner.h"

int ListExportRows::RowCount() { return list_.GetItemCount(); }

bool ListExportRows::ReadRow(int index, ExportRow& row) {
    if (index < 0 || index >= list_.GetItemCount()) return false;
    row.recordKey = static_cast<std::uint32_t>(list_.GetItemData(index));
    row.description = list_.GetItemText(index, CContainerView::DescriptionColumn);
    row.source = list_.GetItemText(index, CContainerView::SourceColumn);
    row.status = list_.GetItemText(index, CContainerView::StatusColumn);
    row.level = list_.GetItemText(index, CContainerView::LevelColumn);
    row.time = list_.GetItemText(index, CContainerView::TimeColumn);
    return true;
}

bool ListExportRows::AttachmentText(std::uint32_t recordKey, std::string& text) {
    std::lock_guard lock(owner_.AttachmentLock());
    const AttachmentMap& attachments = owner_.Attachments();
    const auto found = attachments.find(recordKey);
    if (found == attachments.end()) return false;
    text = AttachedDataExportText(found->second);
    return true;
}
