#include "hud/HUDState.h"
#include "settings/Settings.h"
#include "support/FakeGameTest.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr const char* kHide = "[info] [UpdateHUD] result = [hide]";
constexpr int kRightMouseButton = 0x02;
constexpr int kF1 = 0x70;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

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

    // Aims at the target, by default of an accepted class: its virtual table is
    // the game's address of the first ID of the second list.
    void AimAt(std::uint64_t tableID = 422634)
    {
        target.SetVirtualTable(FakeGame::VirtualTableOf(tableID));
        game.SetAutoAimTarget(target.get());
    }

    // The rules after the toggle key, in the chain's order, each with what
    // makes it fire (on) or not (off) in the idle world.
    struct Rule {
        std::string line;
        std::function<void(bool on)> set;
    };
    std::vector<Rule> Rules()
    {
        const auto menu = [this](const char* name, bool open) {
            open ? game.ui.OpenMenu(name) : game.ui.CloseMenu(name);
        };
        const auto hidingOverrider = [=](SettingsField<bool> setting, const char* name) {
            return [=](bool on) {
                Settings.PublishWith(setting, !on);
                menu(name, on);
            };
        };
        const auto percent = [this](SettingsField<float> threshold, RE::ActorValueInfo* (FakeGame::*actorValue)()) {
            return [=, this](bool on) {
                Settings.PublishWith(threshold, 50.0F);
                game.SetActorValuePercent((game.*actorValue)(), on ? 50.0F : 50.5F);
            };
        };
        const std::string hidden = "[info] [UpdateHUD] result = [hide] | ";
        return {
            // The game's byte with its lowest bit clear: paused all the same.
            {Shown("IsGameMenuPaused"), [this](bool on) { game.gameMenuPaused = on ? 0x02 : 0; }},
            {Shown("PlayerChar->parentCell is nullptr"), [this](bool on) { game.player.SetInCell(!on); }},
            {Shown("HUDToggleOverride [bShowHUD=TRUE] is active"),
             [](bool on) { HUDState.HUDToggleOverride = HUDState.bShowHUD = on; }},
            {hidden + "MenuOverrider [SpaceshipHudMenu] is active",
             hidingOverrider(&SettingsRecord::iMenuOverriderShipHUDMenu, "SpaceshipHudMenu")},
            {hidden + "MenuOverrider [MonocleMenu] is active",
             hidingOverrider(&SettingsRecord::iMenuOverriderHandscannerMenu, "MonocleMenu")},
            {Shown("MenuOverrider [SpaceshipHudMenu] is active"), [=](bool on) { menu("SpaceshipHudMenu", on); }},
            {Shown("MenuOverrider [MonocleMenu] is active"), [=](bool on) { menu("MonocleMenu", on); }},
            {Shown("SubtitlesPlaying"), [](bool on) { HUDState.SubtitlesPlaying = on; }},
            {Shown("IsSneaking"), [this](bool on) { game.sneaking = on; }},
            {Shown("IsWeaponDrawn"), [this](bool on) { game.player.SetWeaponState(on ? 1 : 0); }},
            {Shown("IsInCombat"), [this](bool on) { game.player.inCombat = on; }},
            {Shown("VehicleAim"),
             [this](bool on) { on ? game.PressKey(kRightMouseButton) : game.ReleaseKey(kRightMouseButton); }},
            {Shown("IsInVehicle"),
             [this](bool on) {
                 Settings.PublishWith(&SettingsRecord::bShowInLandVehicle, true);
                 game.vehicleValue = on ? 1.0F : 0.0F;
             }},
            {Shown("HealthPercent"), percent(&SettingsRecord::fShowBelowHealthPercent, &FakeGame::HealthAV)},
            {Shown("OxygenPercent"), percent(&SettingsRecord::fShowBelowOxygenPercent, &FakeGame::OxygenAV)},
            {Shown("BoostPackPercent"), percent(&SettingsRecord::fShowBelowBoostPackPercent, &FakeGame::BoostPackAV)},
            {Shown("IsOverencumbered"),
             [this](bool on) {
                 Settings.PublishWith(&SettingsRecord::bShowIfOverencumbered, game.overencumbered = on);
             }},
            {Shown("IsJumping"),
             [this](bool on) { Settings.PublishWith(&SettingsRecord::bShowIfJumping, game.jumping = on); }},
            {Shown("HostileActorsNear"),
             [this](bool on) {
                 Settings.PublishWith(&SettingsRecord::bShowWhenHostilesAreNearby, game.hostilesNear = on);
             }},
            {Shown("menuStack.size <= 0"), [=](bool on) { menu("HUDMenu", !on); }},
            {"[warning] [UpdateHUD] result = [show] | MQ305.IsStageDone(2000)",
             [this](bool on) { game.SetStageDone(game.MQ305(), 2000, on); }},
            {"[warning] [UpdateHUD] result = [show] | !MQ301.IsStageDone(0)",
             [this](bool on) { game.SetStageDone(game.MQ301(), 0, !on); }},
            {Shown("AutoAim->data is nullptr"), [this](bool on) { game.SetAutoAimData(!on); }},
            {Shown("AutoAimTargetRef valid and exists"),
             [this](bool on) { on ? AimAt() : game.SetAutoAimTarget(nullptr); }},
        };
    }

    fake::Reference target;
};

// In a first-match chain, each rule winning over the next one is the whole order.
TEST_F(RuleChain, EachRuleFiresAloneAndBeforeTheNext)
{
    const auto rules = Rules();
    for (std::size_t i = 0; i < rules.size(); ++i) {
        SCOPED_TRACE(rules[i].line);
        rules[i].set(true);
        EXPECT_EQ(Decide(), rules[i].line);
        if (i + 1 < rules.size()) {
            rules[i + 1].set(true);
            EXPECT_EQ(Decide(), rules[i].line);
            rules[i + 1].set(false);
        }
        rules[i].set(false);
        EXPECT_EQ(Decide(), kHide);
    }
}

// The toggle key comes right after the paused game and the missing cell:
// while it is down, a pass ends at it whatever later rule would fire.
TEST_F(RuleChain, TheToggleKeyComesRightAfterTheFirstTwoRules)
{
    Settings.PublishWith(&SettingsRecord::iHUDToggle, kF1);
    const auto rules = Rules();
    for (std::size_t i = 0; i < rules.size(); ++i) {
        SCOPED_TRACE(rules[i].line);
        rules[i].set(true);
        game.PressKey(kF1);
        const bool before = i < 2;
        EXPECT_EQ(Decide(), before ? rules[i].line : "(no line)");
        EXPECT_EQ(HUDState.ToggleKeyHoldTime, before ? 0 : 50);
        EXPECT_EQ(HUDState.HUDRequest, before ? kHUDRequestEnable : kHUDRequestNone);
        rules[i].set(false);
        game.ReleaseKey(kF1);
        HUDState.ToggleKeyHoldTime = 0;
    }
}

// Only the low three bits of the actor's weapon state count: 1 to 3 drawn.
TEST_F(RuleChain, AWeaponIsDrawnInStatesOneToThreeOfTheLowThreeBits)
{
    for (const std::uint32_t state : {0U, 1U, 2U, 3U, 4U, 5U, 6U, 7U, 0xF8U, 0xF9U, 0xFBU, 0xFCU, 0xFFFF'FFFAU}) {
        game.player.SetWeaponState(state);
        const std::uint32_t low = state & 7U;
        EXPECT_EQ(Decide(), low >= 1 && low <= 3 ? Shown("IsWeaponDrawn") : kHide) << "state " << state;
    }
}

// Every reason present, every rule switched off by its setting: nothing
// shows, and a switched-off rule asks the game nothing.
TEST_F(RuleChain, SwitchedOffRulesNeitherFireNorAskTheGame)
{
    SettingsRecord switchedOff = *Settings;
    switchedOff.bShowInSubtitles = switchedOff.bShowWhileSneaking = switchedOff.bShowWhileWeaponDrawn = false;
    switchedOff.bShowInCombat = switchedOff.bShowInLandVehicle = false;
    switchedOff.iVehicleAimKeyDown = 0;
    Settings.Publish(switchedOff);
    HUDState.SubtitlesPlaying = true;
    game.sneaking = game.overencumbered = game.jumping = game.hostilesNear = true;
    game.player.SetWeaponState(1);
    game.player.inCombat = true;
    game.PressKey(kRightMouseButton);
    game.vehicleValue = 1.0F;
    game.SetActorValuePercent(game.HealthAV(), 0.0F);

    EXPECT_EQ(Decide(), kHide);
    EXPECT_EQ(game.calls.isSneaking + game.calls.isInCombat + game.calls.vehicleValue, 0);
    EXPECT_EQ(game.calls.actorValuePercent, 0) << "thresholds are off at -1";
    EXPECT_EQ(game.calls.isOverencumbered + game.calls.isJumping + game.calls.hostileActorsNear, 0);

    Settings.PublishWith(&SettingsRecord::iVehicleAimKeyDown, 0x05);
    EXPECT_EQ(Decide(), kHide) << "another key than the configured one";
    game.PressKey(0x05);
    EXPECT_EQ(Decide(), Shown("VehicleAim"));
}

TEST_F(RuleChain, ALandVehicleIsAnyVehicleValueButZero)
{
    Settings.PublishWith(&SettingsRecord::bShowInLandVehicle, true);
    for (const float value : {1.0F, -1.0F, 1e-30F, kNaN, 0.0F, -0.0F}) {
        game.vehicleValue = value;
        EXPECT_EQ(Decide(), value != 0.0F ? Shown("IsInVehicle") : kHide) << value;
    }
}

// ---- Thresholds of health, oxygen and boost-pack fuel

// Inclusive, in the game's own scale; a negative or NaN threshold is off.
TEST_F(RuleChain, ThePercentRulesShowAtOrBelowANonNegativeThreshold)
{
    struct Case {
        float threshold;
        float percent;
        bool shows;
    };
    const Case cases[] = {{25.0F, 25.0F, true}, {25.0F, 24.0F, true},    {25.0F, 25.001F, false},
                          {0.0F, 0.0F, true},   {0.5F, 0.4F, true},      {50.0F, 60.0F, false},
                          {-1.0F, 0.0F, false}, {-0.001F, -5.0F, false}, {kNaN, 0.0F, false}};
    const std::vector<std::tuple<const char*, SettingsField<float>, RE::ActorValueInfo*>> rules{
        {"HealthPercent", &SettingsRecord::fShowBelowHealthPercent, game.HealthAV()},
        {"OxygenPercent", &SettingsRecord::fShowBelowOxygenPercent, game.OxygenAV()},
        {"BoostPackPercent", &SettingsRecord::fShowBelowBoostPackPercent, game.BoostPackAV()}};
    for (const auto& [reason, setting, actorValue] : rules) {
        for (const Case& row : cases) {
            Settings.PublishWith(setting, row.threshold);
            game.SetActorValuePercent(actorValue, row.percent);
            EXPECT_EQ(Decide(), row.shows ? Shown(reason) : kHide)
                << reason << " " << row.threshold << " " << row.percent;
        }
        Settings.PublishWith(setting, -1.0F);
    }
}

// ---- The auto-aim target

// Flora has form type 46 (flag 0x2000: harvested, no other flag), objects
// that cannot be activated 44 (the flag means nothing to them); 423258 is the
// first ID of the first list of classes.
TEST_F(RuleChain, TheAutoAimTargetShowsOnlyWhenItPassesEveryTest)
{
    struct Case {
        std::uint64_t tableID;
        std::uint8_t formType;
        std::uint32_t flags;
        float vehicleValue;
        bool allowHarvested;
        bool allowNotActivatable;
        bool shows;
    };
    for (const Case& row :
         {Case{422634, 30, 0, 0.0F, false, false, true}, Case{422634, 30, 0, 1.0F, false, false, false},
          Case{422634, 30, 0, kNaN, false, false, false}, Case{423258, 30, 0, 0.0F, false, false, false},
          Case{422634, 46, 0, 0.0F, false, false, true}, Case{422634, 46, 0x2000, 0.0F, false, false, false},
          Case{422634, 46, 0x2000, 0.0F, true, false, true}, Case{422634, 44, 0, 0.0F, false, false, false},
          Case{422634, 44, 0, 0.0F, false, true, true}, Case{422634, 46, ~0x2000U, 0.0F, false, false, true},
          Case{422634, 44, 0x2000, 0.0F, false, true, true}}) {
        SCOPED_TRACE(::testing::Message() << row.tableID << " " << int{row.formType} << " " << row.flags << " "
                                          << row.vehicleValue << row.allowHarvested << row.allowNotActivatable);
        AimAt(row.tableID);
        target.SetBaseFormType(row.formType);
        target.SetFlags(row.flags);
        game.vehicleValue = row.vehicleValue;
        Settings.PublishWith(&SettingsRecord::bShowIfAutoAimTargetIsHarvestedFlora, row.allowHarvested);
        Settings.PublishWith(&SettingsRecord::bShowIfAutoAimTargetIsNotActivatable, row.allowNotActivatable);
        EXPECT_EQ(Decide(), row.shows ? Shown("AutoAimTargetRef valid and exists") : kHide);
    }
    game.SetAutoAimTarget(nullptr);
    EXPECT_EQ(Decide(), kHide);
}

}  // namespace
