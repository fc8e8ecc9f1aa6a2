#pragma once

#include "Clock.h"
#include "SharedValue.h"

#include <cstdint>

// The state shared by the decision, the menu gating, the toggle key, the event
// sinks and the installation. The decision writes it on the game's thread
// (and on the thread that delivers a subtitle-hidden event, which runs a pass
// itself); the sinks on the threads that deliver their events; the
// installation on the loader's. No locks: each field is one atomic value,
// and readers take whatever was stored last.

enum HUDRequestValue : std::int32_t {
    kHUDRequestNone = -1,
    kHUDRequestDisableQueued = 0,
    kHUDRequestEnable = 1,
};

struct HUDStateRecord {
    SharedValue<std::int32_t> HUDRequest = kHUDRequestNone;

    SharedValue<Clock::Nanoseconds> LastUpdateTime = 0;
    SharedValue<Clock::Nanoseconds> LongHUDMessageTime = 0;
    SharedValue<Clock::Nanoseconds> HUDQueuedToDisableTime = 0;
    SharedValue<Clock::Nanoseconds> LastTogglePressTime = 0;
    SharedValue<Clock::Nanoseconds> UnityGraceStartTime = 0;

    SharedValue<bool> SubtitlesPlaying = false;
    SharedValue<bool> HUDToggleOverride = false;
    SharedValue<bool> bShowHUD = false;
    SharedValue<std::int32_t> ToggleKeyHoldTime = 0;
    SharedValue<bool> ToggleLongPressDone = false;
    SharedValue<bool> WeaponDrawnOnMonocleOpen = false;
};

inline constinit HUDStateRecord HUDState{};
