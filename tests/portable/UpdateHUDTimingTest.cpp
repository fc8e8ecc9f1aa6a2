#include "GamePointers.h"
#include "HUDState.h"
#include "Settings.h"
#include "UpdateHUD.h"
#include "support/FakeGameTest.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::Contains;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr Clock::Nanoseconds kGate = Clock::FromMilliseconds(15);

// Passes as the game makes them, with the clock under the test's control.
class DecisionTiming : public FakeGameTest {
protected:
    // One pass at `now`.
    void PassAt(Clock::Nanoseconds now)
    {
        game.SetNow(now);
        UpdateHUD();
    }

    // The lines of the last pass's decision.
    std::vector<std::string> PassLines(Clock::Nanoseconds now)
    {
        log.clear();
        PassAt(now);
        return LinesOf("UpdateHUD");
    }
};

// ---- The 15 ms gate

TEST_F(DecisionTiming, ASecondCallWithin15msOnlyLogsAndChangesNothing)
{
    game.ui.SetHUDShown(false);
    game.player.SetWeaponState(1);
    const Clock::Nanoseconds first = game.Now();
    PassAt(first);
    ASSERT_EQ(HUDState.HUDRequest, kHUDRequestEnable);
    ASSERT_EQ(HUDState.LastUpdateTime, first);

    EXPECT_THAT(PassLines(first + kGate - 1), ElementsAre("[info] [UpdateHUD] result = [exit] | RecentLastUpdate"));
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestEnable);
    EXPECT_EQ(HUDState.LastUpdateTime, first);
    EXPECT_THAT(game.hudVisibleCalls, IsEmpty());

    EXPECT_THAT(PassLines(first + kGate), Contains("[info] [UpdateHUD] result = [RequestEnable]"));
    EXPECT_EQ(HUDState.LastUpdateTime, first + kGate);
    EXPECT_THAT(game.hudVisibleCalls, ElementsAre(true));
}

TEST_F(DecisionTiming, AGatedCallAsksTheGameNothingButWhetherToLeaveTheHUDAlone)
{
    game.sneaking = true;
    HUDState.LastUpdateTime = game.Now();
    game.ClearRecords();
    UpdateHUD();
    EXPECT_EQ(game.calls.isGameMenuPaused + game.calls.isSneaking + game.calls.isMenuOpen, 0);
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestNone);
}

TEST_F(DecisionTiming, ALastUpdateInTheFutureHoldsEveryPassOffUntilItIs15msPast)
{
    game.player.SetWeaponState(1);
    const Clock::Nanoseconds now = game.Now();
    HUDState.LastUpdateTime = now + Clock::FromMilliseconds(500);

    for (const std::int64_t ms : {0, 15, 100, 499, 500, 514}) {
        EXPECT_THAT(PassLines(now + Clock::FromMilliseconds(ms)),
                    ElementsAre("[info] [UpdateHUD] result = [exit] | RecentLastUpdate"))
            << ms << " ms";
    }
    EXPECT_THAT(PassLines(now + Clock::FromMilliseconds(515) - 1),
                ElementsAre("[info] [UpdateHUD] result = [exit] | RecentLastUpdate"));
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestNone);

    EXPECT_THAT(PassLines(now + Clock::FromMilliseconds(515)),
                ElementsAre("[info] [UpdateHUD] result = [show] | IsWeaponDrawn"));
}

TEST_F(DecisionTiming, WritesNothingWhileLoggingIsOffAndStillDecides)
{
    Settings.bLogging = false;
    game.ui.SetHUDShown(false);
    game.player.SetWeaponState(1);
    Pass();
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestEnable);
    Pass();
    EXPECT_THAT(game.hudVisibleCalls, ElementsAre(true));
    UpdateHUD();  // gated
    EXPECT_THAT(log.lines(), IsEmpty());
}

// ---- Leaving the HUD alone

TEST_F(DecisionTiming, WithAGameObjectMissingThePassOnlyDropsThePendingRequest)
{
    MQ301 = nullptr;
    game.ui.SetHUDShown(false);
    game.sneaking = true;
    HUDState.HUDRequest = kHUDRequestEnable;
    HUDState.LastUpdateTime = 1234;

    Pass();
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestNone);
    EXPECT_EQ(HUDState.LastUpdateTime, 1234);
    EXPECT_THAT(game.hudVisibleCalls, IsEmpty());
    EXPECT_EQ(game.calls.isSneaking, 0);
    EXPECT_THAT(log.lines(), ElementsAre("[info] [UnityInProcess] result = [Exiting] | MQ301 is nullptr",
                                         "[info] [UpdateHUD] result = [show] | UnityInProcess"));
}

TEST_F(DecisionTiming, AMandatoryMenuFreezesTheHUDWhateverIsPending)
{
    game.ui.SetMenus({"HUDMenu", "PlayBinkMenu"});
    HUDState.HUDRequest = kHUDRequestDisableQueued;  // due long ago
    for (int pass = 0; pass < 1000; ++pass) {
        Pass();
    }
    EXPECT_THAT(game.hudVisibleCalls, IsEmpty());
    EXPECT_TRUE(game.ui.HUDShown());
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestNone);
    EXPECT_THAT(LinesOf("UpdateHUD"), Each("[info] [UpdateHUD] result = [show] | UnityInProcess"));
}

TEST_F(DecisionTiming, TheGracePeriodHoldsTheDecisionOffForTenSeconds)
{
    const Clock::Nanoseconds start = game.Now();
    HUDState.UnityGraceStartTime = start;
    game.ui.SetHUDShown(false);
    game.player.SetWeaponState(1);

    PassAt(start + Clock::FromMilliseconds(9'999));
    PassAt(start + Clock::FromMilliseconds(10'000) - 1);
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestNone);
    EXPECT_EQ(HUDState.LastUpdateTime, 0);

    PassAt(start + Clock::FromMilliseconds(10'000));
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestEnable);
    Pass();
    EXPECT_THAT(game.hudVisibleCalls, ElementsAre(true));
}

// ---- Requests carried over to the next pass

TEST_F(DecisionTiming, AShowIsCarriedOutOnThePassAfterTheRuleFired)
{
    game.ui.SetHUDShown(false);
    game.player.SetWeaponState(1);
    game.sneaking = true;

    Pass();
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestEnable);
    EXPECT_THAT(game.hudVisibleCalls, IsEmpty());
    game.ClearRecords();

    log.clear();
    Pass();
    EXPECT_THAT(LinesOf("UpdateHUD"), ElementsAre("[info] [UpdateHUD] result = [RequestEnable]"));
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

TEST_F(DecisionTiming, AnEnableRequestOfAnEventIsCarriedOutWhateverTheRulesSay)
{
    Settings.iMenuOverriderShipHUDMenu = false;
    game.ui.SetMenus({"HUDMenu", "SpaceshipHudMenu"});  // the rules would hide
    game.ui.SetHUDShown(false);
    HUDState.HUDRequest = kHUDRequestEnable;

    Pass();
    EXPECT_THAT(game.hudVisibleCalls, ElementsAre(true));
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestNone);
    EXPECT_EQ(game.calls.isMenuOpen, 0);
}

// ---- Keep-shown timers

TEST_F(DecisionTiming, AVanishedReasonKeepsTheHUDForTheKeepShownTimeAfterTheFirstHide)
{
    game.player.SetWeaponState(1);
    Pass();
    Pass();
    game.player.SetWeaponState(0);

    const Clock::Nanoseconds hidden = game.Now() + kGate;
    EXPECT_THAT(PassLines(hidden), ElementsAre("[info] [UpdateHUD] result = [hide]"));
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestDisableQueued);
    EXPECT_EQ(HUDState.HUDQueuedToDisableTime, hidden);

    for (std::int64_t ms = 15; ms < 1970; ms += 15) {
        PassAt(hidden + Clock::FromMilliseconds(ms));
    }
    EXPECT_THAT(PassLines(hidden + Clock::FromMilliseconds(1985)),
                ElementsAre("[info] [UpdateHUD] result = [exit] | HUDQueuedToDisable"));
    EXPECT_THAT(game.hudVisibleCalls, IsEmpty());
    EXPECT_EQ(HUDState.HUDQueuedToDisableTime, hidden) << "no new hide while the first is queued";

    EXPECT_THAT(PassLines(hidden + Clock::FromMilliseconds(2000)),
                ElementsAre("[info] [UpdateHUD] result = [RequestDisable]"));
    EXPECT_THAT(game.hudVisibleCalls, ElementsAre(false));
    EXPECT_FALSE(game.ui.HUDShown());
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestNone);
}

TEST_F(DecisionTiming, AReasonReturningReplacesTheQueuedHide)
{
    Pass();
    ASSERT_EQ(HUDState.HUDRequest, kHUDRequestDisableQueued);
    game.sneaking = true;
    Pass();
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestEnable);
    EXPECT_THAT(game.hudVisibleCalls, IsEmpty());
}

TEST_F(DecisionTiming, TheKeepShownTimeComesFromTheSettings)
{
    Settings.iKeepHUDShownMS = 500;
    const Clock::Nanoseconds hidden = game.Now() + kGate;
    PassAt(hidden);
    PassAt(hidden + Clock::FromMilliseconds(485));
    EXPECT_THAT(game.hudVisibleCalls, IsEmpty());
    PassAt(hidden + Clock::FromMilliseconds(500));
    EXPECT_THAT(game.hudVisibleCalls, ElementsAre(false));
}

TEST_F(DecisionTiming, WithoutKeepShownTimesAHideTakesEffectOnTheNextPass)
{
    Settings.iKeepHUDShownMS = 0;
    Settings.iKeepHUDShownLongMS = 0;
    HUDState.LongHUDMessageTime = game.Now();
    Pass();
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestDisableQueued);
    Pass();
    EXPECT_THAT(game.hudVisibleCalls, ElementsAre(false));
}

TEST_F(DecisionTiming, ALongMessageKeepsTheHUDForTheLongTime)
{
    const Clock::Nanoseconds event = game.Now();
    game.ui.SetHUDShown(false);
    HUDState.LongHUDMessageTime = event;  // as the location-discovered event leaves it
    HUDState.HUDRequest = kHUDRequestEnable;

    PassAt(event + kGate);
    EXPECT_THAT(game.hudVisibleCalls, ElementsAre(true));

    for (std::int64_t ms = 30; ms < 7485; ms += 15) {
        PassAt(event + Clock::FromMilliseconds(ms));
    }
    EXPECT_THAT(PassLines(event + Clock::FromMilliseconds(7485)),
                ElementsAre("[info] [UpdateHUD] result = [exit] | LongHUDMessage"));
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestNone) << "no hide taken yet";

    const Clock::Nanoseconds hidden = event + Clock::FromMilliseconds(7500);
    EXPECT_THAT(PassLines(hidden), ElementsAre("[info] [UpdateHUD] result = [hide]"));
    EXPECT_THAT(PassLines(hidden + Clock::FromMilliseconds(1985)),
                ElementsAre("[info] [UpdateHUD] result = [exit] | HUDQueuedToDisable"));
    EXPECT_THAT(PassLines(hidden + Clock::FromMilliseconds(2000)),
                ElementsAre("[info] [UpdateHUD] result = [RequestDisable]"));
    EXPECT_THAT(game.hudVisibleCalls, ElementsAre(true, false));
}

TEST_F(DecisionTiming, AQueuedHideAlsoWaitsForTheLongTime)
{
    const Clock::Nanoseconds now = game.Now();
    HUDState.HUDRequest = kHUDRequestDisableQueued;
    HUDState.HUDQueuedToDisableTime = now - Clock::FromMilliseconds(5000);
    HUDState.LongHUDMessageTime = now - Clock::FromMilliseconds(1000);

    EXPECT_THAT(PassLines(now), ElementsAre("[info] [UpdateHUD] result = [exit] | LongHUDMessage"));
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestDisableQueued);

    EXPECT_THAT(PassLines(now + Clock::FromMilliseconds(6500)),
                ElementsAre("[info] [UpdateHUD] result = [RequestDisable]"));
    EXPECT_THAT(game.hudVisibleCalls, ElementsAre(false));
}

TEST_F(DecisionTiming, UnderTheToggleOverrideAQueuedHideTakesEffectAtOnce)
{
    const Clock::Nanoseconds now = game.Now();
    HUDState.HUDToggleOverride = true;
    HUDState.HUDRequest = kHUDRequestDisableQueued;
    HUDState.HUDQueuedToDisableTime = now;
    HUDState.LongHUDMessageTime = now;

    EXPECT_THAT(PassLines(now + kGate), ElementsAre("[info] [UpdateHUD] result = [RequestDisable]"));
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

TEST_F(DecisionTiming, TheHideStampIsAFreshClockReading)
{
    game.SetStepPerReading(1'000);
    Pass();
    ASSERT_EQ(HUDState.HUDRequest, kHUDRequestDisableQueued);
    EXPECT_GT(HUDState.HUDQueuedToDisableTime, HUDState.LastUpdateTime);
}

TEST_F(DecisionTiming, NoHideIsTakenWhileTheLastOneIsRecent)
{
    Settings.iKeepHUDShownMS = 10'000;
    HUDState.HUDQueuedToDisableTime = game.Now();
    EXPECT_THAT(PassLines(game.Now() + kGate), ElementsAre("[info] [UpdateHUD] result = [exit] | HUDQueuedToDisable"));
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestNone);
}

// Durations are whole milliseconds, truncated: 1999.999999 ms is 1999.
TEST_F(DecisionTiming, KeepShownDurationsCountWholeMilliseconds)
{
    HUDState.HUDRequest = kHUDRequestDisableQueued;
    const Clock::Nanoseconds first = game.Now();
    HUDState.HUDQueuedToDisableTime = first - (Clock::FromMilliseconds(2000) - 1);
    EXPECT_THAT(PassLines(first), ElementsAre("[info] [UpdateHUD] result = [exit] | HUDQueuedToDisable"));

    const Clock::Nanoseconds second = first + kGate;
    HUDState.HUDQueuedToDisableTime = second - Clock::FromMilliseconds(2000);
    EXPECT_THAT(PassLines(second), ElementsAre("[info] [UpdateHUD] result = [RequestDisable]"));
}

}  // namespace
