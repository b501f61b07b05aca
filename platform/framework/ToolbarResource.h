#pragma once
// Toolbar resources (resource type 241): the size of the button pictures and the command of each
// button in picture order, 0 for a separator. The program's are registered by id from data
// tables (resources/), tests register their own; the bitmap of the same id holds the pictures.

#include <optional>
#include <vector>

#include "platform/kernel/WinTypes.h"

class ToolbarResource {
public:
    WORD wVersion = 1;
    WORD wWidth = 16;
    WORD wHeight = 15;
    std::vector<WORD> items;  // commands; 0 is a separator

    static void Register(UINT id, ToolbarResource resource);
    static void Unregister(UINT id);
    static std::optional<ToolbarResource> Find(UINT id);
};
