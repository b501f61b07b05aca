#pragma once
// Where the side bar puts things: folder headers stacked at the top up to the open folder and
// at the bottom after it, the inside area between them, and the open folder's items in it,
// scrolled by whole items. Pure arithmetic on measured sizes, so that it can be checked alone.

#include <vector>

#include "platform/framework/CRect.h"

// The bar's pixel measures.
struct SideBarMetrics {
    int folderHeight = 22;
    int smallLabelGap = 4;   // small icon to its label
    int largeLabelGap = 3;   // large icon to the label below it
    int smallSpacing = 10;   // between items, small-icon view
    int largeSpacing = 8;    // between items, large-icon view
    int leftMargin = 5;
    int topMargin = 5;
};

// An item's icon and label as measured, and the whole they make in the current view.
struct SideBarItemSize {
    CSize icon;
    CSize label;
    CSize whole;
};

class SideBarGeometry {
public:
    SideBarGeometry(const CRect& client, int folderCount, int selectedFolder, const SideBarMetrics& metrics);

    static CSize WholeSize(CSize icon, CSize label, bool smallIcons, const SideBarMetrics& metrics);

    // False (and r emptied) for an index outside the folders.
    bool FolderRect(int folder, CRect* r) const;
    const CRect& Inside() const { return inside_; }

    // The open folder's items, measured, shown from `firstItem` on.
    void SetItems(std::vector<SideBarItemSize> sizes, bool smallIcons, int firstItem);
    int ItemCount() const { return static_cast<int>(sizes_.size()); }
    const SideBarItemSize& Size(int item) const { return sizes_[item]; }
    int Spacing() const;
    CRect ItemRect(int item) const;
    CRect IconRect(int item) const;   // the frames of hover, press and selection go round it
    CRect LabelRect(int item) const;  // large view
    // The last item from the first shown whose bottom is inside; firstItem - 1 when none is.
    int LastVisible() const;
    CRect UpArrowRect(int side) const;
    CRect DownArrowRect(int side) const;

    // The item under a point: from the first shown on, until one starts below the inside area.
    int ItemAt(POINT p) const;
    int FolderAt(POINT p) const;

private:
    int Offset(int item) const;  // the heights and spacings of the items before it
    int Scroll() const { return Offset(firstItem_); }

    CRect client_;
    int folderCount_;
    int selected_;
    SideBarMetrics m_;
    CRect inside_;
    std::vector<SideBarItemSize> sizes_;
    bool small_ = false;
    int firstItem_ = 0;
};
