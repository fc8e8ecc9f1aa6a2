#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <string>
#include <string_view>

// The rules the HUD model follows and how its timeline names them, shared by
// the files of HudModel.
namespace sim::hud_rules {

// Before anything the session did: a stamp no delay reaches from.
inline constexpr double kLongAgo = -1e12;

// The player's situations that ask for the HUD, the switch that lets each
// do so, and how the timeline names them.
struct ConditionRule {
    const char* condition;
    const char* setting;
    const char* rule;
    const char* active;
    const char* ended;
};
inline constexpr std::array kConditionRules{
    ConditionRule{"weapon", "bShowWhileWeaponDrawn", "weapon rule", "weapon drawn", "the weapon was sheathed"},
    ConditionRule{"combat", "bShowInCombat", "combat rule", "in combat", "combat ended"},
    ConditionRule{"sneaking", "bShowWhileSneaking", "sneaking rule", "sneaking", "sneaking ended"},
    ConditionRule{"jumping", "bShowIfJumping", "jumping rule", "jumping", "the jump ended"},
    ConditionRule{"vehicle", "bShowInLandVehicle", "land-vehicle rule", "riding a land vehicle",
                  "the player left the vehicle"},
    ConditionRule{"overencumbered", "bShowIfOverencumbered", "over-encumbered rule", "over-encumbered",
                  "the load was lightened"},
    ConditionRule{"hostiles", "bShowWhenHostilesAreNearby", "hostiles rule", "hostiles nearby",
                  "the hostiles went away"},
    ConditionRule{"subtitle", "bShowInSubtitles", "subtitle rule", "a subtitle on screen", "the subtitle was hidden"},
};

struct MeterRule {
    const char* setting;
    const char* name;
};
inline constexpr std::array kMeterRules{MeterRule{"fShowBelowHealthPercent", "health"},
                                        MeterRule{"fShowBelowOxygenPercent", "oxygen"},
                                        MeterRule{"fShowBelowBoostPackPercent", "boost-pack fuel"}};

struct NotificationRule {
    const char* setting;  // null: always shows
    const char* rule;
    const char* what;
};
inline constexpr std::array kNotificationRules{
    NotificationRule{"bShowLocationDiscovered", "location-discovery rule", "the location discovery"},
    NotificationRule{"bShowPlanetTraitDiscovered", "trait-discovery rule", "the trait discovery"},
    NotificationRule{"bShowMissionActive", "mission-update rule", "the mission update"},
    NotificationRule{nullptr, "level-up rule", "the level-up"},
};

// Menus whose closing asks for the HUD once more: the plugin hides it later.
inline constexpr std::array<std::string_view, 10> kMenusThatAskOnClosing{
    "DataMenu",   "PauseMenu",  "GalaxyStarMapMenu", "InventoryMenu", "BSMissionMenu",
    "PowersMenu", "SkillsMenu", "PhotoModeMenu",     "ShipCrewMenu",  "MessageBoxMenu"};
// Full-screen menus during which the plugin leaves the HUD alone.
inline constexpr std::array<std::string_view, 2> kMandatoryMenus{"PlayBinkMenu", "EndGameCreditsMenu"};
// Menus that are part of the HUD, not game menus.
inline constexpr std::array<std::string_view, 3> kHudMenus{"HUDMenu", "HUDMessagesMenu", "CursorMenu"};

template <std::size_t N>
bool Contains(const std::array<std::string_view, N>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

inline std::string Percent(double value)
{
    const long long whole = std::llround(value);
    return std::abs(value - static_cast<double>(whole)) < 1e-6 ? std::to_string(whole) : std::to_string(value);
}

}  // namespace sim::hud_rules
