#pragma once

#include "FakeGame.h"
#include "Session.h"

namespace sim {

// A second of play after a load that plays no scenario: the plugin's decision
// runs from the hooked call and leaves the HUD alone, whether it found no
// game objects (`installed` false, its listener never registered) or is
// inside its grace period.
void CheckHudLeftAlone(Timeline& timeline, Session& session, const FakeGame& game, bool installed);

}  // namespace sim
