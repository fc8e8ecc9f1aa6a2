#include "hud/GamepadChord.h"

#include "Zorvik/Logger.h"

namespace {

// Loads XInput on the first call that needs it; a pass on another thread
// meanwhile finds it loading and reads no controller this once.
bool XInputReady()
{
    std::int32_t state = GamepadPolls.xinput;
    if (state == kXInputNotTried && GamepadPolls.xinput.CompareExchange(state, kXInputLoading)) {
        state = Gamepads::system.load() ? kXInputLoaded : kXInputUnavailable;
        GamepadPolls.xinput = state;
        if (state == kXInputUnavailable) {
            // Written whatever bLogging says: a player who set the buttons
            // learns here why they do nothing.
            Zorvik::log::warn("XInput is not available: the controller toggle is off");
        }
    }
    return state == kXInputLoaded;
}

}  // namespace

bool IsGamepadChordHeld(std::uint16_t buttons, Clock::Nanoseconds now)
{
    if (!XInputReady()) {
        return false;
    }
    bool held = false;
    for (std::uint32_t slot = 0; slot < Gamepads::kSlots; ++slot) {
        auto& nextRead = GamepadPolls.nextRead[slot];
        if (now < nextRead) {
            continue;
        }
        const Gamepads::Reading pad = Gamepads::system.read(slot);
        nextRead = pad.connected ? GamepadPollRecord::kReadNow : now + kEmptySlotPollInterval;
        held = held || (pad.connected && (pad.buttons & buttons) == buttons);
    }
    return held;
}
