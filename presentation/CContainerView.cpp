#include "presentation/CContainerView.h"

#include <optional>

#include "platform/framework/AfxMsg.h"
#include "platform/framework/CWinApp.h"
#include "platform/graphics/Images.h"
#include "presentation/CPreviewPane.h"
#include "presentation/FieldText.h"
#include "presentation/LogViewOwner.h"

IMPLEMENT_DYNCREATE(CContainerView, CStripedListView)

namespace {

constexpr std::uint32_t kQuillbridgeLog = 1;

struct ColumnLayout {
    const char* caption;
    int width;
};
constexpr ColumnLayout kColumns[CContainerView::ColumnCount] = {
    {"Level", 50}, {"Time", 150}, {"Status ID", 80}, {"Source", 100}, {"Description", 500},
};

constexpr int kLevelIconIds[] = {153, 154, 155, 156};  // Info, Warning, Error, Fatal

// Grid lines, full-row select, header drag-and-drop, one-click activate, flat scroll bars and
// underlined hot rows, with label tips for cut texts.
constexpr DWORD kListExStyle = 0x971 | LVS_EX_LABELTIP;

}  // namespace

CContainerView::CContainerView() = default;
CContainerView::~CContainerView() = default;

BEGIN_MESSAGE_MAP(CContainerView, CStripedListView)
ON_WM_CREATE()
ON_NOTIFY_REFLECT(LVN_ITEMCHANGED, &CContainerView::OnItemChanged)
ON_NOTIFY_REFLECT(NM_DBLCLK, &CContainerView::OnDoubleClick)
END_MESSAGE_MAP()

int CContainerView::OnCreate(LPCREATESTRUCTA lpcs) {
    if (CStripedListView::OnCreate(lpcs) == -1) return -1;
    // The view owns the level icons: the control only borrows them.
    ModifyStyle(LVS_TYPEMASK, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS);
    CListCtrl& list = GetListCtrl();
    list.SetExtendedStyle(kListExStyle);
    levelIcons.Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 1);
    for (int id : kLevelIconIds) levelIcons.Add(LoadIconA(nullptr, MAKEINTRESOURCEA(id)));
    list.SetImageList(&levelIcons, LVSIL_SMALL);
    return 0;
}

void CContainerView::InitColumns(std::uint32_t logKind) {
    CListCtrl& list = GetListCtrl();
    list.DeleteAllItems();
    for (int col = list.GetHeaderCtrl()->GetItemCount() - 1; col >= 0; --col) list.DeleteColumn(col);
    if (logKind != kQuillbridgeLog) return;
    for (int col = 0; col < ColumnCount; ++col)
        list.InsertColumn(col, kColumns[col].caption, LVCFMT_LEFT, kColumns[col].width, col);
}

void CContainerView::AddRecord(const LogRecord& record, std::uint32_t recordKey, const FILETIME& time) {
    CListCtrl& list = GetListCtrl();
    const LevelText level = LevelCaption(record.level);
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = list.GetItemCount();
    item.pszText = const_cast<char*>(level.caption);
    item.iImage = level.icon;
    item.lParam = static_cast<LPARAM>(recordKey);
    const int row = list.InsertItem(&item);
    list.SetItemText(row, TimeColumn, FormatLogTime(time).c_str());
    list.SetItemText(row, StatusColumn, FormatStatus(record.statusId).c_str());
    list.SetItemText(row, SourceColumn, SourceCaption(record.source));
    list.SetItemText(row, DescriptionColumn, record.description.Text());
}

std::string CContainerView::DetailText(const std::string& status, const std::string& source,
                                       const std::string& description, const std::string* attachment) {
    std::string text = "Status ID:\t" + status + "\r\nSource:\t\t" + source + "\r\nDescription:\t" + description + "\r\n";
    if (attachment) text += "Attached data:\t" + *attachment;
    return text;
}

LogViewOwner* CContainerView::Owner() { return dynamic_cast<LogViewOwner*>(AfxGetMainWnd()); }

void CContainerView::UpdatePreview() {
    LogViewOwner* owner = Owner();
    if (!owner) return;
    CListCtrl& list = GetListCtrl();
    const int row = list.GetNextItem(-1, LVNI_SELECTED);
    if (row < 0) {
        if (CPreviewPane* preview = owner->GetPreview()) preview->SetContent("", "", "");
        return;
    }
    if (owner->ShownLogKind() != kQuillbridgeLog) return;

    const auto key = static_cast<std::uint32_t>(list.GetItemData(row));
    std::optional<std::string> attachment;
    {
        std::lock_guard lock(owner->AttachmentLock());
        const AttachmentMap& map = owner->Attachments();
        if (auto found = map.find(key); found != map.end()) attachment = AttachedDataPreviewText(found->second);
    }
    const std::string detail =
        DetailText(list.GetItemText(row, StatusColumn), list.GetItemText(row, SourceColumn),
                   list.GetItemText(row, DescriptionColumn), attachment ? &*attachment : nullptr);
    if (CPreviewPane* preview = owner->GetPreview())
        preview->SetContent(list.GetItemText(row, LevelColumn), list.GetItemText(row, TimeColumn), detail);
}

void CContainerView::OnItemChanged(NMHDR*, LRESULT* pResult) {
    *pResult = 0;
    UpdatePreview();
}

void CContainerView::OnDoubleClick(NMHDR*, LRESULT* pResult) {
    *pResult = 0;
    // The command runs first, so that a preview it has just shown is filled at once.
    if (CWnd* main = AfxGetMainWnd()) main->SendMessage(WM_COMMAND, ID_LOG_DETAIL);
    UpdatePreview();
}
