#pragma once

#include <cstdint>

// The system's game controllers, as XInput reports them: four user slots,
// each empty or holding a controller with its buttons (XInput's bit mask).
// The library is the system's, loaded by name when it is first needed.
namespace Gamepads {

inline constexpr std::uint32_t kSlots = 4;

struct Reading {
    bool connected = false;
    std::uint16_t buttons = 0;
};

// Loads the system's XInput; false where it has none. Called once per
// process at most.
[[nodiscard]] bool LoadXInput();
// The controller in one slot; only after LoadXInput gave true.
[[nodiscard]] Reading ReadXInput(std::uint32_t slot);

// The one seam: tests point it at a system of their own.
struct System {
    bool (*load)();
    Reading (*read)(std::uint32_t slot);
};
inline System system{&LoadXInput, &ReadXInput};

}  // namespace Gamepads
