#pragma once
// One button of a toolbar as the toolbar keeps it, and where its last layout put it.

#include <cstdint>
#include <string>

#include "platform/window/WindowTypes.h"

struct ToolbarButton {
    int image = 0;  // the image index; a separator's width (0: the default)
    int command = 0;
    BYTE state = 0;  // TBSTATE_*
    BYTE style = 0;  // BTNS_*
    DWORD_PTR data = 0;
    std::intptr_t string = 0;  // as given: a string's index or address, kept, not shown
    std::string text;          // TBBUTTONINFOA's text, kept, not shown
    int width = 0;             // TBIF_SIZE's width; 0: the toolbar's button size
    RECT rect{};               // client coordinates; empty while hidden
};
