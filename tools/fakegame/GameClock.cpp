#include "GameClock.h"

#include "FakeGame.h"

#include <atomic>

namespace {

// Read on every thread that plays the game, moved on by the test's own; in
// relaxed order, so that the clock orders nothing between the threads.
std::atomic<Clock::Nanoseconds> clockNow = 0;
std::atomic<Clock::Nanoseconds> clockStep = 0;

Clock::Nanoseconds FakeClockReading()
{
    // A plain load when the clock stands still: the benchmarks time the
    // plugin's clock reading, not an indivisible add of the fake's.
    const Clock::Nanoseconds step = clockStep.load(std::memory_order_relaxed);
    return step == 0 ? clockNow.load(std::memory_order_relaxed) : clockNow.fetch_add(step, std::memory_order_relaxed);
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
    return clockNow.load(std::memory_order_relaxed);
}

void FakeGame::SetNow(Clock::Nanoseconds now) noexcept
{
    clockNow.store(now, std::memory_order_relaxed);
}

void FakeGame::AdvanceMs(std::int64_t milliseconds) noexcept
{
    clockNow.fetch_add(Clock::FromMilliseconds(milliseconds), std::memory_order_relaxed);
}

void FakeGame::AdvanceNs(Clock::Nanoseconds nanoseconds) noexcept
{
    clockNow.fetch_add(nanoseconds, std::memory_order_relaxed);
}

void FakeGame::SetStepPerReading(Clock::Nanoseconds step) noexcept
{
    clockStep.store(step, std::memory_order_relaxed);
}
