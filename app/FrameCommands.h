#pragma once
// The frame's commands as rules over its state, kept apart from the window: which filter a
// command chooses, whether its menu item and button are enabled and checked, and the window
// titles the commands and the load notifications produce.

#include <cstdint>
#include <string>

#include "platform/kernel/WinTypes.h"

struct FrameState {
    std::uint32_t logKind;
    std::uint32_t ageFilter;
    std::uint32_t levelFilter;
    bool detailShown;   // the view's inner splitter shows the preview row
    bool sideBarShown;  // the outer splitter shows the side-bar column
};

struct CommandUpdate {
    bool setsEnabled = false;  // rules without an enabled part leave the item as it is
    bool enabled = true;
    bool checked = false;
};

class FrameCommands {
public:
    // The filter value a filter command chooses; -1 for any other command.
    static int AgeFilterOf(UINT command);
    static int LevelFilterOf(UINT command);

    // The command's update rule applied to `state`; false for a command without one.
    static bool Update(UINT command, const FrameState& state, CommandUpdate& update);

    // "Quillbridge Log Viewer - <state>".
    static std::string Title(const char* state);
    // The title a log kind is shown with; the bare program title for an unknown kind.
    static std::string TitleOfLogKind(std::uint32_t logKind);
};
