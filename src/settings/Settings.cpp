#include "settings/Settings.h"

#include "PluginLog.h"
#include "settings/IniFile.h"
#include "settings/SettingValueParsers.h"

#include <array>
#include <string_view>
#include <variant>

namespace {

struct BooleanKey {
    SettingsField<bool> field;
    bool reloadDefault;
};

struct DigitsKey {
    SettingsField<std::int32_t> field;
    std::int32_t reloadDefault;
    std::int32_t min;
    std::int32_t max;
};

// An integer in the file that is held as a bool: 1 is true, 0 false.
struct FlagKey {
    SettingsField<bool> field;
    bool reloadDefault;
};

struct DecimalKey {
    SettingsField<float> field;
    float reloadDefault;
    float min;
    float max;
};

// A Windows virtual-key code, written in hexadecimal.
struct KeyCodeKey {
    SettingsField<std::int32_t> field;
    std::int32_t reloadDefault;
};

// XInput gamepad buttons, a bit mask written in hexadecimal like a key code.
struct ButtonMaskKey {
    SettingsField<std::int32_t> field;
    std::int32_t reloadDefault;
};

using KeyKind = std::variant<BooleanKey, DigitsKey, FlagKey, DecimalKey, KeyCodeKey, ButtonMaskKey>;

struct SettingKey {
    std::string_view key;
    KeyKind kind;
    std::string_view label = {};  // the log label when it is not "<key> -> "
};

constexpr std::int32_t kMinKeyCode = 1;
constexpr std::int32_t kMaxKeyCode = 255;
constexpr std::uint32_t kMaxButtonMask = 0xFFFF;

// Every key but bLogging, in the order in which the file is read and logged.
// bLogging leads that order and is handled on its own: its value is a request
// that takes effect only after the other lines are logged.
// Sized by its rows: a row added is never a default row left at the end.
constexpr auto kSettingKeys = std::to_array<SettingKey>({
    {"bShowInCombat", BooleanKey{&SettingsRecord::bShowInCombat, true}, "bShowInCombat   --->   "},
    {"bShowWhileSneaking", BooleanKey{&SettingsRecord::bShowWhileSneaking, true}},
    {"bShowWhileWeaponDrawn", BooleanKey{&SettingsRecord::bShowWhileWeaponDrawn, true}},
    {"bShowInSubtitles", BooleanKey{&SettingsRecord::bShowInSubtitles, true}},
    {"bShowLocationDiscovered", BooleanKey{&SettingsRecord::bShowLocationDiscovered, true}},
    {"bShowPlanetTraitDiscovered", BooleanKey{&SettingsRecord::bShowPlanetTraitDiscovered, true}},
    {"bShowMissionActive", BooleanKey{&SettingsRecord::bShowMissionActive, true}},
    {"bShowIfOverencumbered", BooleanKey{&SettingsRecord::bShowIfOverencumbered, false}},
    {"bShowIfJumping", BooleanKey{&SettingsRecord::bShowIfJumping, false}},
    {"bShowWhenHostilesAreNearby", BooleanKey{&SettingsRecord::bShowWhenHostilesAreNearby, false}},
    {"iKeepHUDShownMS", DigitsKey{&SettingsRecord::iKeepHUDShownMS, 2000, 0, 10000}},
    {"iKeepHUDShownLongMS", DigitsKey{&SettingsRecord::iKeepHUDShownLongMS, 7500, 0, 15000}},
    {"fShowBelowHealthPercent", DecimalKey{&SettingsRecord::fShowBelowHealthPercent, -1.0F, 0.0F, 100.0F}},
    {"fShowBelowOxygenPercent", DecimalKey{&SettingsRecord::fShowBelowOxygenPercent, -1.0F, 0.0F, 100.0F}},
    {"fShowBelowBoostPackPercent", DecimalKey{&SettingsRecord::fShowBelowBoostPackPercent, -1.0F, 0.0F, 100.0F}},
    {"iMenuOverriderShipHUDMenu", FlagKey{&SettingsRecord::iMenuOverriderShipHUDMenu, true}},
    {"iMenuOverriderHandscannerMenu", FlagKey{&SettingsRecord::iMenuOverriderHandscannerMenu, true}},
    {"bShowInLandVehicle", BooleanKey{&SettingsRecord::bShowInLandVehicle, false}},
    {"iHUDToggle", KeyCodeKey{&SettingsRecord::iHUDToggle, 0}},
    {"iHUDToggleGamepad", ButtonMaskKey{&SettingsRecord::iHUDToggleGamepad, 0}},
    {"iHUDToggleMinRequiredTimeSinceLastTogglePress",
     DigitsKey{&SettingsRecord::iHUDToggleMinRequiredTimeSinceLastTogglePress, 300, 1, 10000}},
    {"iHUDToggleMinHoldTime", DigitsKey{&SettingsRecord::iHUDToggleMinHoldTime, 300, 1, 65536}},
    {"iVehicleAimKeyDown", KeyCodeKey{&SettingsRecord::iVehicleAimKeyDown, 0}},
    {"bPlayUIFeedbackSounds", BooleanKey{&SettingsRecord::bPlayUIFeedbackSounds, true}},
    {"bShowIfAutoAimTargetIsNotActivatable", BooleanKey{&SettingsRecord::bShowIfAutoAimTargetIsNotActivatable, false}},
    {"bShowIfAutoAimTargetIsHarvestedFlora", BooleanKey{&SettingsRecord::bShowIfAutoAimTargetIsHarvestedFlora, false}},
    {"bReloadSettingsOnChange", BooleanKey{&SettingsRecord::bReloadSettingsOnChange, true}},
});

template <class... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};
template <class... Handlers>
Overloaded(Handlers...) -> Overloaded<Handlers...>;

void StoreReloadDefault(SettingsRecord& record, const KeyKind& kind)
{
    std::visit([&](const auto& key) { record.*key.field = key.reloadDefault; }, kind);
}

// Stores the value of a non-empty text when it is valid and in range; any
// other text leaves the reload default in place.
void StoreIfValid(SettingsRecord& record, const KeyKind& kind, std::string_view text)
{
    std::visit(Overloaded{
                   [&](const BooleanKey& key) { record.*key.field = ParseBoolean(text); },
                   [&](const DigitsKey& key) {
                       if (const auto value = ParseDigits(text); value && *value >= key.min && *value <= key.max) {
                           record.*key.field = *value;
                       }
                   },
                   [&](const FlagKey& key) {
                       if (const auto value = ParseFlag(text); value && (*value == 0 || *value == 1)) {
                           record.*key.field = *value == 1;
                       }
                   },
                   [&](const DecimalKey& key) {
                       if (const auto value = ParseDecimal(text); value && *value >= key.min && *value <= key.max) {
                           record.*key.field = *value;
                       }
                   },
                   [&](const KeyCodeKey& key) {
                       const auto value = ParseKeyCode(text);
                       if (value && *value >= kMinKeyCode && *value <= kMaxKeyCode) {
                           record.*key.field = static_cast<std::int32_t>(*value);
                       }
                   },
                   [&](const ButtonMaskKey& key) {
                       if (const auto value = ParseKeyCode(text); value && *value <= kMaxButtonMask) {
                           record.*key.field = static_cast<std::int32_t>(*value);
                       }
                   },
               },
               kind);
}

std::string Label(const SettingKey& setting)
{
    return setting.label.empty() ? fmt::format("{} -> ", setting.key) : std::string(setting.label);
}

// The stored value as the log shows it: booleans as 0 or 1, floats with six
// decimals, integers (key codes too) in decimal.
std::string StoredValueText(const SettingsRecord& record, const KeyKind& kind)
{
    return std::visit(Overloaded{
                          [&](const BooleanKey& key) { return fmt::format("{}", static_cast<int>(record.*key.field)); },
                          [&](const FlagKey& key) { return fmt::format("{}", static_cast<int>(record.*key.field)); },
                          [&](const DecimalKey& key) { return fmt::format("{:.6f}", (record.*key.field).load()); },
                          [&](const auto& key) { return fmt::format("{}", (record.*key.field).load()); },
                      },
                      kind);
}

}  // namespace

SettingsReading ReadSettings(IniValueReader read)
{
    SettingsReading reading;
    for (const auto& setting : kSettingKeys) {
        StoreReloadDefault(reading.record, setting.kind);
    }
    if (const auto text = read(kSettingsFileName, kSettingsSection, "bLogging"); !text.empty()) {
        reading.loggingRequested = ParseBoolean(text);
    }
    for (const auto& setting : kSettingKeys) {
        if (const auto text = read(kSettingsFileName, kSettingsSection, std::string(setting.key)); !text.empty()) {
            StoreIfValid(reading.record, setting.kind, text);
        }
    }
    return reading;
}

void ReloadINI(const SettingsReading& reading)
{
    // The reading was built aside and goes in force whole: a pass running
    // meanwhile reads the settings before the reload or after it, never a
    // mix, nor the defaults the reading started from.
    Settings.Publish(reading.record);

    if (Settings.bLogging) {
        LOG_INFO("bLogging -> {}", static_cast<int>(reading.loggingRequested));
        for (const auto& setting : kSettingKeys) {
            LOG_INFO("{}{}", Label(setting), StoredValueText(reading.record, setting.kind));
        }
    }

    if (!reading.loggingRequested && Settings.bLogging) {
        LOG_INFO("logging was requested to be turned off");
        Settings.bLogging = false;
    } else if (reading.loggingRequested && !Settings.bLogging) {
        Settings.bLogging = true;
        LOG_INFO("logging was requested to be turned on");
    }
}

void ReloadINI(IniValueReader read)
{
    ReloadINI(ReadSettings(read));
}

IniValueReader SettingsFileReader = &ReadIniValue;
