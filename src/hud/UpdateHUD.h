#pragma once

// One pass of the HUD decision: called for every call of the hooked per-frame
// game function, and by the subtitle-hidden event.
void UpdateHUD();
