#pragma once
// The list of log records: one row per accepted record in arrival order, five texts a row, the
// level icon in the first column and, as item data, the record's key in the attachment map.
// Selection changes and double clicks rebuild the preview from the row's texts.

#include <cstdint>
#include <string>

#include "platform/framework/CImageList.h"
#include "platform/kernel/FileTime.h"
#include "presentation/CStripedListView.h"
#include "presentation/LogRecord.h"

class LogViewOwner;

class CContainerView : public CStripedListView {
    DECLARE_DYNCREATE(CContainerView)

public:
    enum Column { LevelColumn, TimeColumn, StatusColumn, SourceColumn, DescriptionColumn, ColumnCount };

    CContainerView();
    ~CContainerView() override;

    // Empties the list; the Quillbridge log (1) gets its five columns, any other kind none.
    void InitColumns(std::uint32_t logKind);
    void AddRecord(const LogRecord& record, std::uint32_t recordKey, const FILETIME& time);
    void UpdatePreview();

    // The detail text of a row's status, source and description, and its attachment if any.
    static std::string DetailText(const std::string& status, const std::string& source,
                                  const std::string& description, const std::string* attachment);

protected:
    DECLARE_MESSAGE_MAP()

    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult);
    void OnDoubleClick(NMHDR* pNMHDR, LRESULT* pResult);

private:
    static LogViewOwner* Owner();

    CImageList levelIcons;
};
