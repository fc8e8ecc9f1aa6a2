#include "GameKeys.h"

#include "FakeGame.h"
#include "hud/KeyState.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <array>
#include <cstddef>

namespace {

void SetKeyDown(int virtualKey, bool down)
{
#ifdef _WIN32
    // SetKeyboardState sets the key state of the calling thread, which is what
    // GetKeyState reads (also under Wine).
    std::array<BYTE, 256> state{};
    GetKeyboardState(state.data());
    state[static_cast<std::size_t>(virtualKey)] = down ? 0x80 : 0;
    SetKeyboardState(state.data());
#else
    SetNativeKeyDown(virtualKey, down);
#endif
}

}  // namespace

void fake::detail::ReleaseAllKeys()
{
#ifdef _WIN32
    std::array<BYTE, 256> state{};
    SetKeyboardState(state.data());
#else
    for (int key = 0; key < 256; ++key) {
        SetNativeKeyDown(key, false);
    }
#endif
}

void FakeGame::PressKey(int virtualKey)
{
    pressedKeys_.insert(virtualKey);
    SetKeyDown(virtualKey, true);
}

void FakeGame::ReleaseKey(int virtualKey)
{
    pressedKeys_.erase(virtualKey);
    SetKeyDown(virtualKey, false);
}
