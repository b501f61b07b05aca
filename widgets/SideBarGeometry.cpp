#include "widgets/SideBarGeometry.h"

#include <algorithm>

SideBarGeometry::SideBarGeometry(const CRect& client, int folderCount, int selectedFolder,
                                 const SideBarMetrics& metrics)
    : client_(client), folderCount_(folderCount), selected_(selectedFolder), m_(metrics), inside_(client) {
    if (folderCount_ > 0) {
        const int h = m_.folderHeight;
        inside_.top += (selected_ + 1) * h - 1;
        inside_.bottom -= (folderCount_ - selected_ - 1) * h;
    }
}

CSize SideBarGeometry::WholeSize(CSize icon, CSize label, bool smallIcons, const SideBarMetrics& m) {
    if (smallIcons) return CSize(label.cx + m.smallLabelGap + icon.cx, std::max(label.cy, icon.cy));
    return CSize(std::max(label.cx, icon.cx), m.largeSpacing + m.largeLabelGap + label.cy + icon.cy);
}

bool SideBarGeometry::FolderRect(int folder, CRect* r) const {
    if (folder < 0 || folder >= folderCount_) {
        r->SetRectEmpty();
        return false;
    }
    const int h = m_.folderHeight;
    if (folder <= selected_)
        *r = CRect(client_.left, client_.top + folder * h - 1, client_.right, client_.top + (folder + 1) * h - 1);
    else
        *r = CRect(client_.left, client_.bottom - h * (folderCount_ - folder), client_.right,
                   client_.bottom - h * (folderCount_ - folder - 1));
    return true;
}

void SideBarGeometry::SetItems(std::vector<SideBarItemSize> sizes, bool smallIcons, int firstItem) {
    sizes_ = std::move(sizes);
    small_ = smallIcons;
    firstItem_ = std::clamp(firstItem, 0, std::max(0, ItemCount()));
}

int SideBarGeometry::Spacing() const { return small_ ? m_.smallSpacing : m_.largeSpacing; }

int SideBarGeometry::Offset(int item) const {
    int y = 0;
    for (int k = 0; k < item && k < ItemCount(); ++k) y += sizes_[k].whole.cy + Spacing();
    return y;
}

CRect SideBarGeometry::ItemRect(int item) const {
    const int top = inside_.top + Offset(item) + m_.topMargin - Scroll();
    const int bottom = top + sizes_[item].whole.cy;
    if (small_) return CRect(inside_.left + m_.leftMargin, top, inside_.left + sizes_[item].whole.cx, bottom);
    return CRect(inside_.left, top, inside_.right, bottom);
}

CRect SideBarGeometry::IconRect(int item) const {
    const CSize icon = sizes_[item].icon;
    const int y = inside_.top + Offset(item) + Spacing() - Scroll();
    if (small_) {
        const int left = inside_.left + m_.leftMargin + 2, top = y - m_.topMargin;
        return CRect(left, top, left + icon.cx, top + icon.cy);
    }
    const int x = inside_.left + (inside_.Width() - icon.cx) / 2;
    return CRect(x, y - 3, x + icon.cx, y + icon.cy - 2);
}

CRect SideBarGeometry::LabelRect(int item) const {
    const SideBarItemSize& s = sizes_[item];
    const int y = inside_.top + Offset(item) + Spacing() - Scroll();
    const int left = inside_.left + (inside_.Width() - s.whole.cx) / 2;
    const int bottom = y + s.whole.cy - m_.largeSpacing - 2;
    return CRect(left, bottom - s.label.cy, left + s.whole.cx, bottom);
}

int SideBarGeometry::LastVisible() const {
    int last = firstItem_ - 1;
    for (int k = firstItem_; k < ItemCount() && ItemRect(k).bottom <= inside_.bottom; ++k) last = k;
    return last;
}

CRect SideBarGeometry::UpArrowRect(int side) const {
    const CPoint at(inside_.right - side - 5, inside_.top + 5);
    return CRect(at, CSize(side, side));
}

CRect SideBarGeometry::DownArrowRect(int side) const {
    const CPoint at(inside_.right - side - 5, inside_.bottom - side - 5);
    return CRect(at, CSize(side, side));
}

int SideBarGeometry::ItemAt(POINT p) const {
    for (int k = firstItem_; k < ItemCount(); ++k) {
        if (small_) {
            const CRect r = ItemRect(k);
            if (r.top > inside_.bottom) break;
            if (r.PtInRect(p)) return k;
            continue;
        }
        const CRect icon = IconRect(k);
        if (icon.top > inside_.bottom) break;
        if (icon.PtInRect(p)) return k;
        CRect label = LabelRect(k);
        label.top -= m_.largeLabelGap;
        if (label.top > inside_.bottom) break;
        if (label.PtInRect(p)) return k;
    }
    return -1;
}

int SideBarGeometry::FolderAt(POINT p) const {
    CRect r;
    for (int i = 0; i < folderCount_; ++i)
        if (FolderRect(i, &r) && r.PtInRect(p)) return i;
    return -1;
}
