#pragma once

#include <string>

// A short press of the toggle key: forces the HUD off when the game shows it,
// else on. 1 turned on, 0 turned off, -1 refused (too soon after the last).
int HandleToggleKeyRelease(int heldTime);
// A long press: back to automatic control, with a UI sound when enabled.
void HandleToggleKeyReleaseLong(int heldTime);
// Asks the game to play a UI sound; false for an empty editor ID.
bool PlayUISound(std::string soundEditorID, double volume);
