#pragma once

#include "settings/Settings.h"

#include <string>

// Both handlers read `settings`: a decision pass hands them the record it
// decides by, so a reload meanwhile does not change its mind halfway.

// A short press of the toggle key: forces the HUD off when the game shows it,
// else on. 1 turned on, 0 turned off, -1 refused (too soon after the last).
int HandleToggleKeyRelease(int heldTime, const SettingsRecord& settings = *Settings);
// A long press: back to automatic control, with a UI sound when enabled.
void HandleToggleKeyReleaseLong(int heldTime, const SettingsRecord& settings = *Settings);
// Asks the game to play a UI sound; false for an empty editor ID.
bool PlayUISound(std::string soundEditorID, double volume);
