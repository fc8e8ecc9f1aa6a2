// The simulated game's portable parts: the scenario file a player writes, the
// settings read back from the plugin's log, the notes on refused values and
// what the simulator expects the HUD to do.

#include "ForecastCheck.h"
#include "HudModel.h"
#include "Scenario.h"
#include "SettingNotes.h"
#include "SettingsAsRead.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

using sim::Expect;
using sim::KeyRef;
using sim::StepKind;

struct GoodLine {
    const char* text;
    StepKind kind;
    bool on;
    const char* name;
    long long fixedMs;
    std::vector<std::string> settings;
    Expect expect;
};

TEST(ScenarioFile, ReadsEachKindOfStep)
{
    const GoodLine cases[] = {
        {"wait 2s", StepKind::Wait, false, "", 2000, {}, Expect::Nothing},
        {"wait 1.5s + iKeepHUDShownMS+250ms", StepKind::Wait, false, "", 1750, {"iKeepHUDShownMS"}, Expect::Nothing},
        {"wait iKeepHUDShownMS + iKeepHUDShownMS expect hidden",
         StepKind::Wait,
         false,
         "",
         0,
         {"iKeepHUDShownMS", "iKeepHUDShownMS"},
         Expect::Hidden},
        {"wait 0ms", StepKind::Wait, false, "", 0, {}, Expect::Nothing},
        {"weapon drawn expect shown", StepKind::Weapon, true, "", 0, {}, Expect::Shown},
        {"weapon sheathed", StepKind::Weapon, false, "", 0, {}, Expect::Nothing},
        {"menu open InventoryMenu", StepKind::Menu, true, "InventoryMenu", 0, {}, Expect::Nothing},
        {"menu close PauseMenu expect hidden", StepKind::Menu, false, "PauseMenu", 0, {}, Expect::Hidden},
        {"subtitle shown", StepKind::Subtitle, true, "", 0, {}, Expect::Nothing},
        {"load-save", StepKind::LoadSave, false, "", 0, {}, Expect::Nothing},
        {"level-up", StepKind::Notification, false, "", 0, {}, Expect::Nothing},
        {"mission update", StepKind::Notification, false, "", 0, {}, Expect::Nothing},
        {"discover trait", StepKind::Notification, false, "", 0, {}, Expect::Nothing},
        {"combat on", StepKind::Condition, true, "", 0, {}, Expect::Nothing},
        {"vehicle off", StepKind::Condition, false, "", 0, {}, Expect::Nothing},
        {"oxygen 12.5", StepKind::Meter, false, "", 0, {}, Expect::Nothing},
        {"press toggle", StepKind::Key, true, "", 0, {}, Expect::Nothing},
        {"release 0x70", StepKind::Key, false, "", 0, {}, Expect::Nothing},
        {"gamepad press toggle", StepKind::Gamepad, true, "", 0, {}, Expect::Nothing},
        {"gamepad press 0x8000 expect shown", StepKind::Gamepad, true, "", 0, {}, Expect::Shown},
        {"gamepad release", StepKind::Gamepad, false, "", 0, {}, Expect::Nothing},
        {"set bShowWhileWeaponDrawn true",
         StepKind::SetSetting,
         false,
         "bShowWhileWeaponDrawn",
         0,
         {},
         Expect::Nothing},
        {"edit iKeepHUDShownMS 500 expect shown",
         StepKind::EditSettings,
         false,
         "iKeepHUDShownMS",
         0,
         {},
         Expect::Nothing},
    };
    for (const GoodLine& line : cases) {
        SCOPED_TRACE(line.text);
        const auto parse = sim::ParseScenario(line.text, "s.scenario");
        ASSERT_FALSE(parse.error) << *parse.error;
        ASSERT_EQ(parse.steps.size(), 1U);
        const sim::Step& step = parse.steps.front();
        EXPECT_EQ(step.kind, line.kind);
        EXPECT_EQ(step.on, line.on);
        EXPECT_EQ(step.name, line.name);
        EXPECT_EQ(step.wait.fixedMs, line.fixedMs);
        EXPECT_EQ(step.wait.settings, line.settings);
        EXPECT_EQ(step.expect, line.expect);
        EXPECT_EQ(step.line, 1);
    }
}

TEST(ScenarioFile, ValuesOfStepsAsWritten)
{
    const auto parse = sim::ParseScenario(
        "health 25\r\n"
        "set iHUDToggle 0x70   # F1\n"
        "set iHUDToggle\n"
        "press vehicle-aim\n"
        "press 2\n"
        "discover location\n"
        "gamepad press 0021\n"
        "gamepad press toggle\n",
        "s.scenario");
    ASSERT_FALSE(parse.error) << *parse.error;
    ASSERT_EQ(parse.steps.size(), 8U);
    EXPECT_FLOAT_EQ(parse.steps[0].percent, 25.0F);
    EXPECT_EQ(parse.steps[0].meter, sim::Meter::Health);
    EXPECT_EQ(parse.steps[1].value, "0x70");
    EXPECT_EQ(parse.steps[2].value, "");
    EXPECT_EQ(parse.steps[3].key.kind, KeyRef::Kind::VehicleAim);
    EXPECT_EQ(parse.steps[4].key.kind, KeyRef::Kind::Code);
    EXPECT_EQ(parse.steps[4].key.code, 2);
    EXPECT_EQ(parse.steps[5].notification, sim::Notification::Location);
    EXPECT_EQ(parse.steps[6].key.kind, KeyRef::Kind::Code);
    EXPECT_EQ(parse.steps[6].key.code, 0x21);
    EXPECT_EQ(parse.steps[7].key.kind, KeyRef::Kind::Toggle);
}

TEST(ScenarioFile, CommentsAndBlankLinesCountAsLines)
{
    const auto parse = sim::ParseScenario("# a tour\n\n   \t\nload-save # first\nwait 1s#not a comment\n", "s");
    ASSERT_TRUE(parse.error);
    EXPECT_EQ(*parse.error,
              "s:5: \"1s#notacomment\" is no duration: write 250ms, 2s, 1.5s or a setting such as "
              "iKeepHUDShownMS");
    const auto good = sim::ParseScenario("# a tour\n\n   \t\nload-save # first\nwait 1s # then\n", "s");
    ASSERT_FALSE(good.error);
    ASSERT_EQ(good.steps.size(), 2U);
    EXPECT_EQ(good.steps[0].line, 4);
    EXPECT_EQ(good.steps[0].text, "load-save");
    EXPECT_EQ(good.steps[1].line, 5);
}

struct BadLine {
    const char* text;
    const char* error;  // the whole message after "f:<line>: "
};

TEST(ScenarioFile, ABadLineNamesFileLineAndWhatIsWrong)
{
    const BadLine cases[] = {
        {"wiat 2s",
         "unknown step \"wiat\" (steps: wait, load-save, set, edit, weapon, menu, subtitle, discover, mission, "
         "level-up, health, oxygen, boost, combat, sneaking, jumping, vehicle, overencumbered, hostiles, press, "
         "release, gamepad)"},
        {"wait", "\"wait\" needs a duration, such as 2s, 300ms or iKeepHUDShownMS + 1s"},
        {"wait 2", "\"2\" is no duration: write 250ms, 2s, 1.5s or a setting such as iKeepHUDShownMS"},
        {"wait -1s", "\"-1s\" is no duration from 0 to 1 hour"},
        {"wait 3601s", "\"3601s\" is no duration from 0 to 1 hour"},
        {"wait 3000s + 3000s", "the wait is longer than 1 hour"},
        {"wait 2s +", "a + of \"wait\" lacks a term on one side"},
        {"wait iKeepHUDShown",
         "\"iKeepHUDShown\" is no duration: write 250ms, 2s, 1.5s or a setting such as "
         "iKeepHUDShownMS"},
        {"weapon", "\"weapon\" takes this form: weapon drawn|sheathed (something is missing)"},
        {"weapon drawn now", "\"weapon\" takes this form: weapon drawn|sheathed (too many words)"},
        {"weapon up", "a weapon is sheathed or drawn, not \"up\""},
        {"load-save now", "\"load-save\" takes nothing (too many words)"},
        {"menu open Inventory Menu", "\"menu\" takes this form: menu open|close NAME (too many words)"},
        {"menu open Invent\xffory",
         "a menu name is letters, digits and _ (at most 63), such as InventoryMenu, not \"Invent\\xffory\""},
        {"health 101", "a percentage is a number from 0 to 100, not \"101\""},
        {"health -1", "a percentage is a number from 0 to 100, not \"-1\""},
        {"oxygen nan", "a percentage is a number from 0 to 100, not \"nan\""},
        {"press 100", "a key is toggle, vehicle-aim or a hexadecimal key code from 01 to FF (70 is F1), not \"100\""},
        {"press 0", "a key is toggle, vehicle-aim or a hexadecimal key code from 01 to FF (70 is F1), not \"0\""},
        {"release G1", "a key is toggle, vehicle-aim or a hexadecimal key code from 01 to FF (70 is F1), not \"G1\""},
        {"combat yes", "combat is off or on, not \"yes\""},
        {"gamepad press",
         "\"gamepad\" takes this form: gamepad press toggle|HEX, or gamepad release (something is "
         "missing)"},
        {"gamepad release 0021",
         "\"gamepad\" takes this form: gamepad press toggle|HEX, or gamepad release (too many "
         "words)"},
        {"gamepad tap", "a gamepad step is release or press, not \"tap\""},
        {"gamepad press 10000",
         "buttons are toggle or a hexadecimal mask of XInput buttons from 0001 to FFFF (0021 "
         "is Back and D-pad up), not \"10000\""},
        {"gamepad press 0",
         "buttons are toggle or a hexadecimal mask of XInput buttons from 0001 to FFFF (0021 is "
         "Back and D-pad up), not \"0\""},
        {"mission done", "a mission step is update, not \"done\""},
        {"weapon drawn expect", "\"expect\" ends a line with shown or hidden"},
        {"weapon drawn expect visible", "an expectation is shown or hidden, not \"visible\""},
        {"expect shown", "\"expect\" follows a step"},
        {"set", "\"set\" takes this form: set KEY VALUE"},
        {"edit", "\"edit\" takes this form: edit KEY VALUE"},
        {"edit b=1", "\"edit\" needs a settings key such as bShowWhileWeaponDrawn, not \"b=1\""},
        {"set b=1", "\"set\" needs a settings key such as bShowWhileWeaponDrawn, not \"b=1\""},
    };
    for (const BadLine& line : cases) {
        SCOPED_TRACE(line.text);
        // After two good lines and a comment: the error names line 4, and no
        // step of the file is kept.
        const auto parse =
            sim::ParseScenario(std::string("load-save\nwait 1s\n# comment\n") + line.text, "my.scenario");
        ASSERT_TRUE(parse.error);
        EXPECT_EQ(*parse.error, std::string("my.scenario:4: ") + line.error);
        EXPECT_TRUE(parse.steps.empty());
    }
}

TEST(ScenarioFile, AFileWithoutStepsIsAnError)
{
    for (const char* text : {"", "\n\n", "# only a comment\n"}) {
        const auto parse = sim::ParseScenario(text, "empty.scenario");
        ASSERT_TRUE(parse.error);
        EXPECT_EQ(*parse.error, "empty.scenario: no steps (one step per line; # starts a comment)");
    }
}

// Any bytes: either steps or an error, never both, never a crash (the
// sanitizers watch the native run).
TEST(ScenarioFile, AnyTextParsesSafely)
{
    std::mt19937 random(20261207);
    const std::string alphabet = "wait 1sms+.-0x7F\n\r\t#expect shown menu open iKeepHUDShownMS set press \xff";
    for (int round = 0; round < 5000; ++round) {
        std::string text(random() % 200, '\0');
        for (char& c : text) {
            c = (random() % 4 == 0) ? static_cast<char>(random() % 256) : alphabet[random() % alphabet.size()];
        }
        const auto parse = sim::ParseScenario(text, "fuzz");
        EXPECT_NE(parse.error.has_value(), !parse.steps.empty()) << text;
    }
}

TEST(SettingsAsRead, TakesTheReloadLinesOnly)
{
    sim::SettingsAsRead read;
    EXPECT_TRUE(read.TakeLogMessage("[ReloadINI] iHUDToggle -> 0"));
    EXPECT_TRUE(read.TakeLogMessage("[ReloadINI] bShowInCombat   --->   1"));
    EXPECT_TRUE(read.TakeLogMessage("[ReloadINI] fShowBelowHealthPercent -> -1.000000"));
    EXPECT_TRUE(read.TakeLogMessage("[ReloadINI] iVehicleAimKeyDown -> 2"));
    EXPECT_FALSE(read.TakeLogMessage("[ReloadINI] logging was requested to be turned off"));
    EXPECT_FALSE(read.TakeLogMessage("[UpdateHUD] result = [show] | IsWeaponDrawn"));
    EXPECT_FALSE(read.TakeLogMessage("[ReloadINI] iKeepHUDShownMS -> "));
    EXPECT_FALSE(read.TakeLogMessage("[ProcessEvent]  --> SaveLoadEvent"));

    EXPECT_EQ(read.size(), 4U);
    EXPECT_EQ(read.Integer("iHUDToggle"), 0);
    EXPECT_EQ(read.Switch("bShowInCombat"), true);
    EXPECT_EQ(read.Decimal("fShowBelowHealthPercent"), -1.0);
    EXPECT_EQ(read.Switch("iVehicleAimKeyDown"), std::nullopt);  // 2 is no switch value
    EXPECT_EQ(read.Text("iKeepHUDShownMS"), std::nullopt);
}

struct NoteCase {
    const char* key;
    std::optional<std::string> written;
    std::optional<std::string> read;
    std::optional<std::string> note;
};

TEST(SettingNotes, SayWhyTheValueReadDiffersFromTheFile)
{
    const NoteCase cases[] = {
        {"iHUDToggle", "112", "0",
         "iHUDToggle=112 is refused (hexadecimal 0x112 is out of range 1 to FF): no toggle key, taps do nothing"},
        {"iHUDToggle", "0x112", "0",
         "iHUDToggle=0x112 is refused (hexadecimal 0x112 is out of range 1 to FF): no toggle key, taps do nothing"},
        {"iHUDToggle", "G1", "0",
         "iHUDToggle=G1 is refused (not a hexadecimal key code): no toggle key, taps do nothing"},
        {"iVehicleAimKeyDown", "100", "0",
         "iVehicleAimKeyDown=100 is refused (hexadecimal 0x100 is out of range 1 to FF): no vehicle-aim key"},
        {"iHUDToggle", "70", "112", std::nullopt},
        {"iHUDToggle", "0", "0", std::nullopt},
        {"bShowWhileWeaponDrawn", "true", "0",
         "bShowWhileWeaponDrawn=true reads as 0 (a switch is on only with 1): weapon rule off"},
        {"bShowWhileWeaponDrawn", "0", "0", std::nullopt},
        {"bShowWhileWeaponDrawn", "1", "1", std::nullopt},
        {"iKeepHUDShownMS", "20000", "2000",
         "iKeepHUDShownMS=20000 is refused (0 to 10000 only): the default applies, iKeepHUDShownMS -> 2000"},
        {"iKeepHUDShownMS", "500", "500", std::nullopt},
        {"fShowBelowHealthPercent", "25", "25.000000", std::nullopt},
        {"fShowBelowHealthPercent", "-5", "-1.000000",
         "fShowBelowHealthPercent=-5 is refused (0 to 100 only): the health rule keeps its default, "
         "fShowBelowHealthPercent -> -1.000000"},
        {"iHUDToggle", std::nullopt, "0", std::nullopt},
        {"iHUDToggle", "", "0", std::nullopt},
        {"iHUDToggle", "112", std::nullopt, std::nullopt},
        {"sSomethingElse", "x", "0", std::nullopt},
    };
    for (const NoteCase& entry : cases) {
        SCOPED_TRACE(std::string(entry.key) + "=" + entry.written.value_or("<none>"));
        EXPECT_EQ(sim::SettingNote(entry.key, entry.written, entry.read), entry.note);
    }
}

// The settings of the shipped file as the plugin logs them, with changes.
sim::SettingsAsRead Settings(std::vector<std::pair<std::string, std::string>> changes)
{
    std::vector<std::pair<std::string, std::string>> values{{"bLogging", "0"},
                                                            {"bShowInCombat", "1"},
                                                            {"bShowWhileSneaking", "1"},
                                                            {"bShowWhileWeaponDrawn", "1"},
                                                            {"bShowInSubtitles", "1"},
                                                            {"bShowLocationDiscovered", "1"},
                                                            {"bShowPlanetTraitDiscovered", "1"},
                                                            {"bShowMissionActive", "1"},
                                                            {"iKeepHUDShownMS", "2000"},
                                                            {"iKeepHUDShownLongMS", "7500"},
                                                            {"fShowBelowHealthPercent", "-1.000000"},
                                                            {"iMenuOverriderShipHUDMenu", "1"},
                                                            {"iMenuOverriderHandscannerMenu", "1"},
                                                            {"iHUDToggle", "112"},
                                                            {"iHUDToggleGamepad", "33"},
                                                            {"iHUDToggleMinRequiredTimeSinceLastTogglePress", "300"},
                                                            {"iHUDToggleMinHoldTime", "300"},
                                                            {"iVehicleAimKeyDown", "2"},
                                                            {"bPlayUIFeedbackSounds", "1"}};
    sim::SettingsAsRead read;
    for (auto& change : changes) {
        values.push_back(std::move(change));
    }
    for (const auto& [key, value] : values) {
        read.TakeLogMessage("[ReloadINI] " + key + " -> " + value);
    }
    return read;
}

// A model after the game's data loaded at 0 and a save at 100 ms; at 20 s the
// grace period and the first delay are long over.
sim::HudModel Model(std::vector<std::pair<std::string, std::string>> changes = {})
{
    sim::HudModel model;
    model.DataLoaded(0);
    model.SaveLoaded(100, Settings(std::move(changes)), false);
    return model;
}

constexpr double kIdle = 20'000;

TEST(HudModel, TheGracePeriodThenTheDelay)
{
    auto model = Model();
    EXPECT_EQ(model.At(9'000).seen, sim::Seen::Shown);
    // Once the grace period ends at 10 s, the HUD stays one delay of 2 s.
    EXPECT_EQ(model.At(11'500).seen, sim::Seen::Shown);
    EXPECT_EQ(model.At(12'000).seen, sim::Seen::Either);
    EXPECT_EQ(model.At(13'000).seen, sim::Seen::Hidden);
}

TEST(HudModel, AConditionShowsTheHUDOnlyWhenItsRuleIsOn)
{
    struct Case {
        const char* setting;
        const char* value;
        sim::Seen whileDrawn;
    };
    for (const Case& entry : {Case{"bShowWhileWeaponDrawn", "1", sim::Seen::Shown},
                              Case{"bShowWhileWeaponDrawn", "0", sim::Seen::Hidden}}) {
        SCOPED_TRACE(entry.value);
        auto model = Model({{entry.setting, entry.value}});
        model.SetCondition("weapon", true, kIdle);
        EXPECT_EQ(model.At(kIdle + 500).seen, entry.whileDrawn);
        EXPECT_EQ(model.RuleOffFor("weapon").has_value(), entry.whileDrawn == sim::Seen::Hidden);
    }
}

TEST(HudModel, TheHUDGoesOneDelayAfterALongReasonAndUpToTwoAfterAShortOne)
{
    auto held = Model();
    held.SetCondition("weapon", true, kIdle);
    held.SetCondition("weapon", false, kIdle + 3'000);
    EXPECT_EQ(held.At(kIdle + 3'000 + 1'700).seen, sim::Seen::Shown);
    EXPECT_EQ(held.At(kIdle + 3'000 + 2'900).seen, sim::Seen::Hidden);

    auto brief = Model();
    brief.SetCondition("weapon", true, kIdle);
    brief.SetCondition("weapon", false, kIdle + 500);
    EXPECT_EQ(brief.At(kIdle + 500 + 1'700).seen, sim::Seen::Shown);
    EXPECT_EQ(brief.At(kIdle + 500 + 2'900).seen, sim::Seen::Either);
    EXPECT_EQ(brief.At(kIdle + 500 + 2'000 + 1'500 + 900).seen, sim::Seen::Hidden);
}

TEST(HudModel, AMeterShowsTheHUDAtOrBelowItsThreshold)
{
    struct Case {
        const char* threshold;
        float percent;
        sim::Seen seen;
        bool quiet;
    };
    for (const Case& entry :
         {Case{"25.000000", 25.0F, sim::Seen::Shown, false}, Case{"25.000000", 25.5F, sim::Seen::Hidden, true},
          Case{"0.000000", 0.0F, sim::Seen::Shown, false}, Case{"-1.000000", 0.0F, sim::Seen::Hidden, true}}) {
        SCOPED_TRACE(std::string(entry.threshold) + " at " + std::to_string(entry.percent));
        auto model = Model({{"fShowBelowHealthPercent", entry.threshold}});
        model.SetMeter(sim::Meter::Health, entry.percent, kIdle);
        EXPECT_EQ(model.At(kIdle + 500).seen, entry.seen);
        EXPECT_EQ(model.MeterQuiet(sim::Meter::Health).has_value(), entry.quiet);
    }
}

TEST(HudModel, TheToggleKeyAsTheSettingsReadIt)
{
    // iHUDToggle -> 112 is F1 (0x70).
    auto model = Model();
    model.Key(0x70, true, kIdle, false);
    EXPECT_EQ(model.At(kIdle + 30).seen, sim::Seen::Either);  // held
    model.Key(0x70, false, kIdle + 60, false);
    EXPECT_EQ(model.At(kIdle + 600).seen, sim::Seen::Shown);  // a tap forced it on
    EXPECT_EQ(model.At(kIdle + 9'000).seen, sim::Seen::Shown);

    model.Key(0x70, true, kIdle + 10'000, true);
    model.Key(0x70, false, kIdle + 10'250, true);
    EXPECT_EQ(model.Sounds(), std::vector<std::string>{"UIMenuGeneralOK"});
    EXPECT_EQ(model.At(kIdle + 10'250 + 2'900).seen, sim::Seen::Hidden);

    // A long press with nothing forced fails audibly.
    model.Key(0x70, true, kIdle + 20'000, false);
    model.Key(0x70, false, kIdle + 20'250, false);
    EXPECT_EQ(model.Sounds(), (std::vector<std::string>{"UIMenuGeneralOK", "UIMenuGeneralActivateFailure"}));

    // A press between short and long cannot be told: nothing more is expected of it.
    model.Key(0x70, true, kIdle + 30'000, false);
    model.Key(0x70, false, kIdle + 30'105, false);
    EXPECT_EQ(model.Sounds(), std::nullopt);
    EXPECT_EQ(model.At(kIdle + 35'000).seen, sim::Seen::Either);
}

// A machine under load can stop the game between two frames. The plugin's
// hold count grows once per pass, and a pass needs a frame: a press held
// 170 ms with the game still for 130 ms of it counts as about 55 ms held.
TEST(HudModel, TimeTheGameStoodStillAddsNoPassesToAPress)
{
    struct Case {
        const char* what;
        double stillMs;
        std::optional<std::vector<std::string>> sounds;
        sim::Seen afterwards;
    };
    for (const Case& row :
         {Case{"frames every 5 ms: a long press", 0, std::vector<std::string>{"UIMenuGeneralActivateFailure"},
               sim::Seen::Hidden},
          Case{"the game still for 130 ms: a tap", 130, std::vector<std::string>{}, sim::Seen::Shown}}) {
        SCOPED_TRACE(row.what);
        auto model = Model();
        model.FrameRan(kIdle - 5);
        model.Key(0x70, true, kIdle, false);
        double now = kIdle;
        while (now < kIdle + 170) {
            const bool stall = row.stillMs > 0 && now >= kIdle + 20 && now < kIdle + 20 + row.stillMs;
            now += stall ? row.stillMs : 5;
            model.FrameRan(now);
        }
        model.Key(0x70, false, now, false);
        EXPECT_EQ(model.Sounds(), row.sounds);
        EXPECT_EQ(model.At(now + 2'900).seen, row.afterwards);
    }
}

// iHUDToggleGamepad -> 33 is Back and D-pad up (0x21): held together they
// are the toggle key; one of them alone, or no buttons set, is nothing.
TEST(HudModel, TheControllersToggleButtonsAsTheSettingsReadThem)
{
    struct Case {
        const char* setting;
        std::uint16_t held;
        sim::Seen afterTap;
    };
    for (const Case& row :
         {Case{"33", 0x21, sim::Seen::Shown}, Case{"33", 0x1021, sim::Seen::Shown}, Case{"33", 0x20, sim::Seen::Hidden},
          Case{"0", 0x21, sim::Seen::Hidden}, Case{"0", 0xFFFF, sim::Seen::Hidden}}) {
        SCOPED_TRACE(std::string(row.setting) + " " + std::to_string(row.held));
        auto model = Model({{"iHUDToggleGamepad", row.setting}});
        model.Gamepad(row.held, kIdle, false);
        EXPECT_EQ(model.ToggleInputDown(), row.afterTap == sim::Seen::Shown);
        model.Gamepad(0, kIdle + 60, false);
        EXPECT_EQ(model.At(kIdle + 600).seen, row.afterTap);
        EXPECT_EQ(model.Sounds(), std::vector<std::string>{});
    }
}

// The key and the buttons are one input: a press begun on the key and ended
// on the controller 250 ms later is one long press, not two taps.
TEST(HudModel, TheKeyAndTheButtonsAreOneToggleInput)
{
    auto model = Model();
    model.Key(0x70, true, kIdle, false);
    model.Gamepad(0x21, kIdle + 100, false);
    model.Key(0x70, false, kIdle + 150, false);
    EXPECT_TRUE(model.ToggleInputDown());
    model.Gamepad(0, kIdle + 250, false);
    EXPECT_EQ(model.Sounds(), std::vector<std::string>{"UIMenuGeneralActivateFailure"});
    EXPECT_EQ(model.At(kIdle + 2'900).seen, sim::Seen::Hidden);
}

TEST(HudModel, WithoutAToggleKeyTapsDoNothing)
{
    auto model = Model({{"iHUDToggle", "0"}});
    model.Key(0x70, true, kIdle, false);
    model.Key(0x70, false, kIdle + 60, false);
    EXPECT_EQ(model.At(kIdle + 600).seen, sim::Seen::Hidden);
    EXPECT_EQ(model.Sounds(), std::vector<std::string>{});
}

TEST(HudModel, AGameMenuKeepsTheHUDAndItsDelayMayTakeOneMoreRound)
{
    auto model = Model();
    model.MenuOpened("InventoryMenu", kIdle, false);
    EXPECT_EQ(model.At(kIdle + 5'000).seen, sim::Seen::Shown);
    model.MenuClosed("InventoryMenu", kIdle + 6'000);
    EXPECT_EQ(model.At(kIdle + 6'000 + 1'700).seen, sim::Seen::Shown);
    EXPECT_EQ(model.At(kIdle + 6'000 + 3'000).seen, sim::Seen::Either);
    EXPECT_EQ(model.At(kIdle + 6'000 + 4'900).seen, sim::Seen::Hidden);
}

TEST(HudModel, MenusThatAreNotGameMenus)
{
    // A listed menu reported closing asks for the HUD once, open or not.
    auto closing = Model();
    closing.MenuClosed("InventoryMenu", kIdle);
    EXPECT_EQ(closing.At(kIdle + 500).seen, sim::Seen::Shown);
    EXPECT_EQ(closing.At(kIdle + 4'900).seen, sim::Seen::Hidden);

    // Without even the HUD's menu on the stack the HUD is shown.
    auto empty = Model();
    empty.MenuClosed("HUDMenu", kIdle);
    EXPECT_EQ(empty.At(kIdle + 4'900).seen, sim::Seen::Shown);

    // The end credits leave the HUD as it was, and it is not checked then.
    auto credits = Model();
    credits.MenuOpened("EndGameCreditsMenu", kIdle, false);
    EXPECT_EQ(credits.At(kIdle + 5'000).seen, sim::Seen::Either);
    credits.MenuClosed("EndGameCreditsMenu", kIdle + 6'000);
    EXPECT_EQ(credits.At(kIdle + 15'000).seen, sim::Seen::Either);
    EXPECT_EQ(credits.At(kIdle + 6'000 + 10'000 + 2'900).seen, sim::Seen::Hidden);

    // The cursor changes nothing.
    auto cursor = Model();
    cursor.MenuOpened("CursorMenu", kIdle, false);
    EXPECT_EQ(cursor.At(kIdle + 500).seen, sim::Seen::Hidden);
}

TEST(HudModel, ADiscoveryKeepsTheHUDForTheLongDelayWhenItsRuleIsOn)
{
    auto on = Model();
    on.Notified(sim::Notification::Location, kIdle);
    EXPECT_EQ(on.At(kIdle + 7'000).seen, sim::Seen::Shown);
    EXPECT_EQ(on.At(kIdle + 7'500 + 2'900).seen, sim::Seen::Hidden);

    auto off = Model({{"bShowLocationDiscovered", "0"}});
    off.Notified(sim::Notification::Location, kIdle);
    EXPECT_EQ(off.At(kIdle + 1'000).seen, sim::Seen::Hidden);
    EXPECT_TRUE(off.NotificationOff(sim::Notification::Location).has_value());
    // The level-up has no switch.
    off.Notified(sim::Notification::LevelUp, kIdle + 2'000);
    EXPECT_EQ(off.At(kIdle + 3'000).seen, sim::Seen::Shown);
}

TEST(HudModel, AChangedFileReadWithoutLogChecksNothing)
{
    auto model = Model();
    model.SaveLoaded(kIdle, std::nullopt, false);
    EXPECT_EQ(model.At(kIdle + 1'000).seen, sim::Seen::Hidden);  // the same file: the same values
    model.SaveLoaded(kIdle + 2'000, std::nullopt, true);
    EXPECT_EQ(model.At(kIdle + 3'000).seen, sim::Seen::Either);
}

// The step check fails on the first frame that differs from a firm
// expectation, and never on a frame left open.
TEST(ForecastCheck, FailsOnTheFirstFrameAgainstAFirmExpectation)
{
    struct Frame {
        double now;
        sim::Seen seen;
        bool shown;
    };
    struct Case {
        const char* name;
        std::vector<Frame> frames;
        bool checked;
        bool held;
        std::string summary;
    };
    const Case cases[] = {
        {"nothing firm", {{0, sim::Seen::Either, true}, {5, sim::Seen::Either, false}}, false, true, "HUD"},
        {"as expected",
         {{0, sim::Seen::Either, false}, {5, sim::Seen::Shown, true}, {10, sim::Seen::Hidden, false}},
         true,
         true,
         "HUD shown (why), then hidden (why)"},
        {"shown when hidden was expected",
         {{0, sim::Seen::Hidden, false}, {1234, sim::Seen::Hidden, true}, {2000, sim::Seen::Hidden, true}},
         true,
         false,
         "HUD hidden (why); it was not at 1.234 s"},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.name);
        sim::ForecastCheck check;
        for (const Frame& frame : entry.frames) {
            check.Frame(frame.now, {frame.seen, "why"}, frame.shown);
        }
        EXPECT_EQ(check.checked(), entry.checked);
        EXPECT_EQ(check.held(), entry.held);
        EXPECT_EQ(check.Summary(), entry.summary);
    }
}

}  // namespace
