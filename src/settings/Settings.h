#pragma once

#include <cstdint>
#include <string>

// The settings record: one field per INI key, named by the key. The initial
// values below hold from process start until the first reload; only ReloadINI
// writes the fields afterwards.
struct SettingsRecord {
    bool bLogging = true;
    bool bShowInCombat = true;
    bool bShowWhileSneaking = true;
    bool bShowWhileWeaponDrawn = true;
    bool bShowInSubtitles = true;
    bool bShowLocationDiscovered = true;
    bool bShowPlanetTraitDiscovered = true;
    bool bShowMissionActive = true;
    bool bShowIfOverencumbered = false;
    bool bShowIfJumping = false;
    bool bShowWhenHostilesAreNearby = false;
    std::int32_t iKeepHUDShownMS = 2000;
    std::int32_t iKeepHUDShownLongMS = 7500;
    float fShowBelowHealthPercent = -1.0F;
    float fShowBelowOxygenPercent = -1.0F;
    float fShowBelowBoostPackPercent = -1.0F;
    bool iMenuOverriderShipHUDMenu = true;
    bool iMenuOverriderHandscannerMenu = true;
    bool bShowInLandVehicle = false;
    std::int32_t iHUDToggle = 0;
    std::int32_t iHUDToggleMinRequiredTimeSinceLastTogglePress = 300;
    std::int32_t iHUDToggleMinHoldTime = 300;
    std::int32_t iVehicleAimKeyDown = 2;  // right mouse button until the first reload
    bool bPlayUIFeedbackSounds = true;
    bool bShowIfAutoAimTargetIsNotActivatable = false;
    bool bShowIfAutoAimTargetIsHarvestedFlora = false;

    friend bool operator==(const SettingsRecord&, const SettingsRecord&) = default;
};

// Constant-initialised: nothing runs to build it, so it holds its initial
// values before any code of the plugin does.
inline constinit SettingsRecord Settings{};

inline constexpr const char* kSettingsFileName = "LumenveilHUD";
inline constexpr const char* kSettingsSection = "Settings";

// Gives the value text of one key of the settings file, empty when there is none.
using IniValueReader = std::string (*)(std::string fileName, std::string section, std::string key);

// One reload: every field back to its reload default, then each key read,
// validated and stored, the values logged, and the logging switch applied.
// Tests and the native build give it a reader of their own.
void ReloadINI(IniValueReader read);

// Where ReloadINI() reads: the settings file in the game's folder
// (ReadIniValue). A test puts a reader of its own here.
extern IniValueReader SettingsFileReader;

// Re-reads the settings through SettingsFileReader (on every save/load event).
void ReloadINI();
