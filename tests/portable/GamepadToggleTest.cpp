#include "FakeXInput.h"
#include "hud/GamepadChord.h"
#include "hud/GamepadState.h"
#include "hud/HUDState.h"
#include "settings/Settings.h"
#include "settings/SettingsFileWatch.h"
#include "support/FakeGameTest.h"
#include "support/SettingsFileStandIn.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr int kF1 = 0x70;
constexpr std::uint16_t kBack = FakeXInput::kBack;
constexpr std::uint16_t kDPadUp = FakeXInput::kDPadUp;
constexpr std::uint16_t kBackAndUp = kBack | kDPadUp;
constexpr const char* kNoXInputLine = "[warning] XInput is not available: the controller toggle is off";

// Passes of the decision with the system's XInput replaced.
class GamepadToggle : public FakeGameTest {
protected:
    void SetUp() override
    {
        Settings.PublishWith(&SettingsRecord::iHUDToggleGamepad, kBackAndUp);
        HUDState.LastTogglePressTime = game.Now() - Clock::FromMilliseconds(10'000);
    }

    // Passes with the chord held on slot 0, then one with it let go.
    void Press(int heldPasses)
    {
        xinput.Hold(0, kBackAndUp);
        for (int i = 0; i < heldPasses; ++i) {
            Pass();
        }
        xinput.Hold(0, 0);
        Pass();
    }

    FakeXInput xinput;
};

// The toggle input is down when one controller holds every button of the
// mask, other buttons or not; a chord spread over two controllers, or one
// button short, is nothing.
TEST_F(GamepadToggle, TheInputIsDownWhileOneControllerHoldsTheWholeChord)
{
    struct Case {
        const char* what;
        std::uint16_t mask;
        std::vector<std::uint16_t> held;  // per connected slot, from 0
        bool down;
    };
    const std::uint16_t kA = FakeXInput::kA;
    for (const Case& row : {
             Case{"the chord", kBackAndUp, {kBackAndUp}, true},
             Case{"the chord and more", kBackAndUp, {kBackAndUp | kA | FakeXInput::kLeftShoulder}, true},
             Case{"Back alone", kBackAndUp, {kBack}, false},
             Case{"D-pad up alone", kBackAndUp, {kDPadUp}, false},
             Case{"nothing held", kBackAndUp, {0}, false},
             Case{"the chord on the fourth controller", kBackAndUp, {0, kBack, 0, kBackAndUp}, true},
             Case{"half the chord on each of two controllers", kBackAndUp, {kBack, kDPadUp}, false},
             Case{"one button of its own", FakeXInput::kY, {FakeXInput::kY}, true},
             Case{"every button", 0xFFFF, {0xFFFF}, true},
             Case{"every button but Start", 0xFFFF, {static_cast<std::uint16_t>(0xFFFF & ~FakeXInput::kStart)}, false},
         }) {
        SCOPED_TRACE(row.what);
        Settings.PublishWith(&SettingsRecord::iHUDToggleGamepad, row.mask);
        HUDState.ToggleKeyHoldTime = 0;
        for (int slot = 0; slot < FakeXInput::kSlots; ++slot) {
            if (static_cast<std::size_t>(slot) < row.held.size()) {
                xinput.Connect(slot, row.held[static_cast<std::size_t>(slot)]);
            } else {
                xinput.Disconnect(slot);
            }
        }
        game.AdvanceMs(2000);  // every slot due for a read
        PassWalkingTheRules();
        EXPECT_EQ(HUDState.ToggleKeyHoldTime, row.down ? 50 : 0);
    }
}

// Held for one pass, the chord is a short press on the pass that sees it let
// go; held on, a long press with its sound. Both are the toggle key's own.
TEST_F(GamepadToggle, AShortAndALongPressActAsTheToggleKeys)
{
    xinput.Connect(0);
    game.ui.SetHUDShown(false);
    Press(1);
    EXPECT_THAT(LinesOf("HandleToggleKeyRelease"),
                Contains("[info] [HandleToggleKeyRelease] called | [HeldTime: 50 | MinRequired: 300] | "
                         "[ElapsedTimeSinceLastTogglePress: 10030 | MinRequired: 300]"));
    EXPECT_THAT(LinesOf("UpdateHUD"), Contains("[info] [UpdateHUD] result = [show] | Toggled ON"));
    EXPECT_TRUE(HUDState.HUDToggleOverride && HUDState.bShowHUD);

    game.AdvanceMs(1000);
    Pass();  // shows the HUD
    log.clear();
    Press(6);  // the count reaches 300 on the sixth pass; the seventh acts
    EXPECT_THAT(game.sounds, ElementsAre("UIMenuGeneralOK"));
    EXPECT_FALSE(HUDState.HUDToggleOverride);
    EXPECT_THAT(LinesOf("HandleToggleKeyRelease"), IsEmpty()) << "no short press follows a long one";
}

// The controller as the fake reads it, for a read that does something first.
Gamepads::Reading (*fakeXInputRead)(std::uint32_t) = nullptr;

// A save loaded on another thread while a pass reads the controller: the long
// press that pass acts on is judged by the settings the pass took, not by the
// reload's, which would refuse it (a time gate of a minute) and play no sound.
TEST_F(GamepadToggle, APressIsJudgedByTheSettingsItsPassTook)
{
    xinput.Connect(0, kBackAndUp);
    for (int i = 0; i < 6; ++i) {
        Pass();  // the count reaches the hold time of 300
    }
    xinput.Hold(0, 0);
    fakeXInputRead = Gamepads::system.read;
    Gamepads::system.read = [](std::uint32_t slot) {
        SettingsRecord reloaded = *Settings;
        reloaded.iHUDToggleMinRequiredTimeSinceLastTogglePress = 60'000;
        reloaded.bPlayUIFeedbackSounds = false;
        Settings.Publish(reloaded);
        return fakeXInputRead(slot);
    };
    Pass();
    Gamepads::system.read = fakeXInputRead;

    ASSERT_EQ(Settings->iHUDToggleMinRequiredTimeSinceLastTogglePress, 60'000) << "the reload came in mid-pass";
    EXPECT_THAT(LinesOf("HandleToggleKeyReleaseLong"),
                Contains("[info] [HandleToggleKeyReleaseLong] called | [HeldTime: 300 | MinRequired: 300]  | "
                         "[ElapsedTimeSinceLastTogglePress: 10105 | MinRequired: 300]"));
    EXPECT_THAT(game.sounds, ElementsAre("UIMenuGeneralActivateFailure"));
}

// The key and the chord are one input: held together they count once per
// pass, and a press begun on one and ended on the other is one press.
TEST_F(GamepadToggle, TheKeyAndTheChordAreOneInput)
{
    Settings.PublishWith(&SettingsRecord::iHUDToggle, kF1);
    xinput.Connect(0, kBackAndUp);
    game.PressKey(kF1);
    Pass();
    Pass();
    EXPECT_EQ(HUDState.ToggleKeyHoldTime, 100);
    EXPECT_EQ(xinput.Reads(0), 2) << "the controller is read while the key is down too";

    game.ReleaseKey(kF1);
    Pass();
    EXPECT_EQ(HUDState.ToggleKeyHoldTime, 150) << "the chord still holds it down";
    xinput.Hold(0, 0);
    log.clear();
    Pass();
    EXPECT_THAT(LinesOf("HandleToggleKeyRelease"),
                Contains(testing::HasSubstr("called | [HeldTime: 150 | MinRequired: 300]")));
}

// A controller is read on every pass that reads the toggle input; an empty
// slot at most every two seconds, so one plugged in is seen within two.
TEST_F(GamepadToggle, AnEmptySlotIsReadAtMostEveryTwoSeconds)
{
    xinput.Connect(0);
    struct Case {
        std::int64_t atMs;  // since the first pass
        int slot0Reads;     // so far
        int emptySlotReads;
    };
    PassWalkingTheRules();
    const Clock::Nanoseconds first = game.Now();
    for (const Case& row :
         {Case{15, 2, 1}, Case{1985, 3, 1}, Case{2000, 4, 2}, Case{2015, 5, 2}, Case{3999, 6, 2}, Case{4015, 7, 3}}) {
        SCOPED_TRACE(row.atMs);
        game.SetNow(first + Clock::FromMilliseconds(row.atMs - 15));
        PassWalkingTheRules();
        EXPECT_EQ(xinput.Reads(0), row.slot0Reads);
        for (int slot = 1; slot < FakeXInput::kSlots; ++slot) {
            EXPECT_EQ(xinput.Reads(slot), row.emptySlotReads) << slot;
        }
    }

    // Plugged in with the chord held: not seen until the slot is due.
    xinput.Connect(2, kBackAndUp);
    PassWalkingTheRules();
    EXPECT_EQ(HUDState.ToggleKeyHoldTime, 0);
    game.AdvanceMs(2000);
    PassWalkingTheRules();
    EXPECT_EQ(HUDState.ToggleKeyHoldTime, 50);
    PassWalkingTheRules();
    EXPECT_EQ(xinput.Reads(2), 5) << "read on every pass once it holds a controller";

    // Unplugged: the next read finds it gone, and the slot waits again.
    xinput.Disconnect(2);
    for (int pass = 0; pass < 10; ++pass) {
        PassWalkingTheRules();
    }
    EXPECT_EQ(xinput.Reads(2), 6);
}

// The controller is read only where the pass reads the toggle input: not on
// a call that the gate holds back, nor on a pass that a rule before the
// toggle ends.
TEST_F(GamepadToggle, OnlyAPassThatReachesTheToggleReadsAController)
{
    xinput.Connect(0);
    Pass();
    xinput.ClearReads();
    game.AdvanceMs(5);
    UpdateHUD();  // held back by the gate
    game.gameMenuPaused = 1;
    PassWalkingTheRules();
    EXPECT_EQ(xinput.Reads(0), 0);
    game.gameMenuPaused = 0;
    PassWalkingTheRules();
    EXPECT_EQ(xinput.Reads(0), 1);
}

// With no buttons set nothing loads XInput, whatever else the toggle does.
TEST_F(GamepadToggle, WithoutButtonsXInputIsNeverLoaded)
{
    Settings.PublishWith(&SettingsRecord::iHUDToggleGamepad, 0);
    xinput.Connect(0, 0xFFFF);
    for (const int toggleKey : {0, kF1}) {
        SCOPED_TRACE(toggleKey);
        Settings.PublishWith(&SettingsRecord::iHUDToggle, toggleKey);
        game.PressKey(kF1);
        Pass();
        game.ReleaseKey(kF1);
        Pass();
    }
    EXPECT_EQ(xinput.Loads(), 0);
    EXPECT_EQ(xinput.Reads(0), 0);
    EXPECT_THAT(LinesOf("HandleToggleKeyRelease"), Contains(testing::HasSubstr("called")))
        << "the key alone still toggles";
}

// Where the system has no XInput, one line says so, logging on or off; no
// later pass or settings reload tries again, and the toggle key still works.
TEST_F(GamepadToggle, WithoutXInputOneLineAndNoOtherTry)
{
    for (const bool logging : {false, true}) {
        SCOPED_TRACE(logging);
        GamepadPolls = GamepadPollRecord{};  // a game started anew
        Settings.bLogging = logging;
        Settings.PublishWith(&SettingsRecord::iHUDToggle, kF1);
        Settings.PublishWith(&SettingsRecord::iHUDToggleGamepad, kBackAndUp);
        xinput.SetMissing(true);
        const int loadsBefore = xinput.Loads();
        log.clear();

        for (int pass = 0; pass < 300; ++pass) {
            Pass();
        }
        {
            const SettingsFileStandIn file({{"iHUDToggleGamepad", "8000"}, {"iHUDToggle", "70"}});
            ReloadINI();
        }
        ASSERT_EQ(Settings->iHUDToggleGamepad, FakeXInput::kY);
        Settings.bLogging = logging;
        game.PressKey(kF1);
        Pass();
        game.ReleaseKey(kF1);
        Pass();

        EXPECT_EQ(xinput.Loads() - loadsBefore, 1);
        EXPECT_EQ(xinput.Reads(0), 0);
        std::vector<std::string> warnings;
        for (const auto& line : log.lines()) {
            if (line.find("XInput") != std::string::npos) {
                warnings.push_back(line);
            }
        }
        EXPECT_THAT(warnings, ElementsAre(kNoXInputLine));
        EXPECT_TRUE(HUDState.HUDToggleOverride) << "the toggle key acted";
        HUDState.HUDToggleOverride = false;
        HUDState.LastTogglePressTime = 0;
    }
}

}  // namespace
