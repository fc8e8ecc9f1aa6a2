#include "GamePointers.h"
#include "HUDState.h"
#include "MenuGating.h"
#include "Settings.h"
#include "support/FakeGameTest.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr Clock::Nanoseconds kGracePeriod = Clock::FromMilliseconds(10'000);

// ---- UnityInProcess: when the decision must leave the HUD alone

using LeaveTheHUDAlone = FakeGameTest;

TEST_F(LeaveTheHUDAlone, NotInTheIdleWorld)
{
    game.ui.SetMenus({});
    EXPECT_FALSE(UnityInProcess()) << "empty menu stack";
    game.ui.SetMenus({"HUDMenu"});
    EXPECT_FALSE(UnityInProcess()) << "only the HUD menu";
    EXPECT_THAT(log.lines(), IsEmpty());
}

TEST_F(LeaveTheHUDAlone, ForTenSecondsFromTheGraceStartWithoutALogLine)
{
    HUDState.UnityGraceStartTime = game.Now();
    EXPECT_TRUE(UnityInProcess());
    game.AdvanceNs(kGracePeriod - 1);
    EXPECT_TRUE(UnityInProcess());
    game.AdvanceNs(1);
    EXPECT_FALSE(UnityInProcess());
    EXPECT_THAT(log.lines(), IsEmpty());
}

TEST_F(LeaveTheHUDAlone, WhileTheGraceStartLiesAhead)
{
    HUDState.UnityGraceStartTime = game.Now() + Clock::FromMilliseconds(60'000);
    EXPECT_TRUE(UnityInProcess());
}

TEST_F(LeaveTheHUDAlone, AtTheGivenTimeWhenAskedWithOne)
{
    HUDState.UnityGraceStartTime = game.Now();
    EXPECT_TRUE(UnityInProcess(game.Now() + kGracePeriod - 1));
    EXPECT_FALSE(UnityInProcess(game.Now() + kGracePeriod));
}

struct CachedPointer {
    const char* name;
    void (*clear)();
};

class LeaveTheHUDAloneWithout : public LeaveTheHUDAlone, public ::testing::WithParamInterface<CachedPointer> {};

TEST_P(LeaveTheHUDAloneWithout, TheCachedObject)
{
    GetParam().clear();
    EXPECT_TRUE(UnityInProcess());
    EXPECT_THAT(log.lines(), ElementsAre("[info] [UnityInProcess] result = [Exiting] | " +
                                         std::string(GetParam().name) + " is nullptr"));
}

INSTANTIATE_TEST_SUITE_P(EachObject, LeaveTheHUDAloneWithout,
                         ::testing::Values(CachedPointer{"UISingleton", [] { UISingleton = nullptr; }},
                                           CachedPointer{"PlayerChar", [] { PlayerChar = nullptr; }},
                                           CachedPointer{"MQ305", [] { MQ305 = nullptr; }},
                                           CachedPointer{"MQ301", [] { MQ301 = nullptr; }},
                                           CachedPointer{"HealthAV", [] { HealthAV = nullptr; }},
                                           CachedPointer{"OxygenAV", [] { OxygenAV = nullptr; }},
                                           CachedPointer{"BoostPackAV", [] { BoostPackAV = nullptr; }},
                                           CachedPointer{"autoAimData", [] { autoAimData = nullptr; }}),
                         [](const auto& instance) { return std::string(instance.param.name); });

TEST_F(LeaveTheHUDAlone, NamesOnlyTheFirstMissingObject)
{
    game.ClearCachedPointers();
    EXPECT_TRUE(UnityInProcess());
    EXPECT_THAT(log.lines(), ElementsAre("[info] [UnityInProcess] result = [Exiting] | UISingleton is nullptr"));

    log.clear();
    UISingleton = game.ui.get();
    PlayerChar = game.player.get();
    EXPECT_TRUE(UnityInProcess());
    EXPECT_THAT(log.lines(), ElementsAre("[info] [UnityInProcess] result = [Exiting] | MQ305 is nullptr"));
}

TEST_F(LeaveTheHUDAlone, WhileAMandatoryMenuIsAnywhereOnTheStack)
{
    game.ui.SetMenus({"HUDMenu", fake::MenuEntry::Null(), fake::MenuEntry::Nameless(), "", "InventoryMenu",
                      "PlayBinkMenu", "CursorMenu"});
    EXPECT_TRUE(UnityInProcess());
    EXPECT_THAT(
        log.lines(),
        ElementsAre("[info] [UnityInProcess] result = [Exiting] | MenuStack (mandatory menu open: PlayBinkMenu) "));

    log.clear();
    game.ui.SetMenus({"EndGameCreditsMenu"});
    EXPECT_TRUE(UnityInProcess());
    EXPECT_THAT(log.lines(), ElementsAre("[info] [UnityInProcess] result = [Exiting] | MenuStack (mandatory menu "
                                         "open: EndGameCreditsMenu) "));
}

TEST_F(LeaveTheHUDAlone, NamesTheMandatoryMenuNearestTheBottom)
{
    game.ui.SetMenus({"HUDMenu", "EndGameCreditsMenu", "PlayBinkMenu"});
    EXPECT_TRUE(UnityInProcess());
    EXPECT_THAT(log.lines(), ElementsAre("[info] [UnityInProcess] result = [Exiting] | MenuStack (mandatory menu "
                                         "open: EndGameCreditsMenu) "));
}

TEST_F(LeaveTheHUDAlone, OnlyForTheExactMandatoryNames)
{
    game.ui.SetMenus({"playbinkmenu", "PlayBinkMenu2", "EndGameCredits", "PLAYBINKMENU"});
    EXPECT_FALSE(UnityInProcess());
    EXPECT_THAT(log.lines(), IsEmpty());
}

TEST_F(LeaveTheHUDAlone, SilentlyWhileLoggingIsOff)
{
    Settings.bLogging = false;
    game.ui.SetMenus({"PlayBinkMenu"});
    EXPECT_TRUE(UnityInProcess());
    MQ301 = nullptr;
    EXPECT_TRUE(UnityInProcess());
    EXPECT_THAT(log.lines(), IsEmpty());
}

// ---- FindOpenGameMenu: menus that keep the HUD shown

class OpenGameMenu : public FakeGameTest {
protected:
    // The name found, or "(none)".
    std::string Found()
    {
        std::string_view name = "(untouched)";
        return FindOpenGameMenu(name) ? std::string(name) : "(none)";
    }
};

TEST_F(OpenGameMenu, IsTheGamesPauseFirstOfAll)
{
    game.gameMenuPaused = true;
    game.ui.SetMenus({"InventoryMenu"});
    EXPECT_EQ(Found(), "{IsGameMenuPaused}");
}

TEST_F(OpenGameMenu, IsTheFirstMenuFromTheBottomThatIsNoPartOfTheHUD)
{
    game.ui.SetMenus({fake::MenuEntry::Null(), "HUDMenu", fake::MenuEntry::Nameless(), "", "HUDMessagesMenu",
                      "CursorMenu", "InventoryMenu", "PauseMenu"});
    EXPECT_EQ(Found(), "InventoryMenu");
}

TEST_F(OpenGameMenu, IsNoneWhileOnlyTheHUDsOwnMenusAreOpen)
{
    game.ui.SetMenus(
        {"HUDMenu", "HUDMessagesMenu", "CursorMenu", fake::MenuEntry::Null(), fake::MenuEntry::Nameless(), ""});
    EXPECT_EQ(Found(), "(none)");
    game.ui.SetMenus({});
    EXPECT_EQ(Found(), "(none)");
}

TEST_F(OpenGameMenu, ComparesNamesCaseSensitively)
{
    game.ui.SetMenus({"HUDMenu", "hudmenu"});
    EXPECT_EQ(Found(), "hudmenu");
}

TEST_F(OpenGameMenu, CountsTheScannerAndShipMenusOnlyWhileTheirOverriderShows)
{
    game.ui.SetMenus({"MonocleMenu", "HUDMenu"});
    EXPECT_EQ(Found(), "MonocleMenu");
    Settings.iMenuOverriderHandscannerMenu = false;
    EXPECT_EQ(Found(), "(none)");

    game.ui.SetMenus({"SpaceshipHudMenu", "HUDMenu"});
    EXPECT_EQ(Found(), "SpaceshipHudMenu");
    Settings.iMenuOverriderShipHUDMenu = false;
    EXPECT_EQ(Found(), "(none)");

    game.ui.SetMenus({"SpaceshipHudMenu", "MonocleMenu", "InventoryMenu"});
    EXPECT_EQ(Found(), "InventoryMenu");
}

TEST_F(OpenGameMenu, IsNoneWithoutTheUIObject)
{
    game.ui.SetMenus({"InventoryMenu"});
    UISingleton = nullptr;
    EXPECT_EQ(Found(), "(none)");
}

// ---- EnableMenusIfCan: the one place that shows and hides the HUD menus

class ShowAndHide : public FakeGameTest {
protected:
    std::vector<std::string> Lines() const { return LinesOf("EnableMenusIfCan"); }
};

TEST_F(ShowAndHide, ShowsHiddenMenus)
{
    game.ui.SetHUDShown(false);
    EnableMenusIfCan(true, false);
    EXPECT_THAT(game.hudVisibleCalls, ElementsAre(true));
    EXPECT_TRUE(game.ui.HUDShown());
    EXPECT_THAT(Lines(), ElementsAre("[info] [EnableMenusIfCan] result = [ENABLE]"));
}

TEST_F(ShowAndHide, LeavesShownMenusAloneSilently)
{
    EnableMenusIfCan(true, false);
    EnableMenusIfCan(true, true);
    EXPECT_THAT(game.hudVisibleCalls, IsEmpty());
    EXPECT_THAT(log.lines(), IsEmpty());
}

TEST_F(ShowAndHide, HidesShownMenusWhenNoGameMenuIsOpen)
{
    EnableMenusIfCan(false, false);
    EXPECT_THAT(game.hudVisibleCalls, ElementsAre(false));
    EXPECT_FALSE(game.ui.HUDShown());
    EXPECT_THAT(Lines(), ElementsAre("[info] [EnableMenusIfCan] result = [DISABLE]"));
}

TEST_F(ShowAndHide, LeavesHiddenMenusAloneSilently)
{
    game.ui.SetHUDShown(false);
    EnableMenusIfCan(false, false);
    EnableMenusIfCan(false, true);
    EXPECT_THAT(game.hudVisibleCalls, IsEmpty());
    EXPECT_THAT(log.lines(), IsEmpty());
}

TEST_F(ShowAndHide, TurnsAHideIntoAShowWhileAGameMenuIsOpen)
{
    game.ui.SetMenus({"HUDMenu", "InventoryMenu"});
    game.ui.SetHUDShown(false);
    EnableMenusIfCan(false, false);
    EXPECT_THAT(game.hudVisibleCalls, ElementsAre(true));
    EXPECT_THAT(Lines(), ElementsAre("[info] [EnableMenusIfCan] result = [FORCEENABLE] | MenuStack (mandatory menu "
                                     "open: InventoryMenu) ",
                                     "[info] [EnableMenusIfCan] result = [ENABLE]"));

    log.clear();
    game.ClearRecords();
    EnableMenusIfCan(false, false);
    EXPECT_THAT(game.hudVisibleCalls, IsEmpty()) << "already shown";
    EXPECT_THAT(Lines(), ElementsAre("[info] [EnableMenusIfCan] result = [FORCEENABLE] | MenuStack (mandatory menu "
                                     "open: InventoryMenu) "));
}

TEST_F(ShowAndHide, TurnsAHideIntoAShowWhileTheGameIsPausedByAMenu)
{
    game.gameMenuPaused = true;
    EnableMenusIfCan(false, false);
    EXPECT_THAT(game.hudVisibleCalls, IsEmpty());
    EXPECT_TRUE(game.ui.HUDShown());
    EXPECT_THAT(Lines(), ElementsAre("[info] [EnableMenusIfCan] result = [FORCEENABLE] | MenuStack (mandatory menu "
                                     "open: {IsGameMenuPaused}) "));
}

TEST_F(ShowAndHide, HidesOverAnOpenGameMenuWhenForced)
{
    game.ui.SetMenus({"HUDMenu", "InventoryMenu"});
    EnableMenusIfCan(false, true);
    EXPECT_THAT(game.hudVisibleCalls, ElementsAre(false));
    EXPECT_THAT(Lines(), ElementsAre("[info] [EnableMenusIfCan] result = [DISABLE]"));
}

TEST_F(ShowAndHide, AsksTheGameToShowEvenWithoutTheUIObject)
{
    game.SetGameUIPointer(nullptr);
    EnableMenusIfCan(true, false);
    EXPECT_THAT(game.hudVisibleCalls, ElementsAre(true));
    EXPECT_THAT(Lines(), ElementsAre("[info] [EnableMenusIfCan] result = [ENABLE]"));
}

TEST_F(ShowAndHide, NeverHidesWithoutTheUIObject)
{
    game.SetGameUIPointer(nullptr);
    EnableMenusIfCan(false, true);
    EnableMenusIfCan(false, false);
    EXPECT_THAT(game.hudVisibleCalls, IsEmpty());
    EXPECT_THAT(log.lines(), IsEmpty());
}

// The shown flag comes from the UI object the game holds now, not from the
// pointer cached at the last look-up.
TEST_F(ShowAndHide, ReadsTheShownFlagOfTheGamesCurrentUIObject)
{
    fake::UI cachedUI;
    UISingleton = cachedUI.get();

    cachedUI.SetHUDShown(false);
    game.ui.SetHUDShown(true);
    EnableMenusIfCan(true, false);
    EXPECT_THAT(game.hudVisibleCalls, IsEmpty());

    cachedUI.SetHUDShown(true);
    game.ui.SetHUDShown(false);
    EnableMenusIfCan(false, false);
    EXPECT_THAT(game.hudVisibleCalls, IsEmpty());
}

}  // namespace
