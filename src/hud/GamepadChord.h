#pragma once

#include "Clock.h"
#include "SharedValue.h"
#include "hud/GamepadState.h"

#include <array>
#include <cstdint>
#include <limits>

// Whether a controller holds every button of `buttons` (not 0), for the
// toggle: the first call loads the system's XInput (where there is none, one
// line says so and no call tries again); then a slot with a controller is read
// on every call, an empty one at most every two seconds, since asking an empty
// slot is slow.
[[nodiscard]] bool IsGamepadChordHeld(std::uint16_t buttons, Clock::Nanoseconds now);

inline constexpr Clock::Nanoseconds kEmptySlotPollInterval = Clock::FromMilliseconds(2000);

enum XInputLoadState : std::int32_t {
    kXInputNotTried,
    kXInputLoading,
    kXInputLoaded,
    kXInputUnavailable,
};

// What the polls remember between passes. Passes run on the game's thread and
// on a subtitle-hidden event's; each field is one atomic value.
struct GamepadPollRecord {
    static constexpr Clock::Nanoseconds kReadNow = std::numeric_limits<Clock::Nanoseconds>::min();

    SharedValue<std::int32_t> xinput = kXInputNotTried;
    // When each slot is read next: kReadNow while it holds a controller.
    std::array<SharedValue<Clock::Nanoseconds>, Gamepads::kSlots> nextRead{kReadNow, kReadNow, kReadNow, kReadNow};
};

inline constinit GamepadPollRecord GamepadPolls{};
