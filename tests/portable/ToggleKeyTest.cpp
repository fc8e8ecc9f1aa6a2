#include "GamePointers.h"
#include "HUDState.h"
#include "Settings.h"
#include "ToggleKey.h"
#include "UpdateHUD.h"
#include "support/FakeGameTest.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr int kF1 = 0x70;

std::string CalledLine(const char* handler, int held, std::int64_t elapsed, const char* bar = " | ")
{
    return "[info] [" + std::string(handler) + "] called | [HeldTime: " + std::to_string(held) +
           " | MinRequired: 300]" + bar + "[ElapsedTimeSinceLastTogglePress: " + std::to_string(elapsed) +
           " | MinRequired: 300]";
}

std::string ExitingLine(const char* handler, int held, std::int64_t elapsed)
{
    return "[info] [" + std::string(handler) + "] exiting | [HeldTime: " + std::to_string(held) +
           " | MinRequired: 300] | [ElapsedTimeSinceLastTogglePress: " + std::to_string(elapsed) +
           " | MinRequired: 300]";
}

// ---- A short press: the HUD forced off when the game shows it, else on

class ShortPress : public FakeGameTest {
protected:
    void SetUp() override { HUDState.LastTogglePressTime = game.Now() - Clock::FromMilliseconds(5234); }
};

TEST_F(ShortPress, ForcesTheHUDOffWhileTheGameShowsIt)
{
    EXPECT_EQ(HandleToggleKeyRelease(100), 0);
    EXPECT_TRUE(HUDState.HUDToggleOverride);
    EXPECT_FALSE(HUDState.bShowHUD);
    EXPECT_EQ(HUDState.LastTogglePressTime, game.Now());
    EXPECT_THAT(log.lines(), ElementsAre(CalledLine("HandleToggleKeyRelease", 100, 5234),
                                         "[info] [HandleToggleKeyRelease] result = [exit] | HUDToggleOverride applied",
                                         "[info] [HandleToggleKeyRelease] result = [hide] | Toggled OFF"));
}

TEST_F(ShortPress, ForcesTheHUDOnWhileTheGameHidesIt)
{
    game.ui.SetHUDShown(false);
    EXPECT_EQ(HandleToggleKeyRelease(100), 1);
    EXPECT_TRUE(HUDState.HUDToggleOverride);
    EXPECT_TRUE(HUDState.bShowHUD);
    EXPECT_THAT(log.lines(), ElementsAre(CalledLine("HandleToggleKeyRelease", 100, 5234),
                                         "[info] [HandleToggleKeyRelease] result = [exit] | HUDToggleOverride applied",
                                         "[info] [HandleToggleKeyRelease] result = [show] | Toggled ON"));
}

TEST_F(ShortPress, FlipsAForcedStateOnEachPress)
{
    ASSERT_EQ(HandleToggleKeyRelease(50), 0);
    game.ui.SetHUDShown(false);  // the next pass hid it
    game.AdvanceMs(300);
    EXPECT_EQ(HandleToggleKeyRelease(50), 1);
    EXPECT_TRUE(HUDState.HUDToggleOverride);
    EXPECT_TRUE(HUDState.bShowHUD);
}

TEST_F(ShortPress, TakesTheCachedUIObjectBeforeTheGames)
{
    fake::UI cachedUI;
    cachedUI.SetHUDShown(false);
    UISingleton = cachedUI.get();
    EXPECT_EQ(HandleToggleKeyRelease(50), 1);
}

TEST_F(ShortPress, FallsBackToTheGamesUIObjectWithoutACachedOne)
{
    UISingleton = nullptr;
    EXPECT_EQ(HandleToggleKeyRelease(50), 0);
}

TEST_F(ShortPress, TreatsTheHUDAsHiddenWithoutAnyUIObject)
{
    UISingleton = nullptr;
    game.SetGameUIPointer(nullptr);
    EXPECT_EQ(HandleToggleKeyRelease(50), 1);
    EXPECT_TRUE(HUDState.bShowHUD);
}

TEST_F(ShortPress, StampsTheTimeWithAFreshClockReading)
{
    game.SetStepPerReading(1'000);
    const Clock::Nanoseconds before = game.Now();
    HandleToggleKeyRelease(50);
    EXPECT_GT(HUDState.LastTogglePressTime, before);
}

// ---- A long press: back to automatic control

class LongPress : public FakeGameTest {
protected:
    void SetUp() override { HUDState.LastTogglePressTime = game.Now() - Clock::FromMilliseconds(5234); }
};

TEST_F(LongPress, EndsAForcedStateWithTheConfirmingSound)
{
    HUDState.HUDToggleOverride = true;
    HUDState.bShowHUD = true;
    HandleToggleKeyReleaseLong(300);

    EXPECT_FALSE(HUDState.HUDToggleOverride);
    EXPECT_FALSE(HUDState.bShowHUD);
    EXPECT_EQ(HUDState.LastTogglePressTime, game.Now());
    EXPECT_THAT(game.sounds, ElementsAre("UIMenuGeneralOK"));
    EXPECT_THAT(game.soundVolumes, ElementsAre(1.0));
    // The called line of the long press has two spaces before its second bar.
    EXPECT_THAT(log.lines(), ElementsAre(CalledLine("HandleToggleKeyReleaseLong", 300, 5234, "  | "),
                                         "[info] [HandleToggleKeyReleaseLong] deactivating toggle in effect"));
}

TEST_F(LongPress, WithoutAForcedStatePlaysTheFailureSoundAndStillStampsTheTime)
{
    HandleToggleKeyReleaseLong(350);
    EXPECT_THAT(game.sounds, ElementsAre("UIMenuGeneralActivateFailure"));
    EXPECT_FALSE(HUDState.HUDToggleOverride);
    EXPECT_EQ(HUDState.LastTogglePressTime, game.Now());

    game.AdvanceMs(299);
    EXPECT_EQ(HandleToggleKeyRelease(50), -1) << "a short press within the gate after it is refused";
}

TEST_F(LongPress, EndsAForcedHiddenStateToo)
{
    HUDState.HUDToggleOverride = true;
    HUDState.bShowHUD = false;
    HandleToggleKeyReleaseLong(300);
    EXPECT_THAT(game.sounds, ElementsAre("UIMenuGeneralOK"));
    EXPECT_FALSE(HUDState.HUDToggleOverride);
}

TEST_F(LongPress, PlaysNoSoundWhenSoundsAreOff)
{
    Settings.bPlayUIFeedbackSounds = false;
    HUDState.HUDToggleOverride = true;
    HUDState.bShowHUD = true;
    HandleToggleKeyReleaseLong(300);
    EXPECT_THAT(game.sounds, IsEmpty());
    EXPECT_FALSE(HUDState.HUDToggleOverride);
    EXPECT_FALSE(HUDState.bShowHUD);
}

// ---- The gate both handlers share

class ToggleGate : public FakeGameTest {
protected:
    void SetUp() override
    {
        HUDState.LastTogglePressTime = game.Now();
        HUDState.HUDToggleOverride = true;
        HUDState.bShowHUD = true;
    }
};

TEST_F(ToggleGate, RefusesAShortPressWithinTheMinimumTime)
{
    const Clock::Nanoseconds stamp = HUDState.LastTogglePressTime;
    game.AdvanceMs(200);
    EXPECT_EQ(HandleToggleKeyRelease(50), -1);
    EXPECT_TRUE(HUDState.HUDToggleOverride);
    EXPECT_TRUE(HUDState.bShowHUD);
    EXPECT_EQ(HUDState.LastTogglePressTime, stamp);
    EXPECT_THAT(log.lines(), ElementsAre(ExitingLine("HandleToggleKeyRelease", 50, 200)));
}

TEST_F(ToggleGate, RefusesALongPressWithinTheMinimumTime)
{
    const Clock::Nanoseconds stamp = HUDState.LastTogglePressTime;
    game.AdvanceMs(200);
    HandleToggleKeyReleaseLong(300);
    EXPECT_TRUE(HUDState.HUDToggleOverride);
    EXPECT_TRUE(HUDState.bShowHUD);
    EXPECT_EQ(HUDState.LastTogglePressTime, stamp);
    EXPECT_THAT(game.sounds, IsEmpty());
    EXPECT_THAT(log.lines(), ElementsAre(ExitingLine("HandleToggleKeyReleaseLong", 300, 200)));
}

TEST_F(ToggleGate, CountsWholeMillisecondsAndOpensAtTheMinimum)
{
    game.AdvanceNs(Clock::FromMilliseconds(300) - 1);
    EXPECT_EQ(HandleToggleKeyRelease(50), -1);
    EXPECT_THAT(log.lines(), ElementsAre(ExitingLine("HandleToggleKeyRelease", 50, 299)));
    game.AdvanceNs(1);
    EXPECT_EQ(HandleToggleKeyRelease(50), 0);
}

TEST_F(ToggleGate, TakesItsMinimumFromTheSettings)
{
    Settings.iHUDToggleMinRequiredTimeSinceLastTogglePress = 1000;
    game.AdvanceMs(999);
    EXPECT_EQ(HandleToggleKeyRelease(50), -1);
    game.AdvanceMs(1);
    EXPECT_EQ(HandleToggleKeyRelease(50), 0);
}

TEST_F(ToggleGate, LetsTheFirstPressOfTheProcessThrough)
{
    HUDState.LastTogglePressTime = 0;
    EXPECT_EQ(HandleToggleKeyRelease(50), 0);
}

// ---- PlayUISound

using UISound = FakeGameTest;

TEST_F(UISound, AsksTheGameToPlayTheNamedSound)
{
    EXPECT_TRUE(PlayUISound("UIMenuGeneralOK", 0.5));
    EXPECT_THAT(game.sounds, ElementsAre("UIMenuGeneralOK"));
    EXPECT_THAT(game.soundVolumes, ElementsAre(0.5));
}

TEST_F(UISound, PlaysNothingForAnEmptyName)
{
    EXPECT_FALSE(PlayUISound("", 1.0));
    EXPECT_THAT(game.sounds, IsEmpty());
}

// ---- The press cycle, as the decision's passes see the key

class TogglePressCycle : public FakeGameTest {
protected:
    void SetUp() override
    {
        Settings.iHUDToggle = kF1;
        HUDState.LastTogglePressTime = game.Now() - Clock::FromMilliseconds(10'000);
    }

    // Passes with the toggle key down, then one with it up.
    void Tap(int downPasses)
    {
        game.PressKey(kF1);
        for (int i = 0; i < downPasses; ++i) {
            Pass();
        }
        game.ReleaseKey(kF1);
        Pass();
    }

    [[nodiscard]] std::vector<std::string> HandlerLines() const
    {
        auto lines = LinesOf("HandleToggleKeyRelease");
        const auto longLines = LinesOf("HandleToggleKeyReleaseLong");
        lines.insert(lines.end(), longLines.begin(), longLines.end());
        return lines;
    }
};

TEST_F(TogglePressCycle, WhileTheKeyIsDownEveryPassEndsAtTheKey)
{
    game.sneaking = true;  // would show, were the rules after the key walked
    game.PressKey(kF1);
    for (int pass = 1; pass <= 4; ++pass) {
        Pass();
        EXPECT_EQ(HUDState.ToggleKeyHoldTime, 50 * pass);
    }
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestNone);
    EXPECT_EQ(game.calls.isSneaking, 0);
    EXPECT_THAT(HandlerLines(), IsEmpty());
}

TEST_F(TogglePressCycle, AShortTapSeenDownOnOnePassIsAShortPressOf50)
{
    game.ui.SetHUDShown(false);
    Tap(1);
    EXPECT_THAT(LinesOf("HandleToggleKeyRelease"), Contains(CalledLine("HandleToggleKeyRelease", 50, 10'030)));
    EXPECT_EQ(HUDState.ToggleKeyHoldTime, 0);
    EXPECT_TRUE(HUDState.HUDToggleOverride);
    EXPECT_THAT(LinesOf("UpdateHUD"), Contains("[info] [UpdateHUD] result = [show] | Toggled ON"));
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestEnable);

    Pass();
    EXPECT_THAT(game.hudVisibleCalls, ElementsAre(true));
}

// A short press that hides queues the disable, which the override lets
// through on the very next pass, without the keep-shown delay.
TEST_F(TogglePressCycle, AShortPressWhileTheHUDIsShownHidesItOnTheNextPass)
{
    Tap(2);
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestDisableQueued);
    EXPECT_EQ(HUDState.HUDQueuedToDisableTime, game.Now());
    EXPECT_FALSE(HUDState.bShowHUD);
    EXPECT_THAT(game.hudVisibleCalls, IsEmpty());

    Pass();
    EXPECT_THAT(game.hudVisibleCalls, ElementsAre(false));
    EXPECT_FALSE(game.ui.HUDShown());
    EXPECT_THAT(LinesOf("UpdateHUD"), Contains("[info] [UpdateHUD] result = [RequestDisable]"));
}

TEST_F(TogglePressCycle, ARefusedPressLeavesTheHUDAsTheOverrideHasIt)
{
    Tap(1);  // forced hidden
    Pass();  // hides it
    ASSERT_FALSE(game.ui.HUDShown());
    log.clear();

    game.AdvanceMs(155);
    Tap(1);  // released 200 ms after the first press acted
    EXPECT_THAT(LinesOf("HandleToggleKeyRelease"), ElementsAre(ExitingLine("HandleToggleKeyRelease", 50, 200)));
    EXPECT_THAT(LinesOf("UpdateHUD"),
                Contains("[info] [UpdateHUD] result = [hide] | HUDToggleOverride [bShowHUD=FALSE] is active"));
    EXPECT_FALSE(HUDState.bShowHUD);
    EXPECT_FALSE(game.ui.HUDShown());
}

TEST_F(TogglePressCycle, AHoldReachingTheMinimumIsALongPressAndItsReleaseDoesNothing)
{
    HUDState.HUDToggleOverride = true;
    HUDState.bShowHUD = true;
    game.PressKey(kF1);
    for (int pass = 0; pass < 6; ++pass) {
        Pass();
    }
    ASSERT_EQ(HUDState.ToggleKeyHoldTime, 300);
    EXPECT_THAT(game.sounds, IsEmpty());

    Pass();  // the count has reached the minimum
    EXPECT_THAT(game.sounds, ElementsAre("UIMenuGeneralOK"));
    EXPECT_FALSE(HUDState.HUDToggleOverride);
    EXPECT_EQ(HUDState.ToggleKeyHoldTime, 0);
    EXPECT_TRUE(HUDState.ToggleLongPressDone);
    EXPECT_THAT(LinesOf("HandleToggleKeyReleaseLong"),
                Contains(CalledLine("HandleToggleKeyReleaseLong", 300, 10'105, "  | ")));

    log.clear();
    game.ReleaseKey(kF1);
    Pass();
    EXPECT_FALSE(HUDState.ToggleLongPressDone);
    EXPECT_EQ(HUDState.ToggleKeyHoldTime, 0);
    EXPECT_THAT(HandlerLines(), IsEmpty()) << "no short press follows a long one";
    EXPECT_THAT(game.sounds, ElementsAre("UIMenuGeneralOK"));

    game.sneaking = true;
    Pass();
    EXPECT_THAT(LinesOf("UpdateHUD"), Contains("[info] [UpdateHUD] result = [show] | IsSneaking"))
        << "the rules after the key run again";
}

TEST_F(TogglePressCycle, HoldingOnRepeatsTheLongPressEachTimeTheCountReachesTheMinimum)
{
    game.PressKey(kF1);
    for (int pass = 0; pass < 7; ++pass) {
        game.AdvanceMs(85);  // 100 ms per pass
        Pass();
    }
    EXPECT_THAT(game.sounds, ElementsAre("UIMenuGeneralActivateFailure"));
    for (int pass = 0; pass < 6; ++pass) {
        game.AdvanceMs(85);
        Pass();
    }
    EXPECT_EQ(game.sounds.size(), 1U) << "counting up again";
    game.AdvanceMs(85);
    Pass();
    EXPECT_THAT(game.sounds, ElementsAre("UIMenuGeneralActivateFailure", "UIMenuGeneralActivateFailure"));
    EXPECT_THAT(LinesOf("HandleToggleKeyRelease"), IsEmpty());
}

TEST_F(TogglePressCycle, ARepeatedLongPressWithinTheMinimumTimeIsRefused)
{
    game.PressKey(kF1);
    for (int pass = 0; pass < 7; ++pass) {
        Pass();
    }
    ASSERT_THAT(game.sounds, ElementsAre("UIMenuGeneralActivateFailure"));
    log.clear();
    for (int pass = 0; pass < 7; ++pass) {
        Pass();
    }
    EXPECT_THAT(game.sounds, ElementsAre("UIMenuGeneralActivateFailure")) << "refused: 105 ms after the first";
    EXPECT_THAT(LinesOf("HandleToggleKeyReleaseLong"),
                ElementsAre(ExitingLine("HandleToggleKeyReleaseLong", 300, 105)));
    EXPECT_EQ(HUDState.ToggleKeyHoldTime, 0) << "the count restarts after a refused long press too";
}

TEST_F(TogglePressCycle, WithAMinimumHoldOf50OrLessOnlyTheLongPressEverRuns)
{
    Settings.iHUDToggleMinHoldTime = 50;
    HUDState.HUDToggleOverride = true;
    HUDState.bShowHUD = true;
    Tap(1);
    EXPECT_THAT(game.sounds, ElementsAre("UIMenuGeneralOK"));
    EXPECT_FALSE(HUDState.HUDToggleOverride);
    EXPECT_THAT(LinesOf("HandleToggleKeyRelease"), IsEmpty());
    Pass();
    EXPECT_FALSE(HUDState.ToggleLongPressDone);
    EXPECT_THAT(LinesOf("HandleToggleKeyRelease"), IsEmpty());
}

TEST_F(TogglePressCycle, IsOffWithoutAToggleKey)
{
    Settings.iHUDToggle = 0;
    game.sneaking = true;
    game.PressKey(kF1);
    Pass();
    EXPECT_EQ(HUDState.ToggleKeyHoldTime, 0);
    EXPECT_THAT(LinesOf("UpdateHUD"), Contains("[info] [UpdateHUD] result = [show] | IsSneaking"));
}

TEST_F(TogglePressCycle, ListensToTheConfiguredKeyOnly)
{
    game.PressKey(kF1 + 1);
    Pass();
    EXPECT_EQ(HUDState.ToggleKeyHoldTime, 0);
    EXPECT_THAT(LinesOf("UpdateHUD"), Contains("[info] [UpdateHUD] result = [hide]"));
}

}  // namespace
