#pragma once
// The program's resources as data tables: the string table (status-bar prompts and tooltips),
// menu 128, accelerator table 128, toolbar 128 and the About box (dialog 100). Their texts come
// from ProgramTexts.h.

#include <span>
#include <string>
#include <vector>

#include "platform/controls/AcceleratorTable.h"
#include "platform/controls/DialogTemplate.h"
#include "platform/controls/MenuTemplate.h"
#include "platform/kernel/WinTypes.h"

struct StringResource {
    UINT id;
    const char* text;  // "prompt\ntooltip" for a command
};

struct ToolbarLayout {
    WORD width;
    WORD height;
    std::vector<WORD> items;  // commands in picture order; 0 is a separator
};

std::span<const StringResource> ProgramStrings();
MenuTemplate MainMenu();
std::vector<ACCEL> MainAccelerators();
ToolbarLayout MainToolbar();
DialogTemplate AboutDialog();

// Registers every table under its id: menu, keys and toolbar 128, dialog 100, the strings.
void RegisterProgramResources();
