#pragma once

#include "Clock.h"

#include <string_view>

// True while the decision must leave the HUD alone: the grace period after
// installation or the end credits, a missing game object, a mandatory menu.
// A pass gives its own clock reading, so that a call held back by the 15 ms
// gate reads the clock once.
bool UnityInProcess(Clock::Nanoseconds now = Clock::Now());

// True when a game menu that keeps the HUD shown is open; `menuName` gets its
// name (a view of the game's own text, or a fixed text).
bool FindOpenGameMenu(std::string_view& menuName);

// Shows (enable) or hides the HUD menus. Without force, an open game menu
// turns every call into a show.
void EnableMenusIfCan(bool enable, bool force);
