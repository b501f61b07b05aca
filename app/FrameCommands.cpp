#include "app/FrameCommands.h"

#include <cstdio>
#include <vector>

#include "app/LoaderFrame.h"
#include "channel/ServiceProtocol.h"
#include "resources/ProgramTexts.h"
#include "resources/ResourceIds.h"

namespace {

constexpr UINT kAgeCommands[] = {ID_FILTER_1DAY,   ID_FILTER_2DAYS,  ID_FILTER_3DAYS, ID_FILTER_1WEEK,
                                 ID_FILTER_2WEEKS, ID_FILTER_1MONTH, ID_FILTER_ALL};

struct LevelCommand {
    UINT command;
    std::uint32_t level;
};
constexpr LevelCommand kLevelCommands[] = {{ID_LEVEL_FATAL, FatalOnly},
                                           {ID_LEVEL_ERROR, ErrorAndWorse},
                                           {ID_LEVEL_WARNING, WarningAndWorse},
                                           {ID_LEVEL_INFO, AllLevels}};

}  // namespace

int FrameCommands::AgeFilterOf(UINT command) {
    for (int age = 0; age < static_cast<int>(std::size(kAgeCommands)); ++age)
        if (kAgeCommands[age] == command) return age;
    return -1;
}

int FrameCommands::LevelFilterOf(UINT command) {
    for (const LevelCommand& entry : kLevelCommands)
        if (entry.command == command) return static_cast<int>(entry.level);
    return -1;
}

bool FrameCommands::Update(UINT command, const FrameState& state, CommandUpdate& update) {
    update = CommandUpdate{};
    const bool quillbridge = state.logKind == QuillbridgeLog;
    if (const int age = AgeFilterOf(command); age >= 0) {
        // While the debug log is shown no age applies: the day-based items grey out and
        // "all" carries the mark.
        update.setsEnabled = true;
        if (age == AllAges) {
            update.checked = state.ageFilter == AllAges || !quillbridge;
        } else {
            update.enabled = quillbridge;
            update.checked = quillbridge && state.ageFilter == static_cast<std::uint32_t>(age);
        }
        return true;
    }
    // The level items are reached through the "&Level" item, which greys as a whole with the
    // debug log: enabling them here would undo that each time the filter menu opens.
    if (const int level = LevelFilterOf(command); level >= 0) {
        update.checked = state.levelFilter == static_cast<std::uint32_t>(level);
        return true;
    }
    switch (command) {
        case ID_LOG_QUILLBRIDGE:
        case ID_SELECT_QUILLBRIDGE_LOG:
            update.checked = quillbridge;
            return true;
        case ID_LOG_DEBUG:
            update.checked = state.logKind == DebugLog;
            return true;
        case ID_VIEW_DETAIL:
            update.setsEnabled = true;
            update.enabled = quillbridge;
            update.checked = state.detailShown;
            return true;
        case ID_VIEW_SIDEBAR:
            update.checked = state.sideBarShown;
            return true;
        default:
            return false;
    }
}

std::string FrameCommands::Title(const char* state) {
    std::vector<char> title(std::snprintf(nullptr, 0, text::kTitleFormat, text::kAppTitle, state) + 1);
    std::snprintf(title.data(), title.size(), text::kTitleFormat, text::kAppTitle, state);
    return title.data();
}

std::string FrameCommands::TitleOfLogKind(std::uint32_t logKind) {
    if (logKind == QuillbridgeLog) return Title(text::kQuillbridgeLog);
    if (logKind == DebugLog) return Title(text::kDebugLog);
    return text::kAppTitle;
}
