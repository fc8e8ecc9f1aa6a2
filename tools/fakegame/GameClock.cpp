#include "GameClock.h"

#include "FakeGame.h"

namespace {

Clock::Nanoseconds clockNow = 0;
Clock::Nanoseconds clockStep = 0;

Clock::Nanoseconds FakeClockReading()
{
    const Clock::Nanoseconds reading = clockNow;
    clockNow += clockStep;
    return reading;
}

Clock::Source previousClock = nullptr;

}  // namespace

void fake::detail::InstallClock()
{
    previousClock = Clock::source;
    clockNow = FakeGame::kStartTime;
    clockStep = 0;
    Clock::source = &FakeClockReading;
}

void fake::detail::RestoreClock()
{
    Clock::source = previousClock;
}

Clock::Nanoseconds FakeGame::Now() const noexcept
{
    return clockNow;
}

void FakeGame::SetNow(Clock::Nanoseconds now) noexcept
{
    clockNow = now;
}

void FakeGame::AdvanceMs(std::int64_t milliseconds) noexcept
{
    clockNow += Clock::FromMilliseconds(milliseconds);
}

void FakeGame::AdvanceNs(Clock::Nanoseconds nanoseconds) noexcept
{
    clockNow += nanoseconds;
}

void FakeGame::SetStepPerReading(Clock::Nanoseconds step) noexcept
{
    clockStep = step;
}
