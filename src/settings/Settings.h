#pragma once

#include "SharedValue.h"

#include <cstdint>
#include <string>

// The settings record: one field per INI key, named by the key. The initial
// values below hold from process start until the first reload; only ReloadINI
// writes the fields afterwards, on the thread that delivers the save/load
// event, while decision passes and sinks read them on theirs. Each field is
// one atomic value, and a reload builds the new record aside and then stores
// each field once: a reader never meets a half-written value, nor the reload
// defaults a reload starts from.
struct SettingsRecord {
    SharedValue<bool> bLogging = true;
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

// Constant-initialised: nothing runs to build it, so it holds its initial
// values before any code of the plugin does.
inline constinit SettingsRecord Settings{};

inline constexpr const char* kSettingsFileName = "LumenveilHUD";
inline constexpr const char* kSettingsSection = "Settings";

// Gives the value text of one key of the settings file, empty when there is none.
using IniValueReader = std::string (*)(std::string fileName, std::string section, std::string key);

// The settings as one reading of the file gives them, not yet in force.
struct SettingsReading {
    SettingsRecord record;  // every field but bLogging
    bool loggingRequested = false;
};

// Every field at its reload default, then each key read and validated.
[[nodiscard]] SettingsReading ReadSettings(IniValueReader read);

// Puts a reading in force: each field stored once, the values logged, and
// the logging switch applied.
void ReloadINI(const SettingsReading& reading);

// One reload: ReadSettings, then the reading put in force. Tests and the
// native build give it a reader of their own.
void ReloadINI(IniValueReader read);

// Where ReloadINI() reads: the settings file in the game's folder
// (ReadIniValue). A test puts a reader of its own here.
extern IniValueReader SettingsFileReader;
