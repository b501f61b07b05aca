#pragma once
// One item of a side-bar folder: an image, a label and the caller's value.

#include <optional>
#include <string>

#include "platform/graphics/GdiTypes.h"

class SideBarItem {
public:
    SideBarItem(LPCSTR text, int image, DWORD data);

    int image;                         // index into the folder's image list; negative: none
    std::optional<std::string> label;  // absent when made without a text
    DWORD data;
};
