#include "hud/CachedGameObjects.h"
#include "hud/HUDState.h"
#include "hud/ToggleKey.h"
#include "settings/Settings.h"
#include "support/FakeGameTest.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr int kF1 = 0x70;
constexpr Clock::Nanoseconds kMs = Clock::FromMilliseconds(1);

// The handlers' called and exiting lines; the long press's called line has
// two spaces before its second bar.
std::string HandlerLine(const char* handler, const char* verb, int held, std::int64_t elapsed, int minimum = 300)
{
    const std::string name(handler);
    const bool longCalled = name == "HandleToggleKeyReleaseLong" && std::string(verb) == "called";
    return "[info] [" + name + "] " + verb + " | [HeldTime: " + std::to_string(held) + " | MinRequired: 300]" +
           (longCalled ? "  | " : " | ") + "[ElapsedTimeSinceLastTogglePress: " + std::to_string(elapsed) +
           " | MinRequired: " + std::to_string(minimum) + "]";
}

// ---- The handlers, called as the decision calls them

class ToggleHandlers : public FakeGameTest {
protected:
    void SetUp() override { HUDState.LastTogglePressTime = game.Now() - 5234 * kMs; }
};

// A short press forces the HUD off while the game shows it, else on; the UI
// object is the cached one, else the game's, else none (hidden).
TEST_F(ToggleHandlers, AShortPressForcesTheOppositeOfWhatTheGameShows)
{
    enum class UIObject { Game, OtherCached, GameNotCached, None };
    struct Case {
        UIObject ui;
        bool gameShows;
        int result;
    };
    fake::UI cachedUI;
    cachedUI.SetHUDShown(false);
    for (const Case& row :
         {Case{UIObject::Game, true, 0}, Case{UIObject::Game, false, 1}, Case{UIObject::OtherCached, true, 1},
          Case{UIObject::GameNotCached, true, 0}, Case{UIObject::None, true, 1}}) {
        SCOPED_TRACE(static_cast<int>(row.ui));
        HUDState.LastTogglePressTime = game.Now() - 5234 * kMs;
        HUDState.HUDToggleOverride = false;
        game.ui.SetHUDShown(row.gameShows);
        UISingleton = row.ui == UIObject::Game          ? game.ui.get()
                      : row.ui == UIObject::OtherCached ? cachedUI.get()
                                                        : nullptr;
        game.SetGameUIPointer(row.ui == UIObject::None ? nullptr : game.ui.get());
        log.clear();

        EXPECT_EQ(HandleToggleKeyRelease(100), row.result);
        EXPECT_TRUE(HUDState.HUDToggleOverride);
        EXPECT_EQ(HUDState.bShowHUD, row.result == 1);
        EXPECT_EQ(HUDState.LastTogglePressTime, game.Now());
        EXPECT_THAT(log.lines(),
                    ElementsAre(HandlerLine("HandleToggleKeyRelease", "called", 100, 5234),
                                "[info] [HandleToggleKeyRelease] result = [exit] | HUDToggleOverride applied",
                                row.result == 1 ? "[info] [HandleToggleKeyRelease] result = [show] | Toggled ON"
                                                : "[info] [HandleToggleKeyRelease] result = [hide] | Toggled OFF"));
        game.AdvanceMs(1);
    }
}

// A long press gives the HUD back to the rules, with a sound saying whether
// an override was in force.
TEST_F(ToggleHandlers, ALongPressEndsTheOverride)
{
    struct Case {
        bool override;
        bool showHUD;
        bool sounds;
        std::vector<std::string> played;
    };
    for (const Case& row : {Case{true, true, true, {"UIMenuGeneralOK"}}, Case{true, false, true, {"UIMenuGeneralOK"}},
                            Case{false, false, true, {"UIMenuGeneralActivateFailure"}}, Case{true, true, false, {}}}) {
        SCOPED_TRACE(std::to_string(row.override) + std::to_string(row.showHUD) + std::to_string(row.sounds));
        HUDState.LastTogglePressTime = game.Now() - 5234 * kMs;
        HUDState.HUDToggleOverride = row.override;
        HUDState.bShowHUD = row.showHUD;
        Settings.PublishWith(&SettingsRecord::bPlayUIFeedbackSounds, row.sounds);
        game.sounds.clear();
        game.soundVolumes.clear();
        log.clear();

        HandleToggleKeyReleaseLong(300);
        EXPECT_FALSE(HUDState.HUDToggleOverride);
        EXPECT_FALSE(HUDState.bShowHUD);
        EXPECT_EQ(HUDState.LastTogglePressTime, game.Now());
        EXPECT_EQ(game.sounds, row.played);
        EXPECT_EQ(game.soundVolumes, std::vector<double>(row.played.size(), 1.0));
        EXPECT_THAT(log.lines(), ElementsAre(HandlerLine("HandleToggleKeyReleaseLong", "called", 300, 5234),
                                             "[info] [HandleToggleKeyReleaseLong] deactivating toggle in effect"));
        game.AdvanceMs(1);
    }
}

// Both handlers refuse a press within the minimum time of the last acting
// one, counted in whole milliseconds, and change nothing.
TEST_F(ToggleHandlers, APressTooSoonAfterTheLastIsRefused)
{
    struct Case {
        bool longPress;
        std::int32_t minimum;
        std::optional<Clock::Nanoseconds> since;  // none: no press yet in this process
        std::optional<std::int64_t> refusedAt;    // the elapsed milliseconds logged, if refused
    };
    for (const Case& row :
         {Case{false, 300, 200 * kMs, 200}, Case{true, 300, 200 * kMs, 200}, Case{false, 300, 300 * kMs - 1, 299},
          Case{true, 300, 300 * kMs - 1, 299}, Case{false, 300, 300 * kMs, {}}, Case{true, 300, 300 * kMs, {}},
          Case{false, 1000, 999 * kMs, 999}, Case{false, 1000, 1000 * kMs, {}}, Case{false, 300, {}, {}}}) {
        SCOPED_TRACE(std::to_string(row.longPress) + " " + std::to_string(row.minimum) + " " +
                     std::to_string(row.since.value_or(-1)));
        Settings.PublishWith(&SettingsRecord::iHUDToggleMinRequiredTimeSinceLastTogglePress, row.minimum);
        const Clock::Nanoseconds stamp = row.since ? game.Now() - *row.since : 0;
        HUDState.LastTogglePressTime = stamp;
        HUDState.HUDToggleOverride = HUDState.bShowHUD = true;
        game.sounds.clear();
        log.clear();

        const char* handler = row.longPress ? "HandleToggleKeyReleaseLong" : "HandleToggleKeyRelease";
        int result = 0;  // the game shows the HUD: an acting short press forces it off
        if (row.longPress) {
            HandleToggleKeyReleaseLong(300);
        } else {
            result = HandleToggleKeyRelease(300);
        }
        if (row.refusedAt) {
            EXPECT_EQ(result, row.longPress ? 0 : -1);
            EXPECT_THAT(log.lines(), ElementsAre(HandlerLine(handler, "exiting", 300, *row.refusedAt, row.minimum)));
            EXPECT_TRUE(HUDState.HUDToggleOverride && HUDState.bShowHUD);
            EXPECT_EQ(HUDState.LastTogglePressTime, stamp);
            EXPECT_THAT(game.sounds, IsEmpty());
        } else {
            EXPECT_EQ(result, 0);
            EXPECT_EQ(HUDState.LastTogglePressTime, game.Now());
        }
        game.AdvanceMs(1);
    }
}

// ---- The press cycle, as the decision's passes see the key

class TogglePressCycle : public FakeGameTest {
protected:
    void SetUp() override
    {
        Settings.PublishWith(&SettingsRecord::iHUDToggle, kF1);
        HUDState.LastTogglePressTime = game.Now() - 10'000 * kMs;
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
};

// A tap seen down on one pass is a short press of 50 on the next. One that
// hides queues the disable, which the override lets through on the very next
// pass, without the keep-shown delay.
TEST_F(TogglePressCycle, AShortTapFlipsTheHUDOnThePassAfterItsRelease)
{
    for (const bool shown : {false, true}) {
        SCOPED_TRACE(shown);
        HUDState.LastTogglePressTime = game.Now() - 10'000 * kMs;
        game.ui.SetHUDShown(shown);
        game.hudVisibleCalls.clear();
        log.clear();
        Tap(1);
        EXPECT_THAT(LinesOf("HandleToggleKeyRelease"),
                    Contains(HandlerLine("HandleToggleKeyRelease", "called", 50, 10'030)));
        EXPECT_EQ(HUDState.ToggleKeyHoldTime, 0);
        EXPECT_EQ(HUDState.bShowHUD, !shown);
        EXPECT_EQ(HUDState.HUDRequest, shown ? kHUDRequestDisableQueued : kHUDRequestEnable);
        if (!shown) {
            EXPECT_THAT(LinesOf("UpdateHUD"), Contains("[info] [UpdateHUD] result = [show] | Toggled ON"));
        }
        EXPECT_THAT(game.hudVisibleCalls, IsEmpty());
        Pass();
        EXPECT_THAT(game.hudVisibleCalls, ElementsAre(!shown));
    }
}

TEST_F(TogglePressCycle, ARefusedPressLeavesTheHUDAsTheOverrideHasIt)
{
    Tap(1);  // forced hidden
    Pass();  // hides it
    ASSERT_FALSE(game.ui.HUDShown());
    log.clear();

    game.AdvanceMs(155);
    Tap(1);  // released 200 ms after the first press acted
    EXPECT_THAT(LinesOf("HandleToggleKeyRelease"),
                ElementsAre(HandlerLine("HandleToggleKeyRelease", "exiting", 50, 200)));
    EXPECT_THAT(LinesOf("UpdateHUD"),
                Contains("[info] [UpdateHUD] result = [hide] | HUDToggleOverride [bShowHUD=FALSE] is active"));
    EXPECT_FALSE(game.ui.HUDShown());
}

// Held on, the key is a long press on the pass that sees the count reach the
// minimum, and again each time it reaches it anew: the repeat acts 700 ms
// after the previous one and is refused 105 ms after. No short press follows.
TEST_F(TogglePressCycle, AHeldKeyIsALongPressEachTimeTheCountReachesTheMinimum)
{
    for (const std::int64_t extraMsPerPass : {85, 0}) {
        SCOPED_TRACE(extraMsPerPass);
        HUDState.LastTogglePressTime = game.Now() - 10'000 * kMs;
        HUDState.HUDToggleOverride = HUDState.bShowHUD = true;
        game.sounds.clear();
        game.PressKey(kF1);
        for (int pass = 1; pass <= 14; ++pass) {
            game.AdvanceMs(extraMsPerPass);
            log.clear();
            Pass();
            EXPECT_EQ(game.sounds.empty(), pass < 7) << pass;
            if (pass == 7) {
                EXPECT_FALSE(HUDState.HUDToggleOverride);
                EXPECT_TRUE(HUDState.ToggleLongPressDone);
                EXPECT_THAT(LinesOf("HandleToggleKeyReleaseLong"),
                            Contains(HandlerLine("HandleToggleKeyReleaseLong", "called", 300,
                                                 10'000 + 7 * (15 + extraMsPerPass))));
            }
        }
        const std::vector<std::string> once{"UIMenuGeneralOK"};
        const std::vector<std::string> twice{"UIMenuGeneralOK", "UIMenuGeneralActivateFailure"};
        EXPECT_EQ(game.sounds, extraMsPerPass > 0 ? twice : once);
        if (extraMsPerPass == 0) {
            EXPECT_THAT(LinesOf("HandleToggleKeyReleaseLong"),
                        ElementsAre(HandlerLine("HandleToggleKeyReleaseLong", "exiting", 300, 105)));
        }
        EXPECT_EQ(HUDState.ToggleKeyHoldTime, 0) << "the count restarts after each try";

        game.ReleaseKey(kF1);
        log.clear();
        Pass();
        EXPECT_FALSE(HUDState.ToggleLongPressDone);
        EXPECT_THAT(log.lines(), IsEmpty()) << "no short press follows a long one";
    }
    game.sneaking = true;
    Pass();
    EXPECT_THAT(LinesOf("UpdateHUD"), Contains("[info] [UpdateHUD] result = [show] | IsSneaking"));
}

// Another key down is no toggle key.
TEST_F(TogglePressCycle, ListensToTheConfiguredKeyOnly)
{
    game.sneaking = true;
    game.PressKey(kF1 + 1);
    Pass();
    EXPECT_EQ(HUDState.ToggleKeyHoldTime, 0);
    EXPECT_THAT(LinesOf("UpdateHUD"), ElementsAre("[info] [UpdateHUD] result = [show] | IsSneaking"));
}

}  // namespace
