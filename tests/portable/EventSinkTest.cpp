// The eight sinks, registered with the fake game's sources and reached as the
// game reaches them: through slot 1 of their virtual tables.

#include "GameFacts.h"
#include "events/Events.h"
#include "hud/HUDState.h"
#include "hud/UpdateHUD.h"
#include "settings/Settings.h"
#include "support/FakeGameTest.h"
#include "support/SettingsFileStandIn.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <tuple>
#include <vector>

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr Clock::Nanoseconds kMs = Clock::FromMilliseconds(1);

std::string MenuLine(const std::string& menu, int opening)
{
    return "[info] [ProcessEvent]  --> MenuOpenCloseEvent [" + menu + "] | abOpening [" + std::to_string(opening) + "]";
}

class EventSinks : public FakeGameTest {
protected:
    void SetUp() override { Events::RegisterSinks(); }

    // A fresh record and a fresh account of the game's calls, for the next
    // row of a table; the sinks stay registered.
    void StartOver()
    {
        HUDState = HUDStateRecord{};
        Settings.RestoreInitialValues();
        game.ClearRecords();
        Events::RegisterSinks();
        log.clear();
    }

    // What the game sees of the HUD state: nothing of it changed.
    void ExpectUntouched(Clock::Nanoseconds lastUpdate)
    {
        EXPECT_EQ(HUDState.HUDRequest, kHUDRequestNone);
        EXPECT_EQ(HUDState.LastUpdateTime, lastUpdate);
        EXPECT_THAT(game.hudVisibleCalls, IsEmpty());
    }
};

// ---- Registration

// Before the game has its UI object there is no menu source: the seven other
// sinks are registered, and the log says which one is missing whether
// logging is on or off, before any other line.
TEST_F(EventSinks, ASinkWithoutSourceIsNamedInAnErrorLineAndTheOthersAreRegistered)
{
    for (const bool logging : {true, false}) {
        SCOPED_TRACE(logging);
        StartOver();
        game.registeredSinks.clear();
        Settings.bLogging = logging;
        game.SetGameUIPointer(nullptr);
        log.clear();

        Events::RegisterSinks();

        EXPECT_EQ(game.registeredSinks.size(), 7U);
        EXPECT_THAT(log.lines(), ElementsAre("[error] the sink of MenuOpenCloseEvent was not registered: the game gave "
                                             "no source of these events; the HUD will not answer them"));
        game.SetGameUIPointer(game.ui.get());
    }
}

// ---- Menus

// Any non-zero opening byte opens, and the log shows it as 1.
TEST_F(EventSinks, AnOpeningMenuRequestsTheHUDAndShowsItAtOnce)
{
    for (const std::uint8_t opening : std::initializer_list<std::uint8_t>{1, 2, 0xFF}) {
        SCOPED_TRACE(static_cast<int>(opening));
        StartOver();
        game.ui.SetMenus({"HUDMenu"});
        game.ui.SetHUDShown(false);

        EXPECT_EQ(game.RaiseMenuEventWithOpeningByte("InventoryMenu", opening), 1);
        EXPECT_EQ(HUDState.LastUpdateTime, game.Now() - 50 * kMs);
        EXPECT_EQ(HUDState.HUDRequest, kHUDRequestEnable);
        EXPECT_THAT(game.hudVisibleCalls, ElementsAre(true));
        EXPECT_THAT(log.lines(), ElementsAre(MenuLine("InventoryMenu", 1),
                                             "[info] [EnableMenusIfCan] result = [FORCEENABLE] | MenuStack "
                                             "(mandatory menu open: InventoryMenu) ",
                                             "[info] [EnableMenusIfCan] result = [ENABLE]"));
    }
}

TEST_F(EventSinks, ClosingAListedMenuHidesAtOnceOnlyWithoutKeepShownTimeAndLongMessage)
{
    enum class Then { HidesAtOnce, RequestsTheHUD, ChangesNothing };
    struct Case {
        const char* menu;
        std::int32_t keepShownMS;
        Clock::Nanoseconds sinceLongMessage;
        Then then;
    };
    const Clock::Nanoseconds longTime = Clock::FromMilliseconds(7500);
    const Clock::Nanoseconds anHour = 3'600'000 * kMs;
    std::vector<Case> cases{
        {"InventoryMenu", 2000, anHour, Then::RequestsTheHUD},
        {"InventoryMenu", 1, anHour, Then::RequestsTheHUD},
        {"InventoryMenu", 0, longTime - kMs, Then::RequestsTheHUD},
        {"InventoryMenu", 0, longTime - 1, Then::RequestsTheHUD},  // 7499 whole milliseconds
        {"ContainerMenu", 0, longTime, Then::ChangesNothing},
    };
    for (const char* listed : {"DataMenu", "PauseMenu", "GalaxyStarMapMenu", "InventoryMenu", "BSMissionMenu",
                               "PowersMenu", "SkillsMenu", "PhotoModeMenu", "ShipCrewMenu", "MessageBoxMenu"}) {
        cases.push_back({listed, 0, longTime, Then::HidesAtOnce});
    }
    for (const Case& row : cases) {
        SCOPED_TRACE(::testing::Message() << row.menu << " " << row.keepShownMS << " " << row.sinceLongMessage);
        StartOver();
        HUDState.LongHUDMessageTime = game.Now() - row.sinceLongMessage;
        Settings.PublishWith(&SettingsRecord::iKeepHUDShownMS, row.keepShownMS);
        game.ui.SetMenus({"HUDMenu", row.menu});
        game.ui.SetHUDShown(true);

        game.RaiseMenuEvent(row.menu, false);
        switch (row.then) {
            case Then::HidesAtOnce:
                EXPECT_EQ(HUDState.HUDRequest, kHUDRequestDisableQueued);
                EXPECT_EQ(HUDState.LastUpdateTime, game.Now() - 50 * kMs);
                EXPECT_THAT(game.hudVisibleCalls, ElementsAre(false));
                EXPECT_THAT(log.lines(),
                            ElementsAre(MenuLine(row.menu, 0), "[info] [EnableMenusIfCan] result = [DISABLE]"));
                break;
            case Then::RequestsTheHUD:
                EXPECT_EQ(HUDState.HUDRequest, kHUDRequestEnable);
                EXPECT_EQ(HUDState.LastUpdateTime, 0);
                EXPECT_THAT(game.hudVisibleCalls, IsEmpty());
                EXPECT_THAT(log.lines(), ElementsAre(MenuLine(row.menu, 0)));
                break;
            case Then::ChangesNothing:
                ExpectUntouched(0);
                break;
        }
    }
}

// Back from the scanner with a weapon drawn (weapon state in the low three
// bits), the HUD is shown at once, forced past any open game menu, and the
// decision's passes are held off for 515 ms.
TEST_F(EventSinks, TheScannerClosedAfterOpeningWithAWeaponDrawnShowsTheHUDAndHoldsPassesOff)
{
    for (const std::uint32_t weaponState : {0xF9U, 0xFCU}) {
        const bool drawn = weaponState == 0xF9U;
        SCOPED_TRACE(weaponState);
        StartOver();
        game.player.SetWeaponState(weaponState);
        game.RaiseMenuEvent("MonocleMenu", true);
        EXPECT_EQ(HUDState.WeaponDrawnOnMonocleOpen, drawn);

        const Clock::Nanoseconds openedLastUpdate = HUDState.LastUpdateTime;
        HUDState.HUDRequest = kHUDRequestNone;
        game.ui.SetMenus({"HUDMenu", "InventoryMenu", "MonocleMenu"});
        game.ui.SetHUDShown(false);
        game.hudVisibleCalls.clear();
        log.clear();
        game.RaiseMenuEvent("MonocleMenu", false);
        EXPECT_FALSE(HUDState.WeaponDrawnOnMonocleOpen);
        if (!drawn) {
            ExpectUntouched(openedLastUpdate);
            EXPECT_THAT(log.lines(), ElementsAre(MenuLine("MonocleMenu", 0)));
            continue;
        }
        const Clock::Nanoseconds closed = game.Now();
        EXPECT_EQ(HUDState.LastUpdateTime, closed + 500 * kMs);
        EXPECT_EQ(HUDState.HUDRequest, kHUDRequestEnable);
        EXPECT_THAT(game.hudVisibleCalls, ElementsAre(true));
        EXPECT_THAT(LinesOf("EnableMenusIfCan"), ElementsAre("[info] [EnableMenusIfCan] result = [ENABLE]"));

        log.clear();
        game.SetNow(closed + 515 * kMs - 1);
        UpdateHUD();
        game.SetNow(closed + 515 * kMs);
        UpdateHUD();
        EXPECT_THAT(LinesOf("UpdateHUD"), ElementsAre("[info] [UpdateHUD] result = [exit] | RecentLastUpdate",
                                                      "[info] [UpdateHUD] result = [RequestEnable]"));
    }
}

// The end credits restart the grace period, opening and closing alike; only
// their closing looks the game objects up again.
TEST_F(EventSinks, TheEndCreditsRestartTheGracePeriodWithoutRequestingTheHUD)
{
    for (const std::uint8_t opening : std::initializer_list<std::uint8_t>{1, 2, 0xFF, 0}) {
        SCOPED_TRACE(static_cast<int>(opening));
        StartOver();
        game.AdvanceMs(1);

        game.RaiseMenuEventWithOpeningByte("EndGameCreditsMenu", opening);
        EXPECT_EQ(HUDState.UnityGraceStartTime, game.Now());
        ExpectUntouched(0);
        EXPECT_EQ(game.formLookups, opening != 0 ? std::vector<std::uint32_t>{} : kFormsLookedUp);
        EXPECT_THAT(log.lines(), ElementsAre(MenuLine("EndGameCreditsMenu", opening != 0 ? 1 : 0)));
    }
}

TEST_F(EventSinks, TheCursorMenuAndANullEventChangeNothingSilently)
{
    game.RaiseMenuEvent("CursorMenu", true);
    game.RaiseMenuEvent("CursorMenu", false);

    // The game calls slot 1 with the sink, the event's address and the source.
    void* sink = &Events::menuOpenCloseSink;
    const auto* table = *static_cast<void* const* const*>(sink);
    using ProcessEvent = RE::BSEventNotifyControl (*)(void*, const void*, const void*);
    EXPECT_EQ(reinterpret_cast<ProcessEvent>(table[1])(sink, nullptr, game.MenuOpenCloseSource()),
              RE::BSEventNotifyControl::kContinue);

    ExpectUntouched(0);
    EXPECT_THAT(log.lines(), IsEmpty());
}

// ---- Save/load

// Settings are re-read on every load; the game objects and the toggle key
// start over only when the load comes from the pause or the main menu.
TEST_F(EventSinks, ASaveLoadedRereadsTheSettingsAndFromThePauseOrMainMenuResetsTheToggleKey)
{
    struct Case {
        const char* openMenu;
        bool startsOver;
        std::vector<std::string> asked;
    };
    const Case cases[] = {
        {"PauseMenu", true, {"PauseMenu"}},
        {"MainMenu", true, {"PauseMenu", "MainMenu"}},
        {"InventoryMenu", false, {"PauseMenu", "MainMenu"}},
    };
    const SettingsFileStandIn settingsFile({{"bLogging", "1"}, {"iKeepHUDShownMS", "1234"}});
    for (const Case& row : cases) {
        SCOPED_TRACE(row.openMenu);
        StartOver();
        game.ui.SetMenus({"HUDMenu", row.openMenu});
        HUDState.HUDRequest = kHUDRequestEnable;
        HUDState.SubtitlesPlaying = HUDState.WeaponDrawnOnMonocleOpen = true;
        HUDState.HUDToggleOverride = HUDState.bShowHUD = HUDState.ToggleLongPressDone = true;
        HUDState.ToggleKeyHoldTime = 150;
        HUDState.LastTogglePressTime = 5;

        EXPECT_EQ(game.RaiseEvent(game_facts::kSaveLoadSourceID), 1);
        EXPECT_THAT(log.lines(), Contains("[info] [ProcessEvent]  --> SaveLoadEvent"));
        EXPECT_EQ(Settings->iKeepHUDShownMS, 1234);
        EXPECT_FALSE(HUDState.SubtitlesPlaying);
        EXPECT_EQ(HUDState.HUDRequest, kHUDRequestNone);
        EXPECT_FALSE(HUDState.WeaponDrawnOnMonocleOpen);
        EXPECT_EQ(game.MenusAskedAbout(), row.asked);

        EXPECT_EQ(game.formLookups, row.startsOver ? kFormsLookedUp : std::vector<std::uint32_t>{});
        const auto toggleKey = std::tuple(HUDState.HUDToggleOverride, HUDState.bShowHUD, HUDState.ToggleLongPressDone,
                                          HUDState.ToggleKeyHoldTime, HUDState.LastTogglePressTime);
        EXPECT_EQ(toggleKey, row.startsOver ? std::tuple(false, false, false, 0, game.Now())
                                            : std::tuple(true, true, true, 150, Clock::Nanoseconds{5}));
    }
}

// ---- Subtitles

// A shown subtitle counts whatever the settings; once hidden it still counts
// while the sink decides, then it is gone.
TEST_F(EventSinks, AHiddenSubtitleDecidesWhileItStillCountsThenDrops)
{
    for (const bool showInSubtitles : {true, false}) {
        SCOPED_TRACE(showInSubtitles);
        StartOver();
        Settings.PublishWith(&SettingsRecord::bShowInSubtitles, showInSubtitles);
        EXPECT_EQ(game.RaiseEvent(game_facts::kSubtitleShownSourceID), 1);
        EXPECT_TRUE(HUDState.SubtitlesPlaying) << "shown whatever the settings";
        HUDState.HUDRequest = kHUDRequestEnable;  // a pending enable the sink drops before it decides
        log.clear();

        EXPECT_EQ(game.RaiseEvent(game_facts::kSubtitleHiddenSourceID), 1);
        EXPECT_FALSE(HUDState.SubtitlesPlaying);
        EXPECT_EQ(HUDState.HUDRequest, kHUDRequestEnable);
        if (showInSubtitles) {
            EXPECT_THAT(LinesOf("UpdateHUD"), ElementsAre("[info] [UpdateHUD] result = [show] | SubtitlesPlaying"));
            EXPECT_EQ(HUDState.LastUpdateTime, game.Now());
        } else {
            EXPECT_THAT(LinesOf("UpdateHUD"), IsEmpty());
        }
    }
}

// ---- Long HUD messages

TEST_F(EventSinks, ALongMessageRequestsTheHUDWhileItsSettingIsOnAndALevelUpAlways)
{
    struct Case {
        std::uint64_t source;
        SettingsField<bool> setting;  // null: no setting
        const char* text;
    };
    const Case cases[] = {
        {game_facts::kLocationTextSourceID, &SettingsRecord::bShowLocationDiscovered, "LocationTextEvent"},
        {game_facts::kTraitDiscoveryTextSourceID, &SettingsRecord::bShowPlanetTraitDiscovered,
         "TraitDiscoveryTextEvent"},
        {game_facts::kMissionActiveWidgetSourceID, &SettingsRecord::bShowMissionActive,
         "HUDNotification_MissionActiveWidgetUpdate"},
        {game_facts::kLevelUpWidgetSourceID, nullptr, "LevelUp_OnWidgetShown"},
    };
    for (const Case& row : cases) {
        for (const bool on : {true, false}) {
            SCOPED_TRACE(std::string(row.text) + (on ? " on" : " off"));
            StartOver();
            // Only the sink's own setting counts: the others say the opposite.
            SettingsRecord others = *Settings;
            others.bShowLocationDiscovered = others.bShowPlanetTraitDiscovered = others.bShowMissionActive = !on;
            Settings.Publish(others);
            if (row.setting != nullptr) {
                Settings.PublishWith(row.setting, on);
            }

            EXPECT_EQ(game.RaiseEvent(row.source), 1);
            const bool requests = on || row.setting == nullptr;
            EXPECT_EQ(HUDState.HUDRequest, requests ? kHUDRequestEnable : kHUDRequestNone);
            EXPECT_EQ(HUDState.LongHUDMessageTime, requests ? game.Now() : 0);
            EXPECT_THAT(log.lines(), ElementsAre("[info] [ProcessEvent]  --> " + std::string(row.text)));
        }
    }
}

// ---- Game strings

TEST(GameStrings, FollowLinkedEntriesAndReadNullsAsEmpty)
{
    // A string-pool entry: a link at 0x08, flags at 0x14 (0x2: refers on),
    // characters from 0x18.
    struct Entry {
        alignas(8) std::array<char, 0x30> bytes{};
        void LinkTo(const void* next)
        {
            bytes[0x14] = 0x2 | 0x1;
            std::memcpy(bytes.data() + 0x08, &next, sizeof(next));
        }
    };
    Entry text;
    text.bytes[0x14] = 0x1;  // other flag bits do not matter
    std::memcpy(text.bytes.data() + 0x18, "EndGameCreditsMenu", 19);
    Entry link;
    link.LinkTo(text.bytes.data());
    Entry linkToNothing;
    linkToNothing.LinkTo(nullptr);

    EXPECT_EQ(RE::GameStringText(RE::GameString{text.bytes.data()}), "EndGameCreditsMenu");
    EXPECT_EQ(RE::GameStringText(RE::GameString{link.bytes.data()}), "EndGameCreditsMenu");
    EXPECT_EQ(RE::GameStringText(RE::GameString{linkToNothing.bytes.data()}), "");
    EXPECT_EQ(RE::GameStringText(RE::GameString{}), "");
}

}  // namespace
