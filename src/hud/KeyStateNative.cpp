#include "hud/KeyState.h"

#include <array>

namespace {

std::array<bool, 256> keysDown{};

}  // namespace

bool IsKeyDown(int virtualKey)
{
    return virtualKey >= 0 && virtualKey < 256 && keysDown[static_cast<std::size_t>(virtualKey)];
}

void SetNativeKeyDown(int virtualKey, bool down)
{
    if (virtualKey >= 0 && virtualKey < 256) {
        keysDown[static_cast<std::size_t>(virtualKey)] = down;
    }
}
