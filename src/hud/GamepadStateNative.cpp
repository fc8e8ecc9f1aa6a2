#include "hud/GamepadState.h"

// The native build has no XInput: tests put a system of their own in
// Gamepads::system.
bool Gamepads::LoadXInput()
{
    return false;
}

Gamepads::Reading Gamepads::ReadXInput(std::uint32_t)
{
    return {};
}
