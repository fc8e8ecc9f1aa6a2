#pragma once

#include <cstdint>

// Timestamps are signed 64-bit nanoseconds of the monotonic steady clock. The
// decision reads the time only through Clock::Now, so that tests can drive it.
namespace Clock {

using Nanoseconds = std::int64_t;
using Source = Nanoseconds (*)();

[[nodiscard]] Nanoseconds SteadyNow();

// The one seam: tests point it at a clock of their own.
inline Source source = &SteadyNow;

[[nodiscard]] inline Nanoseconds Now()
{
    return source();
}

// Milliseconds from `since` to `now`, truncated toward zero; negative when
// `since` lies in the future.
[[nodiscard]] constexpr std::int64_t MillisecondsBetween(Nanoseconds since, Nanoseconds now)
{
    return (now - since) / 1'000'000;
}

[[nodiscard]] constexpr Nanoseconds FromMilliseconds(std::int64_t milliseconds)
{
    return milliseconds * 1'000'000;
}

}  // namespace Clock
