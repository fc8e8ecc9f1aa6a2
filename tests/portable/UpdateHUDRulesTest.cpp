#include "GamePointers.h"
#include "HUDState.h"
#include "Settings.h"
#include "UpdateHUD.h"
#include "game/IDs.h"
#include "support/FakeGameTest.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kHide = "[info] [UpdateHUD] result = [hide]";
constexpr int kRightMouseButton = 0x02;

std::string Shown(const std::string& reason)
{
    return "[info] [UpdateHUD] result = [show] | " + reason;
}

// Passes that walk the rule chain: no request pending, no keep-shown timer
// running, past the gate.
class RuleChain : public FakeGameTest {
protected:
    // The decision's line of one such pass.
    std::string Decide()
    {
        HUDState.HUDRequest = kHUDRequestNone;
        HUDState.HUDQueuedToDisableTime = 0;
        log.clear();
        Pass();
        const auto lines = LinesOf("UpdateHUD");
        return lines.empty() ? "(no line)" : lines.back();
    }
};

TEST_F(RuleChain, HidesInTheIdleWorld)
{
    EXPECT_EQ(Decide(), kHide);
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestDisableQueued);
    EXPECT_EQ(HUDState.HUDQueuedToDisableTime, game.Now());
}

// Every reason at once; switched off one by one, each reveals the next.
TEST_F(RuleChain, TheFirstRuleThatFiresDecidesInTheChainsOrder)
{
    fake::Reference target;
    target.SetVirtualTable(FakeGame::VirtualTableOf(RE::ID::kTargetVTablesB.front()));
    game.SetAutoAimTarget(target.get());

    Settings.iMenuOverriderShipHUDMenu = false;
    Settings.iMenuOverriderHandscannerMenu = false;
    Settings.bShowInLandVehicle = true;
    Settings.fShowBelowHealthPercent = 50.0F;
    Settings.fShowBelowOxygenPercent = 50.0F;
    Settings.fShowBelowBoostPackPercent = 50.0F;
    Settings.bShowIfOverencumbered = true;
    Settings.bShowIfJumping = true;
    Settings.bShowWhenHostilesAreNearby = true;

    game.gameMenuPaused = true;
    game.player.SetInCell(false);
    HUDState.HUDToggleOverride = true;
    HUDState.bShowHUD = true;
    game.ui.SetMenus({"HUDMenu", "SpaceshipHudMenu", "MonocleMenu"});
    HUDState.SubtitlesPlaying = true;
    game.sneaking = true;
    game.player.SetWeaponState(1);
    game.player.inCombat = true;
    game.PressKey(kRightMouseButton);
    game.vehicleValue = 1.0F;
    game.SetActorValuePercent(game.HealthAV(), 50.0F);
    game.SetActorValuePercent(game.OxygenAV(), 50.0F);
    game.SetActorValuePercent(game.BoostPackAV(), 50.0F);
    game.overencumbered = true;
    game.jumping = true;
    game.hostilesNear = true;
    game.SetStageDone(game.MQ305(), 2000, true);
    game.SetStageDone(game.MQ301(), 0, false);
    game.SetAutoAimData(false);

    const std::vector<std::pair<std::string, std::function<void()>>> chain{
        {Shown("IsGameMenuPaused"), [&] { game.gameMenuPaused = false; }},
        {Shown("PlayerChar->parentCell is nullptr"), [&] { game.player.SetInCell(true); }},
        {Shown("HUDToggleOverride [bShowHUD=TRUE] is active"), [&] { HUDState.HUDToggleOverride = false; }},
        {"[info] [UpdateHUD] result = [hide] | MenuOverrider [SpaceshipHudMenu] is active",
         [&] {
             game.ui.SetMenus({"HUDMenu", "MonocleMenu"});
         }},
        {"[info] [UpdateHUD] result = [hide] | MenuOverrider [MonocleMenu] is active",
         [&] {
             Settings.iMenuOverriderShipHUDMenu = true;
             Settings.iMenuOverriderHandscannerMenu = true;
             game.ui.SetMenus({"HUDMenu", "SpaceshipHudMenu", "MonocleMenu"});
         }},
        {Shown("MenuOverrider [SpaceshipHudMenu] is active"),
         [&] {
             game.ui.SetMenus({"HUDMenu", "MonocleMenu"});
         }},
        // From here on the menu stack is empty, which shows too, but later.
        {Shown("MenuOverrider [MonocleMenu] is active"), [&] { game.ui.SetMenus({}); }},
        {Shown("SubtitlesPlaying"), [&] { HUDState.SubtitlesPlaying = false; }},
        {Shown("IsSneaking"), [&] { game.sneaking = false; }},
        {Shown("IsWeaponDrawn"), [&] { game.player.SetWeaponState(0); }},
        {Shown("IsInCombat"), [&] { game.player.inCombat = false; }},
        {Shown("VehicleAim"), [&] { game.ReleaseKey(kRightMouseButton); }},
        {Shown("IsInVehicle"), [&] { game.vehicleValue = 0.0F; }},
        {Shown("HealthPercent"), [&] { game.SetActorValuePercent(game.HealthAV(), 51.0F); }},
        {Shown("OxygenPercent"), [&] { game.SetActorValuePercent(game.OxygenAV(), 51.0F); }},
        {Shown("BoostPackPercent"), [&] { game.SetActorValuePercent(game.BoostPackAV(), 51.0F); }},
        {Shown("IsOverencumbered"), [&] { game.overencumbered = false; }},
        {Shown("IsJumping"), [&] { game.jumping = false; }},
        {Shown("HostileActorsNear"), [&] { game.hostilesNear = false; }},
        {Shown("menuStack.size <= 0"), [&] { game.ui.SetMenus({"HUDMenu"}); }},
        {"[warning] [UpdateHUD] result = [show] | MQ305.IsStageDone(2000)",
         [&] { game.SetStageDone(game.MQ305(), 2000, false); }},
        {"[warning] [UpdateHUD] result = [show] | !MQ301.IsStageDone(0)",
         [&] { game.SetStageDone(game.MQ301(), 0, true); }},
        {Shown("AutoAim->data is nullptr"), [&] { game.SetAutoAimData(true); }},
        {Shown("AutoAimTargetRef valid and exists"), [&] { game.SetAutoAimTarget(nullptr); }},
        {kHide, [] {}},
    };
    for (const auto& [line, switchOff] : chain) {
        EXPECT_EQ(Decide(), line);
        switchOff();
    }
}

TEST_F(RuleChain, AHidingMenuOverriderWinsOverCombat)
{
    Settings.iMenuOverriderShipHUDMenu = false;
    game.ui.SetMenus({"HUDMenu", "SpaceshipHudMenu"});
    game.player.inCombat = true;
    game.player.SetWeaponState(2);

    EXPECT_EQ(Decide(), "[info] [UpdateHUD] result = [hide] | MenuOverrider [SpaceshipHudMenu] is active");
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestDisableQueued);
    EXPECT_EQ(game.calls.isInCombat, 0);
}

TEST_F(RuleChain, TheRulesBeforeTheMenuOverridersStillComeFirst)
{
    Settings.iMenuOverriderShipHUDMenu = false;
    game.ui.SetMenus({"HUDMenu", "SpaceshipHudMenu"});

    HUDState.HUDToggleOverride = true;
    HUDState.bShowHUD = true;
    EXPECT_EQ(Decide(), Shown("HUDToggleOverride [bShowHUD=TRUE] is active"));
    game.player.SetInCell(false);
    EXPECT_EQ(Decide(), Shown("PlayerChar->parentCell is nullptr"));
    game.gameMenuPaused = true;
    EXPECT_EQ(Decide(), Shown("IsGameMenuPaused"));
    EXPECT_EQ(game.calls.isMenuOpen, 0);
}

TEST_F(RuleChain, TheToggleOverrideHidesWhenItForcesTheHUDOff)
{
    HUDState.HUDToggleOverride = true;
    HUDState.bShowHUD = false;
    game.sneaking = true;
    EXPECT_EQ(Decide(), "[info] [UpdateHUD] result = [hide] | HUDToggleOverride [bShowHUD=FALSE] is active");
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestDisableQueued);
}

TEST_F(RuleChain, APlayerOutsideAnyCellShowsOnEveryPass)
{
    game.player.SetInCell(false);
    game.ui.SetHUDShown(false);
    for (int pass = 0; pass < 3; ++pass) {
        log.clear();
        Pass();
        EXPECT_THAT(LinesOf("UpdateHUD"), ElementsAre(Shown("PlayerChar->parentCell is nullptr")));
        log.clear();
        Pass();
        EXPECT_THAT(LinesOf("UpdateHUD"), ElementsAre("[info] [UpdateHUD] result = [RequestEnable]"));
    }
    EXPECT_THAT(game.hudVisibleCalls, ElementsAre(true));
}

// A rule switched off by its setting does not ask the game.
TEST_F(RuleChain, SwitchedOffRulesAskTheGameNothing)
{
    Settings.bShowInSubtitles = false;
    Settings.bShowWhileSneaking = false;
    Settings.bShowWhileWeaponDrawn = false;
    Settings.bShowInCombat = false;
    Settings.iVehicleAimKeyDown = 0;
    Settings.bShowInLandVehicle = false;
    Settings.bShowIfOverencumbered = false;
    Settings.bShowIfJumping = false;
    Settings.bShowWhenHostilesAreNearby = false;
    HUDState.SubtitlesPlaying = true;
    game.sneaking = game.overencumbered = game.jumping = game.hostilesNear = true;
    game.player.SetWeaponState(1);
    game.player.inCombat = true;
    game.PressKey(kRightMouseButton);
    game.vehicleValue = 1.0F;
    game.SetActorValuePercent(game.HealthAV(), 0.0F);

    EXPECT_EQ(Decide(), kHide);
    EXPECT_EQ(game.calls.isSneaking, 0);
    EXPECT_EQ(game.calls.isInCombat, 0);
    EXPECT_EQ(game.calls.vehicleValue, 0);
    EXPECT_EQ(game.calls.actorValuePercent, 0) << "thresholds are off at -1";
    EXPECT_EQ(game.calls.isOverencumbered, 0);
    EXPECT_EQ(game.calls.isJumping, 0);
    EXPECT_EQ(game.calls.hostileActorsNear, 0);
}

TEST_F(RuleChain, SubtitlesShowOnlyWhileTheirSwitchIsOn)
{
    HUDState.SubtitlesPlaying = true;
    EXPECT_EQ(Decide(), Shown("SubtitlesPlaying"));
    Settings.bShowInSubtitles = false;
    EXPECT_EQ(Decide(), kHide);
}

TEST_F(RuleChain, TheVehicleAimKeyShowsWhileTheConfiguredKeyIsDown)
{
    game.PressKey(kRightMouseButton);
    EXPECT_EQ(Decide(), Shown("VehicleAim"));
    game.ReleaseKey(kRightMouseButton);
    EXPECT_EQ(Decide(), kHide);

    Settings.iVehicleAimKeyDown = 0x05;
    game.PressKey(kRightMouseButton);
    EXPECT_EQ(Decide(), kHide);
    game.PressKey(0x05);
    EXPECT_EQ(Decide(), Shown("VehicleAim"));

    Settings.iVehicleAimKeyDown = 0;
    EXPECT_EQ(Decide(), kHide);
}

TEST_F(RuleChain, ALandVehicleIsAnyVehicleValueButZero)
{
    Settings.bShowInLandVehicle = true;
    for (const float value : {1.0F, -1.0F, 1e-30F, std::numeric_limits<float>::quiet_NaN()}) {
        game.vehicleValue = value;
        EXPECT_EQ(Decide(), Shown("IsInVehicle")) << value;
    }
    for (const float value : {0.0F, -0.0F}) {
        game.vehicleValue = value;
        EXPECT_EQ(Decide(), kHide) << value;
    }
    Settings.bShowInLandVehicle = false;
    game.vehicleValue = 1.0F;
    EXPECT_EQ(Decide(), kHide);
}

TEST_F(RuleChain, EachPlayerPredicateShowsOnlyWhileItsSwitchIsOn)
{
    struct Case {
        const char* reason;
        bool* setting;
        bool* state;
    };
    for (const Case& rule : {Case{"IsSneaking", &Settings.bShowWhileSneaking, &game.sneaking},
                             Case{"IsOverencumbered", &Settings.bShowIfOverencumbered, &game.overencumbered},
                             Case{"IsJumping", &Settings.bShowIfJumping, &game.jumping},
                             Case{"HostileActorsNear", &Settings.bShowWhenHostilesAreNearby, &game.hostilesNear},
                             Case{"IsInCombat", &Settings.bShowInCombat, &game.player.inCombat}}) {
        *rule.setting = true;
        *rule.state = true;
        EXPECT_EQ(Decide(), Shown(rule.reason));
        *rule.setting = false;
        EXPECT_EQ(Decide(), kHide) << rule.reason << " switched off";
        *rule.setting = true;
        *rule.state = false;
        EXPECT_EQ(Decide(), kHide) << rule.reason << " not the case";
    }
}

TEST_F(RuleChain, ADrawnWeaponShowsOnlyWhileItsSwitchIsOn)
{
    game.player.SetWeaponState(3);
    EXPECT_EQ(Decide(), Shown("IsWeaponDrawn"));
    Settings.bShowWhileWeaponDrawn = false;
    EXPECT_EQ(Decide(), kHide);
    Settings.bShowWhileWeaponDrawn = true;
    game.player.SetWeaponState(4);
    EXPECT_EQ(Decide(), kHide);
}

// ---- Thresholds of health, oxygen and boost-pack fuel

struct Threshold {
    const char* reason;
    float SettingsRecord::*setting;
    RE::ActorValueInfo* (FakeGame::*actorValue)();
};

class PercentThreshold : public RuleChain, public ::testing::WithParamInterface<Threshold> {
protected:
    void Set(float threshold, float percent)
    {
        Settings.*GetParam().setting = threshold;
        game.SetActorValuePercent((game.*GetParam().actorValue)(), percent);
    }
};

TEST_P(PercentThreshold, ShowsAtOrBelowTheThreshold)
{
    Set(25.0F, 25.0F);
    EXPECT_EQ(Decide(), Shown(GetParam().reason)) << "inclusive";
    Set(25.0F, 24.0F);
    EXPECT_EQ(Decide(), Shown(GetParam().reason));
    Set(25.0F, 25.001F);
    EXPECT_EQ(Decide(), kHide);
    Set(0.0F, 0.0F);
    EXPECT_EQ(Decide(), Shown(GetParam().reason)) << "a threshold of 0 is on";
}

TEST_P(PercentThreshold, ComparesTheGamesValueUnscaled)
{
    Set(0.5F, 0.4F);
    EXPECT_EQ(Decide(), Shown(GetParam().reason));
    Set(50.0F, 60.0F);
    EXPECT_EQ(Decide(), kHide);
}

TEST_P(PercentThreshold, IsOffForANegativeOrNaNThreshold)
{
    Set(-1.0F, 0.0F);
    EXPECT_EQ(Decide(), kHide);
    EXPECT_EQ(game.calls.actorValuePercent, 0);
    Set(-0.001F, -5.0F);
    EXPECT_EQ(Decide(), kHide);
    Set(std::numeric_limits<float>::quiet_NaN(), 0.0F);
    EXPECT_EQ(Decide(), kHide);
}

// Each rule reads its own actor value: only this one is low.
TEST_P(PercentThreshold, ReadsItsOwnActorValue)
{
    Settings.fShowBelowHealthPercent = 25.0F;
    Settings.fShowBelowOxygenPercent = 25.0F;
    Settings.fShowBelowBoostPackPercent = 25.0F;
    game.SetActorValuePercent((game.*GetParam().actorValue)(), 10.0F);
    EXPECT_EQ(Decide(), Shown(GetParam().reason));
}

INSTANTIATE_TEST_SUITE_P(
    EachActorValue, PercentThreshold,
    ::testing::Values(Threshold{"HealthPercent", &SettingsRecord::fShowBelowHealthPercent, &FakeGame::HealthAV},
                      Threshold{"OxygenPercent", &SettingsRecord::fShowBelowOxygenPercent, &FakeGame::OxygenAV},
                      Threshold{"BoostPackPercent", &SettingsRecord::fShowBelowBoostPackPercent,
                                &FakeGame::BoostPackAV}),
    [](const auto& instance) { return std::string(instance.param.reason); });

// ---- The auto-aim target

class AutoAimTarget : public RuleChain {
protected:
    void SetUp() override
    {
        target.SetVirtualTable(FakeGame::VirtualTableOf(RE::ID::kTargetVTablesC.front()));
        target.SetBaseFormType(30);
        game.SetAutoAimTarget(target.get());
    }

    fake::Reference target;
    const std::string shown = Shown("AutoAimTargetRef valid and exists");
};

TEST_F(AutoAimTarget, ShowsWhenTheTargetPassesEveryTest)
{
    EXPECT_EQ(Decide(), shown);
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestEnable);
}

TEST_F(AutoAimTarget, IsNoReasonWithoutATarget)
{
    game.SetAutoAimTarget(nullptr);
    EXPECT_EQ(Decide(), kHide);
    EXPECT_EQ(game.calls.vehicleValue, 0) << "the chain ends at the first test that fails";
}

TEST_F(AutoAimTarget, IsNoReasonFromALandVehicle)
{
    game.vehicleValue = 1.0F;
    EXPECT_EQ(Decide(), kHide);
    game.vehicleValue = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(Decide(), kHide);
}

TEST_F(AutoAimTarget, IsNoReasonForAReferenceOfAnotherClass)
{
    target.SetVirtualTable(FakeGame::VirtualTableOf(RE::ID::kTargetVTablesA.front()));
    EXPECT_EQ(Decide(), kHide);
}

TEST_F(AutoAimTarget, IsNoReasonForHarvestedFloraUnlessThatIsAllowed)
{
    target.SetBaseFormType(46);
    EXPECT_EQ(Decide(), shown) << "flora not yet harvested";
    target.SetFlags(0x2000);
    EXPECT_EQ(Decide(), kHide);
    Settings.bShowIfAutoAimTargetIsHarvestedFlora = true;
    EXPECT_EQ(Decide(), shown);
}

TEST_F(AutoAimTarget, IsNoReasonForAnObjectThatCannotBeActivatedUnlessThatIsAllowed)
{
    target.SetBaseFormType(44);
    EXPECT_EQ(Decide(), kHide);
    Settings.bShowIfAutoAimTargetIsNotActivatable = true;
    EXPECT_EQ(Decide(), shown);
}

// ---- Menu questions and the game strings they take

struct Overriders {
    bool ship;
    bool handscanner;
    std::vector<std::string> asked;
};

class MenuQuestions : public RuleChain, public ::testing::WithParamInterface<Overriders> {};

// Each menu rule makes its own string and releases it, also when the menu is
// closed; a rule whose overrider setting does not match makes none.
TEST_P(MenuQuestions, EachMatchingRuleAsksAboutItsMenuWithAStringOfItsOwn)
{
    Settings.iMenuOverriderShipHUDMenu = GetParam().ship;
    Settings.iMenuOverriderHandscannerMenu = GetParam().handscanner;
    EXPECT_EQ(Decide(), kHide);
    EXPECT_EQ(game.MenusAskedAbout(), GetParam().asked);
    EXPECT_EQ(game.GameStringsMade(), 2);
    EXPECT_EQ(game.GameStringsReleased(), 2);
}

INSTANTIATE_TEST_SUITE_P(EachSetting, MenuQuestions,
                         ::testing::Values(Overriders{false, false, {"SpaceshipHudMenu", "MonocleMenu"}},
                                           Overriders{false, true, {"SpaceshipHudMenu", "MonocleMenu"}},
                                           Overriders{true, false, {"MonocleMenu", "SpaceshipHudMenu"}},
                                           Overriders{true, true, {"SpaceshipHudMenu", "MonocleMenu"}}));

TEST_F(RuleChain, AMenuRuleThatFiresReleasesItsStringToo)
{
    game.ui.SetMenus({"HUDMenu", "MonocleMenu"});
    EXPECT_EQ(Decide(), Shown("MenuOverrider [MonocleMenu] is active"));
    EXPECT_EQ(game.GameStringsMade(), 2);
    EXPECT_EQ(game.LiveGameStrings(), 0);

    Settings.iMenuOverriderShipHUDMenu = false;
    game.ui.SetMenus({"HUDMenu", "SpaceshipHudMenu"});
    EXPECT_EQ(Decide(), "[info] [UpdateHUD] result = [hide] | MenuOverrider [SpaceshipHudMenu] is active");
    EXPECT_EQ(game.GameStringsMade(), 3);
    EXPECT_EQ(game.LiveGameStrings(), 0);
}

}  // namespace
