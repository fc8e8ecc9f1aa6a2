#include "Clock.h"
#include "HUDState.h"

#include <gtest/gtest.h>

namespace {

TEST(MillisecondDurations, TruncateTowardZero)
{
    EXPECT_EQ(Clock::MillisecondsBetween(0, 1'999'999), 1);
    EXPECT_EQ(Clock::MillisecondsBetween(0, 999'999), 0);
    EXPECT_EQ(Clock::MillisecondsBetween(5'000'000, 5'000'000), 0);
}

TEST(MillisecondDurations, AreNegativeForAStampInTheFuture)
{
    EXPECT_EQ(Clock::MillisecondsBetween(1'999'999, 0), -1);
    EXPECT_EQ(Clock::MillisecondsBetween(Clock::FromMilliseconds(500), 0), -500);
}

TEST(MillisecondDurations, CompareWithInt32SettingsWithoutOverflow)
{
    // A day of uptime in nanoseconds is far beyond 32 bits.
    const Clock::Nanoseconds day = Clock::FromMilliseconds(86'400'000);
    EXPECT_EQ(Clock::MillisecondsBetween(0, day), 86'400'000);
    EXPECT_GT(Clock::MillisecondsBetween(0, day), static_cast<std::int64_t>(INT32_MAX) / 100);
}

TEST(HUDStateRecord, StartsIdleWithEveryStampAtZero)
{
    const HUDStateRecord fresh{};
    EXPECT_EQ(fresh.HUDRequest, kHUDRequestNone);
    EXPECT_EQ(fresh.LastUpdateTime, 0);
    EXPECT_EQ(fresh.LongHUDMessageTime, 0);
    EXPECT_EQ(fresh.HUDQueuedToDisableTime, 0);
    EXPECT_EQ(fresh.LastTogglePressTime, 0);
    EXPECT_EQ(fresh.UnityGraceStartTime, 0);
    EXPECT_FALSE(fresh.SubtitlesPlaying || fresh.HUDToggleOverride || fresh.bShowHUD || fresh.ToggleLongPressDone ||
                 fresh.WeaponDrawnOnMonocleOpen);
    EXPECT_EQ(fresh.ToggleKeyHoldTime, 0);
}

// Before installation every stamp is 0, so a duration measured from one is
// the clock's own reading.
TEST(ClockSeam, DrivesEveryReadingAndDurationsFromZeroStamps)
{
    static Clock::Nanoseconds fakeNow = 0;
    const Clock::Source original = Clock::source;
    Clock::source = [] { return fakeNow; };

    fakeNow = Clock::FromMilliseconds(1234) + 999'999;
    EXPECT_EQ(Clock::Now(), fakeNow);
    EXPECT_EQ(Clock::MillisecondsBetween(HUDStateRecord{}.LastUpdateTime, Clock::Now()), 1234);

    Clock::source = original;
}

TEST(ClockSeam, DefaultsToAMonotonicClock)
{
    const Clock::Nanoseconds first = Clock::Now();
    const Clock::Nanoseconds second = Clock::Now();
    EXPECT_LE(first, second);
    EXPECT_EQ(Clock::source, &Clock::SteadyNow);
}

}  // namespace
