#pragma once

#include "SharedValue.h"

#include <cstdint>

// One value per INI key but bLogging, named by the key; the initial values
// below hold from process start until the first reload. Each field is one
// atomic value: a record that a reload fills while a reader still reads an
// older one of the same storage is never a data race.
struct SettingsRecord {
    SharedValue<bool> bShowInCombat = true;
    SharedValue<bool> bShowWhileSneaking = true;
    SharedValue<bool> bShowWhileWeaponDrawn = true;
    SharedValue<bool> bShowInSubtitles = true;
    SharedValue<bool> bShowLocationDiscovered = true;
    SharedValue<bool> bShowPlanetTraitDiscovered = true;
    SharedValue<bool> bShowMissionActive = true;
    SharedValue<bool> bShowIfOverencumbered = false;
    SharedValue<bool> bShowIfJumping = false;
    SharedValue<bool> bShowWhenHostilesAreNearby = false;
    SharedValue<std::int32_t> iKeepHUDShownMS = 2000;
    SharedValue<std::int32_t> iKeepHUDShownLongMS = 7500;
    SharedValue<float> fShowBelowHealthPercent = -1.0F;
    SharedValue<float> fShowBelowOxygenPercent = -1.0F;
    SharedValue<float> fShowBelowBoostPackPercent = -1.0F;
    SharedValue<bool> iMenuOverriderShipHUDMenu = true;
    SharedValue<bool> iMenuOverriderHandscannerMenu = true;
    SharedValue<bool> bShowInLandVehicle = false;
    SharedValue<std::int32_t> iHUDToggle = 0;
    SharedValue<std::int32_t> iHUDToggleGamepad = 0;  // XInput buttons held together; 0 none
    SharedValue<std::int32_t> iHUDToggleMinRequiredTimeSinceLastTogglePress = 300;
    SharedValue<std::int32_t> iHUDToggleMinHoldTime = 300;
    SharedValue<std::int32_t> iVehicleAimKeyDown = 2;  // right mouse button until the first reload
    SharedValue<bool> bPlayUIFeedbackSounds = true;
    SharedValue<bool> bShowIfAutoAimTargetIsNotActivatable = false;
    SharedValue<bool> bShowIfAutoAimTargetIsHarvestedFlora = false;
    SharedValue<bool> bReloadSettingsOnChange = true;

    friend bool operator==(const SettingsRecord&, const SettingsRecord&) = default;
};

// One field of the record, as a member: a reload fills a record of its own
// through these before it publishes it.
template <class T>
using SettingsField = SharedValue<T> SettingsRecord::*;
