// Why a step does not move the HUD: its rule is off in the settings as read,
// or its level is above the threshold.

#include "HudModel.h"
#include "HudRules.h"

#include <string>

namespace sim {

using hud_rules::kConditionRules;
using hud_rules::kMeterRules;
using hud_rules::kNotificationRules;
using hud_rules::MeterRule;
using hud_rules::Percent;

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

}  // namespace sim
