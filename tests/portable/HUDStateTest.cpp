#include "Clock.h"

#include <gtest/gtest.h>

namespace {

// Durations are whole milliseconds truncated toward zero, negative for a
// stamp in the future, and a day of uptime does not overflow.
TEST(MillisecondDurations, TruncateTowardZeroInBothDirections)
{
    struct Case {
        Clock::Nanoseconds since;
        Clock::Nanoseconds now;
        std::int64_t milliseconds;
    };
    for (const Case& row :
         {Case{0, 1'999'999, 1}, Case{0, 999'999, 0}, Case{1'999'999, 0, -1},
          Case{Clock::FromMilliseconds(500), 0, -500}, Case{0, Clock::FromMilliseconds(86'400'000), 86'400'000}}) {
        EXPECT_EQ(Clock::MillisecondsBetween(row.since, row.now), row.milliseconds) << row.since << " " << row.now;
    }
}

}  // namespace
