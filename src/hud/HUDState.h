#pragma once

#include "Clock.h"

#include <cstdint>

// The state shared by the decision, the menu gating, the toggle key, the event
// sinks and the installation. Plain fields, no locks: each write is a single
// scalar store and readers take whatever was stored last.

enum HUDRequestValue : std::int32_t {
    kHUDRequestNone = -1,
    kHUDRequestDisableQueued = 0,
    kHUDRequestEnable = 1,
};

struct HUDStateRecord {
    std::int32_t HUDRequest = kHUDRequestNone;

    Clock::Nanoseconds LastUpdateTime = 0;
    Clock::Nanoseconds LongHUDMessageTime = 0;
    Clock::Nanoseconds HUDQueuedToDisableTime = 0;
    Clock::Nanoseconds LastTogglePressTime = 0;
    Clock::Nanoseconds UnityGraceStartTime = 0;

    bool SubtitlesPlaying = false;
    bool HUDToggleOverride = false;
    bool bShowHUD = false;
    std::int32_t ToggleKeyHoldTime = 0;
    bool ToggleLongPressDone = false;
    bool WeaponDrawnOnMonocleOpen = false;
};

inline constinit HUDStateRecord HUDState{};
