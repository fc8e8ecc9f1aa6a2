#include "SettingNotes.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <string_view>

namespace sim {

namespace {

enum class Kind { Switch, KeyCode, Milliseconds, Percent, Flag };

struct Key {
    const char* name;
    Kind kind;
    const char* range;        // as the player may write it
    const char* consequence;  // what the value read means in play
};

// The settings file's keys as a player knows them from the README.
constexpr std::array kKeys{
    Key{"bLogging", Kind::Switch, "", "no log lines after the first save load"},
    Key{"bShowInCombat", Kind::Switch, "", "combat rule off"},
    Key{"bShowWhileSneaking", Kind::Switch, "", "sneaking rule off"},
    Key{"bShowWhileWeaponDrawn", Kind::Switch, "", "weapon rule off"},
    Key{"bShowInSubtitles", Kind::Switch, "", "subtitle rule off"},
    Key{"bShowLocationDiscovered", Kind::Switch, "", "location discoveries do not show the HUD"},
    Key{"bShowPlanetTraitDiscovered", Kind::Switch, "", "trait discoveries do not show the HUD"},
    Key{"bShowMissionActive", Kind::Switch, "", "mission updates do not show the HUD"},
    Key{"bShowIfOverencumbered", Kind::Switch, "", "over-encumbered rule off"},
    Key{"bShowIfJumping", Kind::Switch, "", "jumping rule off"},
    Key{"bShowWhenHostilesAreNearby", Kind::Switch, "", "hostiles rule off"},
    Key{"iKeepHUDShownMS", Kind::Milliseconds, "0 to 10000", "the default applies"},
    Key{"iKeepHUDShownLongMS", Kind::Milliseconds, "0 to 15000", "the default applies"},
    Key{"fShowBelowHealthPercent", Kind::Percent, "0 to 100", "the health rule keeps its default"},
    Key{"fShowBelowOxygenPercent", Kind::Percent, "0 to 100", "the oxygen rule keeps its default"},
    Key{"fShowBelowBoostPackPercent", Kind::Percent, "0 to 100", "the boost-pack rule keeps its default"},
    Key{"iMenuOverriderShipHUDMenu", Kind::Flag, "0 or 1", "the default applies"},
    Key{"iMenuOverriderHandscannerMenu", Kind::Flag, "0 or 1", "the default applies"},
    Key{"bShowInLandVehicle", Kind::Switch, "", "land-vehicle rule off"},
    Key{"iHUDToggle", Kind::KeyCode, "1 to FF", "no toggle key, taps do nothing"},
    Key{"iHUDToggleGamepad", Kind::KeyCode, "0 to FFFF", "no controller toggle"},
    Key{"iHUDToggleMinRequiredTimeSinceLastTogglePress", Kind::Milliseconds, "1 to 10000", "the default applies"},
    Key{"iHUDToggleMinHoldTime", Kind::Milliseconds, "1 to 65536", "the default applies"},
    Key{"iVehicleAimKeyDown", Kind::KeyCode, "1 to FF", "no vehicle-aim key"},
    Key{"bPlayUIFeedbackSounds", Kind::Switch, "", "no toggle-key sounds"},
    Key{"bShowIfAutoAimTargetIsNotActivatable", Kind::Switch, "", "that aiming rule off"},
    Key{"bShowIfAutoAimTargetIsHarvestedFlora", Kind::Switch, "", "that aiming rule off"},
    Key{"bReloadSettingsOnChange", Kind::Switch, "", "the file is read again only when a save is loaded"},
};

// The digits of a hexadecimal text ("0x70" or "70"), or nothing.
std::optional<std::string_view> HexDigits(std::string_view text)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
    }
    const bool hex = !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isxdigit(static_cast<unsigned char>(c)) != 0;
    });
    return hex ? std::optional(text) : std::nullopt;
}

std::string Upper(std::string_view text)
{
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
    return upper;
}

// Whether the written text names the number the plugin logged.
bool SameNumber(std::string_view written, std::string_view read)
{
    double a = 0;
    double b = 0;
    const auto [endA, errorA] = std::from_chars(written.data(), written.data() + written.size(), a);
    const auto [endB, errorB] = std::from_chars(read.data(), read.data() + read.size(), b);
    return errorA == std::errc() && errorB == std::errc() && endA == written.data() + written.size() &&
           endB == read.data() + read.size() && std::abs(a - b) < 1e-4;
}

}  // namespace

const std::vector<std::string>& NotedSettingKeys()
{
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> names;
        for (const Key& key : kKeys) {
            names.emplace_back(key.name);
        }
        return names;
    }();
    return keys;
}

std::optional<std::string> SettingNote(const std::string& name, const std::optional<std::string>& written,
                                       const std::optional<std::string>& read)
{
    const auto key = std::find_if(kKeys.begin(), kKeys.end(), [&](const Key& entry) { return name == entry.name; });
    if (key == kKeys.end() || !written || written->empty() || !read) {
        return std::nullopt;
    }
    const std::string head = name + "=" + *written;
    switch (key->kind) {
        case Kind::Switch:
            if (*written == "1" || *written == "0" || *read != "0") {
                return std::nullopt;
            }
            return head + " reads as 0 (a switch is on only with 1): " + key->consequence;
        case Kind::KeyCode: {
            if (*read != "0" || SameNumber(*written, "0")) {
                return std::nullopt;
            }
            const auto digits = HexDigits(*written);
            const std::string why = digits ? "hexadecimal 0x" + Upper(*digits) + " is out of range " + key->range
                                           : "not a hexadecimal key code";
            return head + " is refused (" + why + "): " + key->consequence;
        }
        case Kind::Milliseconds:
        case Kind::Percent:
        case Kind::Flag:
            if (SameNumber(*written, *read)) {
                return std::nullopt;
            }
            return head + " is refused (" + key->range + " only): " + key->consequence + ", " + name + " -> " + *read;
    }
    return std::nullopt;
}

}  // namespace sim
