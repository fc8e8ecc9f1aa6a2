#include "SettingsAsRead.h"

#include <charconv>
#include <cmath>

namespace sim {

namespace {

constexpr std::string_view kReloadPrefix = "[ReloadINI] ";

// Trims blanks and, for the key before a long arrow ("--->"), the arrow's dashes.
std::string_view Trimmed(std::string_view text, std::string_view extra = {})
{
    const auto strip = [extra](char c) { return c == ' ' || c == '\r' || extra.find(c) != std::string_view::npos; };
    while (!text.empty() && strip(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && strip(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

bool SettingsAsRead::TakeLogMessage(std::string_view message)
{
    if (message.substr(0, kReloadPrefix.size()) != kReloadPrefix) {
        return false;
    }
    message.remove_prefix(kReloadPrefix.size());
    // "key -> value", and "bShowInCombat   --->   1" with a longer arrow.
    const auto arrow = message.find("->");
    if (arrow == std::string_view::npos) {
        return false;
    }
    const std::string_view key = Trimmed(message.substr(0, arrow), "-");
    const std::string_view value = Trimmed(message.substr(arrow + 2));
    if (key.empty() || key.find(' ') != std::string_view::npos || value.empty()) {
        return false;
    }
    values_[std::string(key)] = std::string(value);
    return true;
}

std::optional<std::string> SettingsAsRead::Text(const std::string& key) const
{
    const auto found = values_.find(key);
    return found == values_.end() ? std::nullopt : std::optional(found->second);
}

std::optional<bool> SettingsAsRead::Switch(const std::string& key) const
{
    const auto value = Integer(key);
    if (!value || (*value != 0 && *value != 1)) {
        return std::nullopt;
    }
    return *value == 1;
}

std::optional<long long> SettingsAsRead::Integer(const std::string& key) const
{
    const auto text = Text(key);
    long long value = 0;
    if (!text || std::from_chars(text->data(), text->data() + text->size(), value).ptr != text->data() + text->size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> SettingsAsRead::Decimal(const std::string& key) const
{
    const auto text = Text(key);
    double value = 0;
    if (!text || std::from_chars(text->data(), text->data() + text->size(), value).ptr != text->data() + text->size() ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

}  // namespace sim
