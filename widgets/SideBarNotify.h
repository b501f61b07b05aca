#pragma once
// What the side bar tells its owner: message 0x401, sent, with the code in wParam and lParam as
// each code says. Records passed by address live only while the message is handled.

#include "platform/window/WindowTypes.h"

constexpr UINT WM_SIDEBAR_NOTIFY = 0x401;

enum SideBarNotifyCode : WPARAM {
    SBN_ITEMCLICKED = 1,    // lParam: the item's index in the open folder (or -1)
    SBN_ITEMEDITED = 2,     // lParam: SideBarLabelEdit*; nonzero accepts the text
    SBN_FOLDEREDITED = 3,   // lParam: SideBarLabelEdit*; nonzero accepts the text
    SBN_ITEMDROPPED = 4,    // lParam: SideBarItemMove*; nonzero performs the move
    SBN_FOLDERCHANGED = 5,  // lParam: the folder now open
    SBN_HOTITEMCHANGED = 6, // lParam: the item under the pointer, -1 for none
    SBN_RBUTTONDOWN = 7,    // lParam: SideBarRightClick*
};

// What a point is over (CSideBarCtrl::HitTest).
enum SideBarHit : int {
    SBHT_NOWHERE = -1,
    SBHT_FOLDER = 0,
    SBHT_ITEM = 1,
    SBHT_UPARROW = 2,
    SBHT_DOWNARROW = 3,
};

struct SideBarLabelEdit {
    int index;
    const char* text;
};

// An item taken out of `from` and put back at `to`, both of the open folder (`to` counts
// without the item, so the last item's index means after it).
struct SideBarItemMove {
    int folder;
    int from;
    int to;
};

struct SideBarRightClick {
    int screenX;
    int screenY;
    int hitKind;  // SideBarHit
    int hitIndex;
    unsigned keyFlags;  // the MK_* flags of the press
};
