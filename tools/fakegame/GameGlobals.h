#pragma once

#include "GameObjects.h"

#include <array>
#include <cstddef>

namespace fake::detail {

// ---- The game's globals: pointers the plugin reads at the IDs' addresses.
extern RE::UI* gameUIPointer;
extern RE::Actor* gamePlayerPointer;
extern RE::AutoAim* gameAutoAimPointer;
// Passed to the sound function as is; never read.
extern std::array<std::byte, 16> uiSoundObject;

}  // namespace fake::detail
