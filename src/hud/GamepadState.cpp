#include "hud/GamepadState.h"

#include <windows.h>

#include <atomic>

namespace {

// XInput's state of one controller, as the library lays it out.
struct XInputGamepad {
    WORD wButtons;
    BYTE bLeftTrigger;
    BYTE bRightTrigger;
    SHORT sThumbLX;
    SHORT sThumbLY;
    SHORT sThumbRX;
    SHORT sThumbRY;
};
struct XInputState {
    DWORD dwPacketNumber;
    XInputGamepad Gamepad;
};
using XInputGetStateFunction = DWORD(WINAPI*)(DWORD userIndex, XInputState* state);

// Set once by the load, read by every pass after it.
std::atomic<XInputGetStateFunction> getState{nullptr};

}  // namespace

bool Gamepads::LoadXInput()
{
    // 1.4 comes with Windows 8 and later; 9.1.0 with every Windows since Vista.
    for (const wchar_t* library : {L"xinput1_4.dll", L"xinput9_1_0.dll"}) {
        HMODULE module = LoadLibraryW(library);
        if (module == nullptr) {
            continue;
        }
        if (FARPROC function = GetProcAddress(module, "XInputGetState"); function != nullptr) {
            getState.store(reinterpret_cast<XInputGetStateFunction>(reinterpret_cast<void*>(function)),
                           std::memory_order_relaxed);
            return true;
        }
        FreeLibrary(module);
    }
    return false;
}

Gamepads::Reading Gamepads::ReadXInput(std::uint32_t slot)
{
    // A pass on another thread may learn that XInput is loaded before it
    // sees the function: it reads no controller this once.
    const XInputGetStateFunction function = getState.load(std::memory_order_relaxed);
    XInputState state{};
    if (function == nullptr || function(slot, &state) != ERROR_SUCCESS) {
        return {};
    }
    return {true, state.Gamepad.wButtons};
}
