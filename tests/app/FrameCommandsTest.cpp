// The frame's update rules and titles over its state.

#include <gtest/gtest.h>

#include "app/FrameCommands.h"
#include "app/LoaderFrame.h"
#include "resources/ResourceIds.h"

namespace {

constexpr UINT kAges[] = {ID_FILTER_1DAY,   ID_FILTER_2DAYS,  ID_FILTER_3DAYS, ID_FILTER_1WEEK,
                          ID_FILTER_2WEEKS, ID_FILTER_1MONTH, ID_FILTER_ALL};
constexpr UINT kLevels[] = {ID_LEVEL_FATAL, ID_LEVEL_ERROR, ID_LEVEL_WARNING, ID_LEVEL_INFO};

CommandUpdate UpdateOf(UINT command, const FrameState& state) {
    CommandUpdate update;
    EXPECT_TRUE(FrameCommands::Update(command, state, update)) << command;
    return update;
}

}  // namespace

TEST(FrameCommands, FiltersChosenByCommand) {
    for (int age = 0; age < 7; ++age) EXPECT_EQ(FrameCommands::AgeFilterOf(kAges[age]), age);
    const int levels[] = {2, 3, 4, 7};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(FrameCommands::LevelFilterOf(kLevels[i]), levels[i]);
    EXPECT_EQ(FrameCommands::AgeFilterOf(ID_LEVEL_FATAL), -1);
    EXPECT_EQ(FrameCommands::LevelFilterOf(ID_FILTER_ALL), -1);
}

TEST(FrameCommands, AgeItemsMarkOnlyTheChosenAgeOfTheQuillbridgeLog) {
    const FrameState week{QuillbridgeLog, OneWeek, AllLevels, true, false};
    for (int age = 0; age < 7; ++age) {
        const CommandUpdate update = UpdateOf(kAges[age], week);
        EXPECT_TRUE(update.enabled);
        EXPECT_EQ(update.checked, age == OneWeek) << age;
    }
    const FrameState debug{DebugLog, OneWeek, ErrorAndWorse, true, false};
    for (int age = 0; age < 6; ++age) {
        const CommandUpdate update = UpdateOf(kAges[age], debug);
        EXPECT_FALSE(update.enabled) << age;
        EXPECT_FALSE(update.checked) << age;
    }
    const CommandUpdate all = UpdateOf(ID_FILTER_ALL, debug);
    EXPECT_TRUE(all.enabled);
    EXPECT_TRUE(all.checked);
    // The level items keep their marks whatever log is shown and leave their enabled state
    // alone: the submenu greys as a whole.
    for (int i = 0; i < 4; ++i) {
        const CommandUpdate update = UpdateOf(kLevels[i], debug);
        EXPECT_EQ(update.checked, i == 1);
        EXPECT_FALSE(update.setsEnabled);
    }
}

TEST(FrameCommands, LogKindDetailAndSideBarRules) {
    struct Case {
        UINT command;
        FrameState state;
        bool enabled, checked;
    };
    const Case cases[] = {
        {ID_LOG_QUILLBRIDGE, {QuillbridgeLog, AllAges, AllLevels, true, false}, true, true},
        {ID_LOG_QUILLBRIDGE, {DebugLog, AllAges, AllLevels, true, false}, true, false},
        {ID_LOG_DEBUG, {DebugLog, AllAges, AllLevels, true, false}, true, true},
        {ID_SELECT_QUILLBRIDGE_LOG, {QuillbridgeLog, AllAges, AllLevels, true, false}, true, true},
        {ID_VIEW_DETAIL, {QuillbridgeLog, AllAges, AllLevels, true, false}, true, true},
        {ID_VIEW_DETAIL, {QuillbridgeLog, AllAges, AllLevels, false, false}, true, false},
        {ID_VIEW_DETAIL, {DebugLog, AllAges, AllLevels, true, false}, false, true},
        {ID_VIEW_SIDEBAR, {QuillbridgeLog, AllAges, AllLevels, true, true}, true, true},
        {ID_VIEW_SIDEBAR, {QuillbridgeLog, AllAges, AllLevels, true, false}, true, false},
    };
    for (const Case& c : cases) {
        const CommandUpdate update = UpdateOf(c.command, c.state);
        EXPECT_EQ(update.enabled, c.enabled) << c.command;
        EXPECT_EQ(update.checked, c.checked) << c.command;
    }
    CommandUpdate none;
    for (UINT command : {ID_LOG_EXPORT, ID_LOG_CLEAR, ID_VIEW_REFRESH, ID_APP_ABOUT})
        EXPECT_FALSE(FrameCommands::Update(command, {QuillbridgeLog, AllAges, AllLevels, true, false}, none));
}

TEST(FrameCommands, Titles) {
    EXPECT_EQ(FrameCommands::Title("Loading Quillbridge Log..."),
              "Quillbridge Log Viewer - Loading Quillbridge Log...");
    EXPECT_EQ(FrameCommands::TitleOfLogKind(QuillbridgeLog), "Quillbridge Log Viewer - Quillbridge Log");
    EXPECT_EQ(FrameCommands::TitleOfLogKind(DebugLog), "Quillbridge Log Viewer - Debug Log");
    EXPECT_EQ(FrameCommands::TitleOfLogKind(2), "Quillbridge Log Viewer");
}
