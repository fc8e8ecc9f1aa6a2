#pragma once

#include "FakeGame.h"
#include "Session.h"

namespace sim {

// Every sink once, distinct and non-null, registered in the plugin's order:
// the UI's menu source first (skipped without a UI), then the seven sources.
void CheckSinks(Timeline& timeline, FakeGame& game, bool installed, bool uiPresent);

}  // namespace sim
