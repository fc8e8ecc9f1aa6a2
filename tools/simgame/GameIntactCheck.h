#pragma once

#include "FakeGame.h"
#include "Session.h"

#include <cstdint>

namespace sim {

// The session's first frames reached the game's per-frame function through
// the plugin's thunk, argument and result intact. `framesBefore` counts the
// calls that reached it and are not the session's frames: those before the
// session, and those of a measurement of the hook.
void CheckFirstFrames(Timeline& timeline, const Session& session, std::uint64_t framesBefore);

// What every session ends with: all its frames intact, no call the game would
// not survive, every game string the plugin made released.
void CheckGameIntact(Timeline& timeline, const FakeGame& game, const Session& session, std::uint64_t framesBefore);

}  // namespace sim
