#include "widgets/CIconMenuItemData.h"

#include "widgets/CIconMenuIcons.h"

CIconMenuItemData::~CIconMenuItemData() { SetIcon(nullptr, -1); }

void CIconMenuItemData::SetIcon(CIconMenuIcons* set, int index) {
    if (set) set->AddRef();
    // Released last: the old set may be the new one, and releasing may free it.
    CIconMenuIcons* old = iconSet;
    iconSet = set;
    imageIndex = set ? index : -1;
    if (old) old->Release();
}
