#include "HudModel.h"

#include "HudRules.h"

#include <algorithm>
#include <string>

namespace sim {

using hud_rules::Contains;
using hud_rules::kConditionRules;
using hud_rules::kLongAgo;
using hud_rules::kMandatoryMenus;
using hud_rules::kMeterRules;
using hud_rules::kNotificationRules;
using hud_rules::Percent;

namespace {

std::string Ms(long long milliseconds)
{
    return std::to_string(milliseconds) + " ms";
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

std::uint16_t HudModel::ToggleButtons() const
{
    return settings_ ? static_cast<std::uint16_t>(settings_->Integer("iHUDToggleGamepad").value_or(0)) : 0;
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
    if (ToggleInputDown()) {
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

void HudModel::SettingsFileReread(double now, const std::optional<SettingsAsRead>& settings)
{
    Before(now);
    if (settings && !settings->empty()) {
        settings_ = settings;
        settingsStale_ = false;
    } else {
        settingsStale_ = true;
    }
    After(now, "the settings file changed");
}

bool HudModel::FollowsSettingsFile() const
{
    return settings_ && !settingsStale_ && settings_->Switch("bReloadSettingsOnChange").value_or(false);
}

bool HudModel::PassesHeldOff(double now) const
{
    return !loaded_ || now < graceEnd_ ||
           std::ranges::any_of(menus_, [](const std::string& menu) { return Contains(kMandatoryMenus, menu); });
}

bool HudModel::Logging() const
{
    return settings_ && !settingsStale_ && settings_->Switch("bLogging").value_or(false);
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

}  // namespace sim
