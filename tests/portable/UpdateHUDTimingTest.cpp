#include "hud/HUDState.h"
#include "hud/UpdateHUD.h"
#include "settings/Settings.h"
#include "support/FakeGameTest.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr Clock::Nanoseconds kMs = Clock::FromMilliseconds(1);
constexpr Clock::Nanoseconds kGate = 15 * kMs;

std::string Line(const std::string& result)
{
    return "[info] [UpdateHUD] result = " + result;
}

// Passes as the game makes them, with the clock under the test's control.
class DecisionTiming : public FakeGameTest {
protected:
    // The lines of one pass at `now`.
    std::vector<std::string> PassLines(Clock::Nanoseconds now)
    {
        log.clear();
        game.SetNow(now);
        UpdateHUD();
        return LinesOf("UpdateHUD");
    }
};

// ---- The 15 ms gate

// A stamp in the future holds passes off too, until 15 ms past it.
TEST_F(DecisionTiming, APassWithin15msOfTheLastOneOnlyLogs)
{
    struct Case {
        Clock::Nanoseconds lastUpdate;
        Clock::Nanoseconds passAt;
        bool held;
    };
    game.player.SetWeaponState(1);
    const Clock::Nanoseconds now = game.Now();
    for (const Case& row :
         {Case{now, now + kGate - 1, true}, Case{now, now + kGate, false}, Case{now + 500 * kMs, now, true},
          Case{now + 500 * kMs, now + 515 * kMs - 1, true}, Case{now + 500 * kMs, now + 515 * kMs, false}}) {
        SCOPED_TRACE((row.passAt - row.lastUpdate) / 1'000);
        HUDState.HUDRequest = kHUDRequestNone;
        HUDState.LastUpdateTime = row.lastUpdate;
        game.ClearRecords();
        const auto lines = PassLines(row.passAt);
        if (row.held) {
            EXPECT_THAT(lines, ElementsAre(Line("[exit] | RecentLastUpdate")));
            EXPECT_EQ(HUDState.LastUpdateTime, row.lastUpdate);
            EXPECT_EQ(HUDState.HUDRequest, kHUDRequestNone);
            EXPECT_EQ(game.calls.isGameMenuPaused + game.calls.isMenuOpen, 0);
        } else {
            EXPECT_THAT(lines, ElementsAre(Line("[show] | IsWeaponDrawn")));
            EXPECT_EQ(HUDState.LastUpdateTime, row.passAt);
        }
    }
}

TEST_F(DecisionTiming, WritesNothingWhileLoggingIsOffAndStillDecides)
{
    Settings.bLogging = false;
    game.ui.SetHUDShown(false);
    game.player.SetWeaponState(1);
    Pass();
    Pass();
    UpdateHUD();  // gated
    EXPECT_THAT(game.hudVisibleCalls, ElementsAre(true));
    EXPECT_THAT(log.lines(), IsEmpty());
}

// ---- Leaving the HUD alone

TEST_F(DecisionTiming, WhileTheHUDMustBeLeftAloneAPassOnlyDropsThePendingRequest)
{
    game.ui.SetMenus({"HUDMenu", "PlayBinkMenu"});
    game.ui.SetHUDShown(false);
    game.sneaking = true;
    HUDState.HUDRequest = kHUDRequestEnable;
    HUDState.LastUpdateTime = 1234;

    EXPECT_THAT(PassLines(game.Now() + kGate), ElementsAre(Line("[show] | UnityInProcess")));
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestNone);
    EXPECT_EQ(HUDState.LastUpdateTime, 1234);
    EXPECT_THAT(game.hudVisibleCalls, IsEmpty());
    EXPECT_EQ(game.calls.isSneaking, 0);
}

// ---- Requests carried over to the next pass

TEST_F(DecisionTiming, AShowIsCarriedOutOnThePassAfterTheRuleFired)
{
    game.ui.SetHUDShown(false);
    game.sneaking = true;

    Pass();
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestEnable);
    EXPECT_THAT(game.hudVisibleCalls, IsEmpty());
    game.ClearRecords();

    EXPECT_THAT(PassLines(game.Now() + kGate), ElementsAre(Line("[RequestEnable]")));
    EXPECT_THAT(game.hudVisibleCalls, ElementsAre(true));
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestNone);
    EXPECT_EQ(game.calls.isSneaking, 0) << "the enable pass walks no rule";

    // While the rule keeps firing, passes alternate between the two.
    Pass();
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestEnable);
    Pass();
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestNone);
    EXPECT_THAT(game.hudVisibleCalls, ElementsAre(true)) << "already shown";
}

// ---- Keep-shown timers

// A queued hide takes effect once iKeepHUDShownMS has passed since it; no
// new hide is taken meanwhile, and a reason returning replaces it.
TEST_F(DecisionTiming, AVanishedReasonKeepsTheHUDForTheKeepShownTimeAfterTheFirstHide)
{
    for (const std::int32_t keepShownMS : {2000, 500}) {
        SCOPED_TRACE(keepShownMS);
        Settings.PublishWith(&SettingsRecord::iKeepHUDShownMS, keepShownMS);
        game.ui.SetHUDShown(true);
        game.ClearRecords();
        const Clock::Nanoseconds hidden = game.Now() + kGate;
        EXPECT_THAT(PassLines(hidden), ElementsAre(Line("[hide]")));
        EXPECT_EQ(HUDState.HUDRequest, kHUDRequestDisableQueued);
        EXPECT_EQ(HUDState.HUDQueuedToDisableTime, hidden);

        for (Clock::Nanoseconds at = hidden + kGate; at <= hidden + keepShownMS * kMs - kGate; at += kGate) {
            EXPECT_THAT(PassLines(at), ElementsAre(Line("[exit] | HUDQueuedToDisable")));
        }
        EXPECT_EQ(HUDState.HUDQueuedToDisableTime, hidden);
        EXPECT_THAT(game.hudVisibleCalls, IsEmpty());

        EXPECT_THAT(PassLines(hidden + keepShownMS * kMs), ElementsAre(Line("[RequestDisable]")));
        EXPECT_THAT(game.hudVisibleCalls, ElementsAre(false));
        EXPECT_EQ(HUDState.HUDRequest, kHUDRequestNone);
    }

    Pass();
    game.sneaking = true;
    Pass();
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestEnable) << "a show replaces the queued hide";
}

// Which timer holds a hide back, each running (one nanosecond short of its
// setting in whole milliseconds) or just run out; the long message is asked
// first, and the toggle override lets a queued hide through at once.
TEST_F(DecisionTiming, TheKeepShownTimersHoldAHideInTheirOrder)
{
    struct Case {
        std::int32_t request;
        bool override;
        bool queuedRuns;
        bool longRuns;
        const char* line;
    };
    const Case cases[] = {
        {kHUDRequestNone, false, true, true, "[exit] | LongHUDMessage"},
        {kHUDRequestNone, false, false, true, "[exit] | LongHUDMessage"},
        {kHUDRequestNone, false, true, false, "[exit] | HUDQueuedToDisable"},
        {kHUDRequestNone, false, false, false, "[hide]"},
        {kHUDRequestDisableQueued, false, true, true, "[exit] | LongHUDMessage"},
        {kHUDRequestDisableQueued, false, false, true, "[exit] | LongHUDMessage"},
        {kHUDRequestDisableQueued, false, true, false, "[exit] | HUDQueuedToDisable"},
        {kHUDRequestDisableQueued, false, false, false, "[RequestDisable]"},
        {kHUDRequestDisableQueued, true, true, true, "[RequestDisable]"},
    };
    Settings.PublishWith(&SettingsRecord::iKeepHUDShownMS, 3000);
    for (const Case& row : cases) {
        SCOPED_TRACE(std::to_string(row.request) + (row.override ? " override " : " ") +
                     std::to_string(row.queuedRuns) + std::to_string(row.longRuns));
        const Clock::Nanoseconds now = game.Now() + kGate;
        HUDState.HUDRequest = row.request;
        HUDState.HUDToggleOverride = row.override;
        HUDState.HUDQueuedToDisableTime = now - 3000 * kMs + (row.queuedRuns ? 1 : 0);
        HUDState.LongHUDMessageTime = now - 7500 * kMs + (row.longRuns ? 1 : 0);
        EXPECT_THAT(PassLines(now), ElementsAre(Line(row.line)));
    }
}

// With an overrider at 0 its menu hides the HUD: the rule fires on every pass,
// and the hide it queued is carried out iKeepHUDShownMS after the first one.
TEST_F(DecisionTiming, AHideRuleThatKeepsFiringHidesTheHUDAfterTheKeepShownTime)
{
    Settings.PublishWith(&SettingsRecord::iMenuOverriderShipHUDMenu, false);
    Settings.PublishWith(&SettingsRecord::iKeepHUDShownMS, 300);
    game.ui.SetMenus({"HUDMenu", "SpaceshipHudMenu"});
    const Clock::Nanoseconds first = game.Now() + kGate;
    EXPECT_THAT(PassLines(first), ElementsAre(Line("[hide] | MenuOverrider [SpaceshipHudMenu] is active")));
    for (Clock::Nanoseconds at = first + kGate; at < first + 300 * kMs; at += kGate) {
        PassLines(at);
    }
    EXPECT_EQ(HUDState.HUDQueuedToDisableTime, first);
    EXPECT_THAT(game.hudVisibleCalls, IsEmpty());
    EXPECT_THAT(PassLines(first + 300 * kMs), ElementsAre(Line("[RequestDisable]")));
    EXPECT_THAT(game.hudVisibleCalls, ElementsAre(false));
}

TEST_F(DecisionTiming, AHideTheGameCannotTakeForAnOpenMenuBecomesAShow)
{
    game.ui.SetMenus({"HUDMenu", "InventoryMenu"});
    game.ui.SetHUDShown(false);
    HUDState.HUDRequest = kHUDRequestDisableQueued;

    Pass();
    EXPECT_THAT(game.hudVisibleCalls, ElementsAre(true));
    EXPECT_THAT(LinesOf("EnableMenusIfCan"), Contains(::testing::HasSubstr("[FORCEENABLE]")));
}

}  // namespace
