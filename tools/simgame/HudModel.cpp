#include "HudModel.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace sim {

namespace {

constexpr double kLongAgo = -1e12;

// The player's situations that ask for the HUD, the switch that lets each
// do so, and how the timeline names them.
struct ConditionRule {
    const char* condition;
    const char* setting;
    const char* rule;
    const char* active;
    const char* ended;
};
constexpr std::array kConditionRules{
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
constexpr std::array kMeterRules{MeterRule{"fShowBelowHealthPercent", "health"},
                                 MeterRule{"fShowBelowOxygenPercent", "oxygen"},
                                 MeterRule{"fShowBelowBoostPackPercent", "boost-pack fuel"}};

struct NotificationRule {
    const char* setting;  // null: always shows
    const char* rule;
    const char* what;
};
constexpr std::array kNotificationRules{
    NotificationRule{"bShowLocationDiscovered", "location-discovery rule", "the location discovery"},
    NotificationRule{"bShowPlanetTraitDiscovered", "trait-discovery rule", "the trait discovery"},
    NotificationRule{"bShowMissionActive", "mission-update rule", "the mission update"},
    NotificationRule{nullptr, "level-up rule", "the level-up"},
};

// Menus whose closing asks for the HUD once more: the plugin hides it later.
constexpr std::array<std::string_view, 10> kMenusThatAskOnClosing{
    "DataMenu",   "PauseMenu",  "GalaxyStarMapMenu", "InventoryMenu", "BSMissionMenu",
    "PowersMenu", "SkillsMenu", "PhotoModeMenu",     "ShipCrewMenu",  "MessageBoxMenu"};
// Full-screen menus during which the plugin leaves the HUD alone.
constexpr std::array<std::string_view, 2> kMandatoryMenus{"PlayBinkMenu", "EndGameCreditsMenu"};
// Menus that are part of the HUD, not game menus.
constexpr std::array<std::string_view, 3> kHudMenus{"HUDMenu", "HUDMessagesMenu", "CursorMenu"};

template <std::size_t N>
bool Contains(const std::array<std::string_view, N>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::string Ms(long long milliseconds)
{
    return std::to_string(milliseconds) + " ms";
}

std::string Percent(double value)
{
    const long long whole = std::llround(value);
    return std::abs(value - static_cast<double>(whole)) < 1e-6 ? std::to_string(whole) : std::to_string(value);
}

}  // namespace

long long HudModel::Milliseconds(const std::string& key) const
{
    return settings_ ? settings_->Integer(key).value_or(0) : 0;
}

int HudModel::ToggleKey() const
{
    return settings_ ? static_cast<int>(settings_->Integer("iHUDToggle").value_or(0)) : 0;
}

int HudModel::VehicleAimKey() const
{
    return settings_ ? static_cast<int>(settings_->Integer("iVehicleAimKeyDown").value_or(0)) : 0;
}

const char* HudModel::SettingOf(const std::string& condition) const
{
    for (const auto& rule : kConditionRules) {
        if (condition == rule.condition) {
            return rule.setting;
        }
    }
    return nullptr;
}

bool HudModel::Enabled(const std::string& condition) const
{
    const char* setting = SettingOf(condition);
    return settings_ && setting != nullptr && settings_->Switch(setting).value_or(false);
}

bool HudModel::IsGameMenu(const std::string& name) const
{
    if (Contains(kHudMenus, name) || Contains(kMandatoryMenus, name)) {
        return false;
    }
    // With its overrider at 0 the scanner or the ship HUD does not keep the HUD.
    const auto overrider = [&](const char* key) { return !settings_ || settings_->Switch(key).value_or(true); };
    if (name == "MonocleMenu") {
        return overrider("iMenuOverriderHandscannerMenu");
    }
    if (name == "SpaceshipHudMenu") {
        return overrider("iMenuOverriderShipHUDMenu");
    }
    return true;
}

HudModel::Asking HudModel::LastingReasons() const
{
    Asking asking;
    const auto add = [&asking](const std::string& why) {
        asking.why += (asking.any ? ", " : "") + why;
        asking.any = true;
    };
    for (const auto& rule : kConditionRules) {
        if (conditions_.count(rule.condition) != 0 && Enabled(rule.condition)) {
            add(rule.active);
        }
    }
    if (VehicleAimKey() > 0 && keysDown_.count(VehicleAimKey()) != 0) {
        add("the vehicle-aim key held");
    }
    for (std::size_t i = 0; i < kMeterRules.size(); ++i) {
        const double threshold = settings_ ? settings_->Decimal(kMeterRules[i].setting).value_or(-1.0) : -1.0;
        if (threshold >= 0.0 && meters_[i] <= threshold) {
            add(std::string(kMeterRules[i].name) + " at " + Percent(meters_[i]) + "% (" + kMeterRules[i].setting +
                " -> " + Percent(threshold) + ")");
        }
    }
    for (const std::string& menu : menus_) {
        if (IsGameMenu(menu)) {
            add(menu + " open");
        }
    }
    if (menus_.empty()) {
        add("no menu on the UI's stack, not even the HUD's");
    }
    if (toggle_ == Toggle::ForcedShown) {
        add("the toggle key forced it on");
    }
    return asking;
}

double HudModel::FreeSince(std::string* what) const
{
    double free = freeSince_;
    *what = freeWhat_;
    const double longEnd = longStamp_ + static_cast<double>(Milliseconds("iKeepHUDShownLongMS"));
    if (longEnd > free) {
        free = longEnd;
        *what = "iKeepHUDShownLongMS (" + Ms(Milliseconds("iKeepHUDShownLongMS")) + ") after " + longWhat_;
    }
    if (graceEnd_ > free) {
        free = graceEnd_;
        *what = "the grace period";
    }
    return free;
}

Forecast HudModel::Steady(double now) const
{
    if (!loaded_) {
        return {Seen::Either, "the game's data is not loaded yet"};
    }
    if (now < graceEnd_) {
        return {graceSeen_, "the plugin leaves the HUD alone for 10 s after " + graceWhat_};
    }
    if (!settings_) {
        return {Seen::Either, "no save loaded yet: the plugin has not read its settings"};
    }
    if (settingsStale_) {
        return {Seen::Either, "the settings file changed and the plugin re-read it without logging what it read"};
    }
    for (const std::string& menu : menus_) {
        if (Contains(kMandatoryMenus, menu)) {
            return {Seen::Either, menu + " open: the plugin leaves the HUD alone"};
        }
        if ((menu == "MonocleMenu" || menu == "SpaceshipHudMenu") && !IsGameMenu(menu)) {
            return {Seen::Either, menu + " open with its overrider at 0: not followed by the timeline"};
        }
    }
    if (ToggleKey() > 0 && keysDown_.count(ToggleKey()) != 0) {
        return {Seen::Either, "the toggle key held"};
    }
    if (toggle_ == Toggle::Unknown) {
        return {Seen::Either, "a toggle-key press too near a limit to tell what it did"};
    }
    if (toggle_ == Toggle::ForcedHidden) {
        for (const std::string& menu : menus_) {
            if (IsGameMenu(menu)) {
                return {Seen::Shown, menu + " open (a game menu keeps the HUD even when forced off)"};
            }
        }
        return {Seen::Hidden, "the toggle key forced it off"};
    }
    Asking asking = LastingReasons();
    const long long keepLong = Milliseconds("iKeepHUDShownLongMS");
    if (now < longStamp_ + static_cast<double>(keepLong)) {
        asking.why +=
            std::string(asking.any ? ", " : "") + longWhat_ + " (kept iKeepHUDShownLongMS, " + Ms(keepLong) + ")";
        asking.any = true;
    }
    if (asking.any) {
        return {Seen::Shown, asking.why};
    }
    std::string what;
    const double free = FreeSince(&what);
    const long long keep = Milliseconds("iKeepHUDShownMS");
    const double earliest = free + static_cast<double>(keep);
    const double latest = std::max(free, busySince_ + static_cast<double>(keep)) + static_cast<double>(keep);
    const std::string delay = "iKeepHUDShownMS (" + Ms(keep) + ") after " + what;
    if (now < earliest - kEarlyMs) {
        return {Seen::Shown, "kept " + delay};
    }
    if (now > latest + kLateMs) {
        return {Seen::Hidden, "nothing asks for the HUD: hidden " + delay};
    }
    return {Seen::Either, "nothing asks for the HUD: hidden " + delay};
}

Forecast HudModel::At(double now) const
{
    Forecast steady = Steady(now);
    if (now < reactionUntil_ && steady.seen != seenBefore_) {
        return {Seen::Either, steady.why};
    }
    return steady;
}

void HudModel::Before(double now)
{
    askedBefore_ = LastingReasons().any;
    totalBefore_ =
        askedBefore_ || now < graceEnd_ || now < longStamp_ + static_cast<double>(Milliseconds("iKeepHUDShownLongMS"));
    seenBefore_ = At(now).seen;
}

void HudModel::After(double now, const std::string& ended)
{
    const bool askedAfter = LastingReasons().any;
    if (askedBefore_ && !askedAfter) {
        freeSince_ = now;
        freeWhat_ = ended;
    }
    if (!totalBefore_ && askedAfter) {
        busySince_ = now;
    }
    reactionUntil_ = now + kReactionMs;
}

// A request to show the HUD once (a menu opening, some menus closing): shown
// at once, then hidden by the delay like any reason that ended.
void HudModel::Momentary(double now, const std::string& what)
{
    if (!totalBefore_ && !askedBefore_) {
        busySince_ = now;
    }
    freeSince_ = std::max(freeSince_, now);
    freeWhat_ = what;
    seenBefore_ = Seen::Either;
}

void HudModel::DataLoaded(double now)
{
    // The plugin stamps its timers as it installs: the delays run from here.
    loaded_ = true;
    graceEnd_ = now + kGraceMs;
    longStamp_ = now;
    longWhat_ = "the game's data was loaded";
    busySince_ = now;
    freeSince_ = now;
    freeWhat_ = "the game's data was loaded";
}

void HudModel::SaveLoaded(double now, const std::optional<SettingsAsRead>& settings, bool settingsFileChanged)
{
    Before(now);
    conditions_.erase("subtitle");
    const bool inMenu = std::any_of(menus_.begin(), menus_.end(),
                                    [](const std::string& menu) { return menu == "PauseMenu" || menu == "MainMenu"; });
    if (inMenu) {
        if (toggle_ == Toggle::ForcedHidden) {
            freeSince_ = kLongAgo;
            busySince_ = kLongAgo;
        }
        toggle_ = Toggle::Automatic;
        lastToggleAction_ = now;
    }
    if (settings && !settings->empty()) {
        settings_ = settings;
        settingsStale_ = false;
    } else if (settingsFileChanged || !settings_) {
        settingsStale_ = true;
    }
    After(now, inMenu ? "the save load gave the HUD back" : "the save load cleared the subtitle");
}

void HudModel::SetCondition(const std::string& condition, bool on, double now)
{
    Before(now);
    std::string ended = condition + " ended";
    for (const auto& rule : kConditionRules) {
        if (condition == rule.condition) {
            ended = rule.ended;
        }
    }
    if (on) {
        conditions_.insert(condition);
    } else {
        conditions_.erase(condition);
    }
    After(now, ended);
}

void HudModel::SetMeter(Meter meter, float percent, double now)
{
    Before(now);
    const auto index = static_cast<std::size_t>(meter);
    meters_[index] = percent;
    After(now, std::string(kMeterRules[index].name) + " rose above " + kMeterRules[index].setting);
}

void HudModel::MenuOpened(const std::string& name, double now, bool weaponDrawn)
{
    if (name == "CursorMenu") {
        menus_.push_back(name);
        return;
    }
    Before(now);
    menus_.push_back(name);
    if (name == "EndGameCreditsMenu") {
        graceEnd_ = now + kGraceMs;
        graceSeen_ = Seen::Either;
        graceWhat_ = "the end credits";
    } else {
        Momentary(now, name + " opened");
        if (name == "MonocleMenu") {
            scannerWeapon_ = weaponDrawn;
        }
    }
    After(now, name + " opened");
}

void HudModel::MenuClosed(const std::string& name, double now)
{
    // The game reports a closing even for a menu that was not open; the
    // plugin answers the event all the same.
    const auto found = std::find(menus_.rbegin(), menus_.rend(), name);
    const bool wasOpen = found != menus_.rend();
    if (name == "CursorMenu") {
        if (wasOpen) {
            menus_.erase(std::next(found).base());
        }
        return;
    }
    Before(now);
    const bool gameMenu = wasOpen && IsGameMenu(name);
    if (wasOpen) {
        menus_.erase(std::next(found).base());
    }
    const bool anyGameMenu =
        std::any_of(menus_.begin(), menus_.end(), [this](const std::string& menu) { return IsGameMenu(menu); });
    if (name == "EndGameCreditsMenu") {
        graceEnd_ = now + kGraceMs;
        graceSeen_ = Seen::Either;
        graceWhat_ = "the end credits";
    } else if (Contains(kMenusThatAskOnClosing, name) && Milliseconds("iKeepHUDShownMS") > 0) {
        Momentary(now, name + " closed");
    } else if (name == "MonocleMenu" && scannerWeapon_) {
        Momentary(now, name + " closed");
        scannerWeapon_ = false;
    }
    After(now, name + " closed");
    // While a game menu is open the plugin keeps restarting its delay, so the
    // delay after it may take up to one more round.
    if (gameMenu && !anyGameMenu) {
        busySince_ = now;
    }
}

void HudModel::Notified(Notification notification, double now)
{
    const auto& rule = kNotificationRules[static_cast<std::size_t>(notification)];
    if (!settings_ || (rule.setting != nullptr && !settings_->Switch(rule.setting).value_or(false))) {
        return;
    }
    Before(now);
    if (!totalBefore_ && !askedBefore_) {
        busySince_ = now;
    }
    longStamp_ = now;
    longWhat_ = rule.what;
    seenBefore_ = Seen::Either;
    After(now, rule.what);
}

std::optional<HudModel::RuleOff> HudModel::RuleOffFor(const std::string& condition) const
{
    if (!settings_ || settingsStale_ || Enabled(condition)) {
        return std::nullopt;
    }
    for (const auto& rule : kConditionRules) {
        if (condition == rule.condition) {
            return RuleOff{rule.rule, rule.setting};
        }
    }
    return std::nullopt;
}

std::optional<HudModel::RuleOff> HudModel::NotificationOff(Notification notification) const
{
    const auto& rule = kNotificationRules[static_cast<std::size_t>(notification)];
    if (!settings_ || settingsStale_ || rule.setting == nullptr || settings_->Switch(rule.setting).value_or(false)) {
        return std::nullopt;
    }
    return RuleOff{rule.rule, rule.setting};
}

std::optional<std::string> HudModel::MeterQuiet(Meter meter) const
{
    if (!settings_ || settingsStale_) {
        return std::nullopt;
    }
    const auto index = static_cast<std::size_t>(meter);
    const MeterRule& rule = kMeterRules[index];
    const double threshold = settings_->Decimal(rule.setting).value_or(-1.0);
    const std::string read = std::string(rule.setting) + " -> " + settings_->Text(rule.setting).value_or("?");
    if (threshold < 0.0) {
        return std::string(rule.name) + " rule off in your settings (" + read + ")";
    }
    if (meters_[index] > threshold) {
        return std::string(rule.name) + " at " + Percent(meters_[index]) + "% is above your threshold (" + read + ")";
    }
    return std::nullopt;
}

std::optional<std::vector<std::string>> HudModel::Sounds() const
{
    if (soundsUnsure_) {
        return std::nullopt;
    }
    return sounds_;
}

void HudModel::Key(int virtualKey, bool down, double now, bool hudShown)
{
    const bool toggleKey = ToggleKey() > 0 && virtualKey == ToggleKey() && !settingsStale_;
    Before(now);
    if (down) {
        if (keysDown_.insert(virtualKey).second && toggleKey) {
            toggleDownAt_ = now;
        }
        After(now, "");
        return;
    }
    const bool wasDown = keysDown_.erase(virtualKey) != 0;
    const Toggle before = toggle_;
    if (toggleKey && wasDown) {
        ToggleReleased(now - toggleDownAt_, now, hudShown);
    }
    After(now, before == Toggle::ForcedShown ? "the toggle key gave the HUD back" : "the vehicle-aim key was released");
    if (before != toggle_) {
        seenBefore_ = Seen::Either;
    }
}

void HudModel::LongPressActs(double now)
{
    if (settings_->Switch("bPlayUIFeedbackSounds").value_or(false)) {
        const bool forced = toggle_ == Toggle::ForcedShown || toggle_ == Toggle::ForcedHidden;
        sounds_.emplace_back(forced ? "UIMenuGeneralOK" : "UIMenuGeneralActivateFailure");
    }
    if (toggle_ == Toggle::ForcedHidden) {
        // The HUD is hidden and nothing in the plugin's delay will show it.
        freeSince_ = kLongAgo;
        busySince_ = kLongAgo;
    }
    toggle_ = Toggle::Automatic;
    lastToggleAction_ = now;
}

// The press as the plugin counts it: 50 per decision pass while the key is
// down; a count reaching iHUDToggleMinHoldTime is a long press on the next
// pass (again each time the count, restarted, reaches it while held); a
// release below it is a short press. Either acts only
// iHUDToggleMinRequiredTimeSinceLastTogglePress after the last press that
// acted. Presses too near a limit leave the toggle state unknown.
void HudModel::ToggleReleased(double heldMs, double now, bool hudShown)
{
    const long long holdCount = std::max<long long>(1, Milliseconds("iHUDToggleMinHoldTime"));
    const double gap = static_cast<double>(Milliseconds("iHUDToggleMinRequiredTimeSinceLastTogglePress"));
    const double passesToLong = std::ceil(static_cast<double>(holdCount) / kHoldCountPerPass);
    const double roundMs = (passesToLong + 1) * kPassMs;
    const double pressedAt = now - heldMs;
    bool unsure = false;
    const auto acts = [&](double at, double tolerance) {
        const double since = at - lastToggleAction_;
        unsure = unsure || std::abs(since - gap) <= tolerance;
        return since >= gap;
    };
    for (int round = 1;; ++round) {
        const double offset = roundMs * round;
        const double tolerance = 2 * kPassMs + 0.1 * offset;
        if (offset - tolerance > heldMs) {
            break;  // surely not reached
        }
        const bool surelyReached = offset + tolerance <= heldMs;
        const bool wouldAct = acts(pressedAt + offset, tolerance);
        if (!surelyReached) {
            // Maybe reached: it matters when it would act, or when it decides
            // between a long and a short press.
            unsure = unsure || wouldAct || round == 1;
            break;
        }
        if (wouldAct) {
            LongPressActs(pressedAt + offset);
        }
    }
    const double firstLong = roundMs;
    if (heldMs + 2 * kPassMs + 0.1 * firstLong < firstLong && acts(now + kPassMs, 2 * kPassMs)) {
        toggle_ = hudShown ? Toggle::ForcedHidden : Toggle::ForcedShown;
        lastToggleAction_ = now + kPassMs;
    }
    if (unsure) {
        toggle_ = Toggle::Unknown;
        soundsUnsure_ = true;
    }
}

}  // namespace sim
