#include "hud/CachedGameObjects.h"
#include "hud/HUDState.h"
#include "hud/MenuGating.h"
#include "settings/Settings.h"
#include "support/FakeGameTest.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Lines = std::vector<std::string>;
using Stack = std::vector<fake::MenuEntry>;

constexpr Clock::Nanoseconds kGracePeriod = Clock::FromMilliseconds(10'000);

std::string Exiting(const std::string& reason)
{
    return "[info] [UnityInProcess] result = [Exiting] | " + reason;
}

using MenuGating = FakeGameTest;

// ---- UnityInProcess: when the decision must leave the HUD alone

TEST_F(MenuGating, TheHUDIsLeftAloneWhileAMandatoryMenuIsAnywhereOnTheStack)
{
    const auto mandatory = [](const char* name) {
        return Exiting(std::string("MenuStack (mandatory menu open: ") + name + ") ");
    };
    struct Case {
        Stack stack;
        Lines lines;  // none: not left alone
    };
    const Case cases[] = {
        {{"playbinkmenu", "PlayBinkMenu2", "EndGameCredits", "PLAYBINKMENU"}, {}},
        {{"HUDMenu", fake::MenuEntry::Null(), fake::MenuEntry::Nameless(), "", "InventoryMenu", "PlayBinkMenu",
          "CursorMenu"},
         {mandatory("PlayBinkMenu")}},
        {{"EndGameCreditsMenu"}, {mandatory("EndGameCreditsMenu")}},
        {{"HUDMenu", "EndGameCreditsMenu", "PlayBinkMenu"}, {mandatory("EndGameCreditsMenu")}},
    };
    for (const Case& row : cases) {
        game.ui.SetMenus(row.stack);
        log.clear();
        EXPECT_EQ(UnityInProcess(), !row.lines.empty()) << row.stack.size();
        EXPECT_EQ(log.lines(), row.lines);
    }
}

TEST_F(MenuGating, TheHUDIsLeftAloneSilentlyForTenSecondsFromTheGraceStart)
{
    const Clock::Nanoseconds start = game.Now();
    HUDState.UnityGraceStartTime = start;
    EXPECT_TRUE(UnityInProcess());
    EXPECT_TRUE(UnityInProcess(start + kGracePeriod - 1));
    EXPECT_FALSE(UnityInProcess(start + kGracePeriod));
    EXPECT_TRUE(UnityInProcess(start - 1)) << "a start that lies ahead";
    EXPECT_THAT(log.lines(), IsEmpty());
}

// Each missing object is found, and the first one missing is named.
TEST_F(MenuGating, TheHUDIsLeftAloneWhileAGameObjectIsMissing)
{
    const std::vector<std::pair<std::string, std::function<void()>>> objects{
        {"UISingleton", [] { UISingleton = nullptr; }},
        {"PlayerChar", [] { PlayerChar = nullptr; }},
        {"MQ305", [] { MQ305 = nullptr; }},
        {"MQ301", [] { MQ301 = nullptr; }},
        {"HealthAV", [] { HealthAV = nullptr; }},
        {"OxygenAV", [] { OxygenAV = nullptr; }},
        {"BoostPackAV", [] { BoostPackAV = nullptr; }},
        {"autoAimData", [] { autoAimData = nullptr; }}};
    for (std::size_t first = 0; first < objects.size(); ++first) {
        game.SetCachedPointers();
        objects[first].second();
        objects.back().second();  // a later one missing too
        log.clear();
        EXPECT_TRUE(UnityInProcess());
        EXPECT_THAT(log.lines(), ElementsAre(Exiting(objects[first].first + " is nullptr")));
    }
}

// ---- FindOpenGameMenu: menus that keep the HUD shown

TEST_F(MenuGating, AnOpenGameMenuIsTheFirstFromTheBottomThatIsNoPartOfTheHUD)
{
    struct Case {
        Stack stack;
        std::uint8_t paused;  // the game's byte: any value but 0 pauses
        bool handscanner;
        bool ship;
        const char* found;  // null: none
    };
    const Case cases[] = {
        {{"InventoryMenu"}, 1, true, true, "{IsGameMenuPaused}"},
        {{"HUDMenu"}, 0x02, true, true, "{IsGameMenuPaused}"},
        {{fake::MenuEntry::Null(), "HUDMenu", fake::MenuEntry::Nameless(), "", "HUDMessagesMenu", "CursorMenu",
          "InventoryMenu", "PauseMenu"},
         0,
         true,
         true,
         "InventoryMenu"},
        {{"HUDMenu", "HUDMessagesMenu", "CursorMenu", fake::MenuEntry::Null(), ""}, 0, true, true, nullptr},
        {{"HUDMenu", "hudmenu"}, 0, true, true, "hudmenu"},
        {{"MonocleMenu", "HUDMenu"}, 0, true, true, "MonocleMenu"},
        {{"MonocleMenu", "HUDMenu"}, 0, false, true, nullptr},
        {{"SpaceshipHudMenu", "HUDMenu"}, 0, true, true, "SpaceshipHudMenu"},
        {{"SpaceshipHudMenu", "HUDMenu"}, 0, true, false, nullptr},
        {{"SpaceshipHudMenu", "MonocleMenu", "InventoryMenu"}, 0, false, false, "InventoryMenu"},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.found != nullptr ? row.found : "(none)");
        game.ui.SetMenus(row.stack);
        game.gameMenuPaused = row.paused;
        Settings.PublishWith(&SettingsRecord::iMenuOverriderHandscannerMenu, row.handscanner);
        Settings.PublishWith(&SettingsRecord::iMenuOverriderShipHUDMenu, row.ship);
        std::string_view name = "(untouched)";
        EXPECT_EQ(FindOpenGameMenu(name), row.found != nullptr);
        EXPECT_EQ(name, row.found != nullptr ? row.found : "(untouched)");
    }
    game.gameMenuPaused = 0;
    game.ui.SetMenus({"InventoryMenu"});
    UISingleton = nullptr;
    std::string_view name;
    EXPECT_FALSE(FindOpenGameMenu(name)) << "nothing to walk without the UI object";
}

// ---- EnableMenusIfCan: the one place that shows and hides the HUD menus

// The shown flag is read from the UI object the game holds now (a cached
// object of another state is ignored); without force an open game menu
// turns a hide into a show; a hide needs the UI object, a show does not.
TEST_F(MenuGating, TheHUDMenusAreShownAndHiddenOnlyWhenTheirStateDiffers)
{
    const std::string enable = "[info] [EnableMenusIfCan] result = [ENABLE]";
    const std::string disable = "[info] [EnableMenusIfCan] result = [DISABLE]";
    const auto forced = [](const char* menu) {
        return "[info] [EnableMenusIfCan] result = [FORCEENABLE] | MenuStack (mandatory menu open: " +
               std::string(menu) + ") ";
    };
    enum class Game { Shows, Hides, HasNoUI, IsPaused };
    struct Case {
        bool enable;
        bool force;
        Game state;
        const char* menu;  // on the stack above "HUDMenu"
        std::vector<bool> calls;
        Lines lines;
    };
    const Case cases[] = {
        {true, false, Game::Hides, nullptr, {true}, {enable}},
        {true, false, Game::Shows, nullptr, {}, {}},
        {false, false, Game::Shows, nullptr, {false}, {disable}},
        {false, false, Game::Hides, nullptr, {}, {}},
        {false, false, Game::Hides, "InventoryMenu", {true}, {forced("InventoryMenu"), enable}},
        {false, false, Game::Shows, "InventoryMenu", {}, {forced("InventoryMenu")}},
        {false, false, Game::IsPaused, nullptr, {}, {forced("{IsGameMenuPaused}")}},
        {false, true, Game::Shows, "InventoryMenu", {false}, {disable}},
        {true, false, Game::HasNoUI, nullptr, {true}, {enable}},
        {false, true, Game::HasNoUI, nullptr, {}, {}},
    };
    fake::UI cachedUI;
    UISingleton = cachedUI.get();
    for (const Case& row : cases) {
        SCOPED_TRACE(std::to_string(row.enable) + std::to_string(row.force) + " " +
                     std::to_string(static_cast<int>(row.state)));
        game.ui.SetMenus(row.menu != nullptr ? Stack{"HUDMenu", row.menu} : Stack{"HUDMenu"});
        cachedUI.SetMenus(row.menu != nullptr ? Stack{"HUDMenu", row.menu} : Stack{"HUDMenu"});
        game.ui.SetHUDShown(row.state != Game::Hides);
        cachedUI.SetHUDShown(row.state == Game::Hides);
        game.SetGameUIPointer(row.state == Game::HasNoUI ? nullptr : game.ui.get());
        game.gameMenuPaused = row.state == Game::IsPaused;
        game.hudVisibleCalls.clear();
        log.clear();

        EnableMenusIfCan(row.enable, row.force);
        EXPECT_EQ(game.hudVisibleCalls, row.calls);
        EXPECT_EQ(log.lines(), row.lines);
    }
}

}  // namespace
