#include "events/Events.h"
#include "hud/HUDState.h"
#include "settings/Settings.h"
#include "settings/SettingsFileWatch.h"
#include "support/EditedSettingsFile.h"
#include "support/FakeGameTest.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Values = EditedSettingsFile::Values;

constexpr const char* kChangedLine = "[info] [CheckSettingsFile] settings file changed, reloading";
// A check runs at most once a second, on a pass; passes come every 15 ms.
constexpr int kOneSecondAndAPass = 1015;

class SettingsFileWatchTest : public FakeGameTest {
protected:
    void SetUp() override { Events::RegisterSinks(); }

    void LoadSave() { game.RaiseEvent(game_facts::kSaveLoadSourceID); }

    // Frames for `milliseconds` of game time, each a full pass.
    void Play(int milliseconds)
    {
        for (int played = 0; played < milliseconds; played += 15) {
            Pass();
        }
    }

    // Loaded, and a check just made: the worst moment to save, a whole second
    // before the next look.
    void LoadAndLetACheckPass()
    {
        LoadSave();
        Pass();
        log.clear();
    }

    [[nodiscard]] std::ptrdiff_t ChangedLines() const
    {
        return static_cast<std::ptrdiff_t>(std::ranges::count(log.lines(), std::string(kChangedLine)));
    }
};

// An editor's ways of saving, as the file system shows them: each is read
// within a second, once.
TEST_F(SettingsFileWatchTest, EachWayOfSavingAppliesWithinASecondAndOnlyOnce)
{
    struct Case {
        const char* way;
        std::function<void(EditedSettingsFile&)> save;
    };
    const Values edited{{"bLogging", "1"}, {"iKeepHUDShownMS", "500"}};
    const Case cases[] = {
        {"in place, to the same length", [&](EditedSettingsFile& file) { file.Save(edited); }},
        {"in place, to another length",
         [&](EditedSettingsFile& file) {
             file.Save({{"bLogging", "1"}, {"iKeepHUDShownMS", "500"}, {"bShowIfJumping", "0"}});
         }},
        {"truncated, then written",
         [&](EditedSettingsFile& file) {
             file.Empty();
             file.Save(edited);
         }},
        {"a new file renamed over the old", [&](EditedSettingsFile& file) { file.SaveAsNewFile(edited); }},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.way);
        EditedSettingsFile file({{"bLogging", "1"}, {"iKeepHUDShownMS", "300"}});
        LoadAndLetACheckPass();

        row.save(file);
        Play(kOneSecondAndAPass);
        EXPECT_EQ(Settings->iKeepHUDShownMS, 500);
        EXPECT_EQ(ChangedLines(), 1);
        Play(5000);
        EXPECT_EQ(ChangedLines(), 1) << "read again with nothing saved";
        EXPECT_EQ(file.Readings(), 2) << "the save load's reading and the check's";
    }
}

// A look landing between the two steps of a save finds the file empty: the
// settings stay, and the next look reads the file written meanwhile. A file
// still empty, with the same stamp, a second later is what the player meant.
TEST_F(SettingsFileWatchTest, AFileFoundEmptyIsReadOnlyIfTheNextLookFindsItSo)
{
    struct Case {
        const char* way;
        bool writtenAfterTheLook;
        int keepShownAfterTwoLooks;
    };
    const Case cases[] = {
        {"emptied, then written after a look", true, 500},
        {"emptied and left so", false, 2000},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.way);
        EditedSettingsFile file({{"bLogging", "1"}, {"iKeepHUDShownMS", "300"}});
        LoadAndLetACheckPass();

        file.Empty();
        Play(kOneSecondAndAPass);
        EXPECT_EQ(Settings->iKeepHUDShownMS, 300);
        EXPECT_EQ(ChangedLines(), 0);
        EXPECT_EQ(file.Readings(), 1) << "only the save load's reading";

        if (row.writtenAfterTheLook) {
            file.Save({{"bLogging", "1"}, {"iKeepHUDShownMS", "500"}});
        }
        Play(1000);
        EXPECT_EQ(Settings->iKeepHUDShownMS, row.keepShownAfterTwoLooks);
        Play(5000);
        EXPECT_EQ(ChangedLines(), 1);
        EXPECT_EQ(file.Readings(), 2) << "the save load's reading and one more";
    }
}

// The log shows the line, then the reload's own lines, with bLogging followed
// as a save load follows it.
TEST_F(SettingsFileWatchTest, LogsTheChangeThenTheReloadAndFollowsTheLoggingSwitch)
{
    struct Case {
        const char* before;
        const char* after;
        std::vector<std::string> firstLines;
        std::size_t lineCount;
    };
    constexpr std::size_t kKeyLines = 28;  // one for each key of the file
    const std::vector<std::string> reloadLogged{kChangedLine, "[info] [ReloadINI] bLogging -> 1",
                                                "[info] [ReloadINI] bShowInCombat   --->   1"};
    const Case cases[] = {
        {"1", "1", reloadLogged, 1 + kKeyLines},
        {"1", "0", {kChangedLine, "[info] [ReloadINI] bLogging -> 0"}, 1 + kKeyLines + 1},
        {"0", "1", {"[info] [ReloadINI] logging was requested to be turned on"}, 1},
        {"0", "0", {}, 0},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(std::string(row.before) + " to " + row.after);
        EditedSettingsFile file({{"bLogging", row.before}, {"bReloadSettingsOnChange", "1"}});
        LoadAndLetACheckPass();
        file.Save({{"bLogging", row.after}, {"iKeepHUDShownMS", "0"}});
        Play(kOneSecondAndAPass);

        // In the order written, without the decision's own lines.
        std::vector<std::string> lines;
        for (const auto& line : log.lines()) {
            if (line.find("] [CheckSettingsFile] ") != std::string::npos ||
                line.find("] [ReloadINI] ") != std::string::npos) {
                lines.push_back(line);
            }
        }
        ASSERT_EQ(lines.size(), row.lineCount);
        lines.resize(row.firstLines.size());
        EXPECT_EQ(lines, row.firstLines);
        EXPECT_EQ(Settings->iKeepHUDShownMS, 0);
        EXPECT_EQ(Settings.bLogging, std::string(row.after) == "1");
    }
}

// The pass that reads the changed file decides by what it read, not by the
// settings it found on its way in.
TEST_F(SettingsFileWatchTest, ThePassThatReadsTheChangedFileDecidesByIt)
{
    EditedSettingsFile file({{"bLogging", "1"}, {"iKeepHUDShownMS", "10000"}, {"bShowIfJumping", "0"}});
    game.jumping = true;
    LoadAndLetACheckPass();
    Play(3000);
    log.clear();

    file.Save({{"bLogging", "1"}, {"iKeepHUDShownMS", "10000"}, {"bShowIfJumping", "1"}});
    Play(kOneSecondAndAPass);

    const auto& lines = log.lines();
    const auto changed = std::ranges::find(lines, std::string(kChangedLine));
    ASSERT_NE(changed, lines.end());
    const auto decision = std::find_if(
        changed, lines.end(), [](const std::string& line) { return line.find("] [UpdateHUD] ") != std::string::npos; });
    ASSERT_NE(decision, lines.end());
    EXPECT_EQ(*decision, "[info] [UpdateHUD] result = [show] | IsJumping");
}

TEST_F(SettingsFileWatchTest, SwitchedOffItNeverLooksAtTheFileAgain)
{
    EditedSettingsFile file({{"bReloadSettingsOnChange", "0"}, {"bLogging", "1"}});
    LoadSave();
    const int looksOfTheLoad = file.Looks();
    file.Save({{"bReloadSettingsOnChange", "0"}, {"bLogging", "1"}, {"iKeepHUDShownMS", "500"}});
    Play(5000);

    EXPECT_EQ(file.Looks(), looksOfTheLoad);
    EXPECT_EQ(file.Readings(), 1);
    EXPECT_EQ(Settings->iKeepHUDShownMS, 2000);
    EXPECT_EQ(ChangedLines(), 0);
}

TEST_F(SettingsFileWatchTest, UntilASaveIsLoadedTheFileIsNotRead)
{
    EditedSettingsFile file({{"bLogging", "0"}, {"bReloadSettingsOnChange", "1"}});
    Play(1000);
    file.Save({{"bLogging", "0"}, {"iKeepHUDShownMS", "500"}});
    Play(3000);

    EXPECT_EQ(file.Readings(), 0);
    EXPECT_TRUE(Settings.bLogging) << "the initial value stays until the first save load";
    EXPECT_EQ(Settings->iKeepHUDShownMS, 2000);
}

// Deleted, or held by an editor that shares it with no one: the settings in
// force stay, and the file is looked at again each second until it is back.
TEST_F(SettingsFileWatchTest, AFileMissingOrHeldKeepsTheSettingsUntilItIsBack)
{
    struct Case {
        const char* what;
        std::function<void(EditedSettingsFile&)> takeAway;
        std::function<void(EditedSettingsFile&)> bringBack;
    };
    const Values edited{{"bLogging", "1"}, {"iKeepHUDShownMS", "700"}};
    const Case cases[] = {
        {"deleted, then saved", [](EditedSettingsFile& file) { file.Remove(); },
         [&](EditedSettingsFile& file) { file.Save(edited); }},
        {"held while it is saved",
         [&](EditedSettingsFile& file) {
             file.SetHeldByEditor(true);
             file.Save(edited);
         },
         [](EditedSettingsFile& file) { file.SetHeldByEditor(false); }},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.what);
        EditedSettingsFile file({{"bLogging", "1"}, {"iKeepHUDShownMS", "300"}});
        LoadAndLetACheckPass();

        row.takeAway(file);
        const int looks = file.Looks();
        Play(3000);
        EXPECT_EQ(Settings->iKeepHUDShownMS, 300);
        EXPECT_EQ(ChangedLines(), 0);
        EXPECT_GE(file.Looks(), looks + 2) << "looked at again each second";

        row.bringBack(file);
        Play(kOneSecondAndAPass);
        EXPECT_EQ(Settings->iKeepHUDShownMS, 700);
        EXPECT_EQ(ChangedLines(), 1);
    }
}

// A save landing while the file is read: what was read is dropped, and the
// file is read again; the settings never mix the two saves.
TEST_F(SettingsFileWatchTest, AFileSavedWhileItIsReadIsReadAgainWhole)
{
    EditedSettingsFile file({{"bLogging", "1"}, {"bShowInCombat", "1"}, {"iKeepHUDShownMS", "300"}});
    LoadAndLetACheckPass();
    file.Save({{"bLogging", "1"}, {"bShowInCombat", "0"}, {"iKeepHUDShownMS", "500"}});
    // bShowInCombat is read before iKeepHUDShownMS.
    file.WhenReading("iKeepHUDShownMS", [](EditedSettingsFile& saving) {
        saving.Save({{"bLogging", "1"}, {"bShowInCombat", "1"}, {"iKeepHUDShownMS", "700"}});
    });
    Play(kOneSecondAndAPass);

    EXPECT_EQ(std::tuple(static_cast<bool>(Settings->bShowInCombat), static_cast<int>(Settings->iKeepHUDShownMS)),
              std::tuple(true, 700));
    EXPECT_EQ(file.Readings(), 1 + 2);
    EXPECT_EQ(ChangedLines(), 1);
    EXPECT_THAT(LinesOf("ReloadINI"), ::testing::Contains("[info] [ReloadINI] iKeepHUDShownMS -> 700"));
    EXPECT_THAT(LinesOf("ReloadINI"), ::testing::Not(::testing::Contains("[info] [ReloadINI] iKeepHUDShownMS -> 500")));
}

// An editor that keeps writing: a check reads a few times, gives up without
// changing anything, and the next check reads the file once it is still.
TEST_F(SettingsFileWatchTest, AFileThatKeepsChangingIsLeftToTheNextLook)
{
    EditedSettingsFile file({{"bLogging", "1"}, {"iKeepHUDShownMS", "300"}});
    LoadAndLetACheckPass();
    int saves = 0;
    std::function<void(EditedSettingsFile&)> saveAgain = [&](EditedSettingsFile& saving) {
        ++saves;
        saving.Save({{"bLogging", "1"}, {"iKeepHUDShownMS", std::to_string(1000 + saves)}});
        saving.WhenReading("iKeepHUDShownMS", saveAgain);
    };
    file.Save({{"bLogging", "1"}, {"iKeepHUDShownMS", "1000"}});
    file.WhenReading("iKeepHUDShownMS", saveAgain);
    Play(kOneSecondAndAPass);
    EXPECT_EQ(Settings->iKeepHUDShownMS, 300);
    EXPECT_EQ(ChangedLines(), 0);
    const int readings = file.Readings();
    EXPECT_GE(readings, 1 + 2) << "read again at least once";

    file.WhenReading("iKeepHUDShownMS", nullptr);
    Play(1000);
    EXPECT_EQ(Settings->iKeepHUDShownMS, 1000 + saves);
    EXPECT_EQ(ChangedLines(), 1);
    EXPECT_EQ(file.Readings(), readings + 1);
}

// The save load stamps the file before it reads: an edit it read is not read
// again, and one it may have missed is.
TEST_F(SettingsFileWatchTest, AfterASaveLoadOnlyALaterSaveIsReadAgain)
{
    EditedSettingsFile file({{"bLogging", "1"}, {"iKeepHUDShownMS", "300"}});
    LoadAndLetACheckPass();
    file.Save({{"bLogging", "1"}, {"iKeepHUDShownMS", "400"}});
    LoadSave();
    Play(3000);
    EXPECT_EQ(Settings->iKeepHUDShownMS, 400);
    EXPECT_EQ(ChangedLines(), 0);

    file.WhenReading("iKeepHUDShownMS", [](EditedSettingsFile& saving) {
        saving.Save({{"bLogging", "1"}, {"iKeepHUDShownMS", "500"}});
    });
    LoadSave();
    Play(kOneSecondAndAPass);
    EXPECT_EQ(Settings->iKeepHUDShownMS, 500);
    EXPECT_EQ(ChangedLines(), 1) << "saved during the save load's reading";
}

TEST_F(SettingsFileWatchTest, LooksAtMostOnceASecondAndNeverOnACallTheGateHoldsBack)
{
    EditedSettingsFile file({{"bLogging", "0"}, {"bReloadSettingsOnChange", "1"}});
    LoadAndLetACheckPass();
    const int looks = file.Looks();
    for (int call = 0; call < 1000; ++call) {
        game.AdvanceNs(10'000);  // 10 s of calls, each 10 µs after the last
        UpdateHUD();
    }
    EXPECT_EQ(file.Looks(), looks) << "every call within 15 ms of the last pass";

    game.AdvanceMs(1000);
    Play(10'000);
    EXPECT_THAT(file.Looks() - looks, ::testing::AllOf(::testing::Ge(9), ::testing::Le(11)));
}

// Only the settings are read again: the toggle key's override and press, and
// the game's objects, stay as they are (a save load at the pause menu resets
// them, a saved file does not).
TEST_F(SettingsFileWatchTest, LeavesTheToggleKeyAndTheGameObjectsAsTheyAre)
{
    EditedSettingsFile file({{"bLogging", "0"}, {"bReloadSettingsOnChange", "1"}});
    game.ui.SetMenus({"HUDMenu", "PauseMenu"});
    LoadAndLetACheckPass();
    game.ClearRecords();
    HUDState.HUDToggleOverride = HUDState.bShowHUD = HUDState.ToggleLongPressDone = true;
    HUDState.ToggleKeyHoldTime = 150;
    HUDState.LastTogglePressTime = 5;

    file.Save({{"bLogging", "0"}, {"iKeepHUDShownMS", "500"}});
    Play(kOneSecondAndAPass);
    ASSERT_EQ(Settings->iKeepHUDShownMS, 500);
    // Read by conversion, as a plain field would be read too.
    using Toggle = std::tuple<bool, bool, bool, std::int32_t, Clock::Nanoseconds>;
    EXPECT_EQ(Toggle(HUDState.HUDToggleOverride, HUDState.bShowHUD, HUDState.ToggleLongPressDone,
                     HUDState.ToggleKeyHoldTime, HUDState.LastTogglePressTime),
              Toggle(true, true, true, 150, 5));
    EXPECT_THAT(game.formLookups, IsEmpty());
}

// A save load reading on its thread while a pass checks on the game's: the
// check reads nothing, and the next one reads what the save load may have
// read half of.
TEST_F(SettingsFileWatchTest, ACheckDuringASaveLoadsReadingLeavesTheFileToTheNextLook)
{
    EditedSettingsFile file({{"bLogging", "1"}, {"bShowInCombat", "1"}, {"iKeepHUDShownMS", "300"}});
    LoadAndLetACheckPass();
    int readingsSeenByTheCheck = -1;
    file.WhenReading("iKeepHUDShownMS", [&](EditedSettingsFile& saving) {
        saving.Save({{"bLogging", "1"}, {"bShowInCombat", "0"}, {"iKeepHUDShownMS", "500"}});
        const int before = saving.Readings();
        std::thread([&] { CheckSettingsFile(game.Now() + Clock::FromMilliseconds(1000)); }).join();
        readingsSeenByTheCheck = saving.Readings() - before;
    });
    LoadSave();
    EXPECT_EQ(readingsSeenByTheCheck, 0);
    EXPECT_TRUE(Settings->bShowInCombat) << "the save load read it before the save";

    game.AdvanceMs(1000);
    Play(kOneSecondAndAPass);
    EXPECT_EQ(std::tuple(static_cast<bool>(Settings->bShowInCombat), static_cast<int>(Settings->iKeepHUDShownMS)),
              std::tuple(false, 500));
    EXPECT_EQ(ChangedLines(), 1);
}

}  // namespace
