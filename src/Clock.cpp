#include "Clock.h"

#include <chrono>

namespace Clock {

Nanoseconds SteadyNow()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace Clock
