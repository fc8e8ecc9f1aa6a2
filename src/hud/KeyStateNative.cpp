#include "hud/KeyState.h"

#include <array>
#include <atomic>

namespace {

// Set by a test's thread while the decision reads it on another.
std::array<std::atomic<bool>, 256> keysDown{};

}  // namespace

bool IsKeyDown(int virtualKey)
{
    return virtualKey >= 0 && virtualKey < 256 &&
           keysDown[static_cast<std::size_t>(virtualKey)].load(std::memory_order_relaxed);
}

void SetNativeKeyDown(int virtualKey, bool down)
{
    if (virtualKey >= 0 && virtualKey < 256) {
        keysDown[static_cast<std::size_t>(virtualKey)].store(down, std::memory_order_relaxed);
    }
}
