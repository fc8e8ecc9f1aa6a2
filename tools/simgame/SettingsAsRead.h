#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace sim {

// The settings as the plugin read them, from the lines it logs while it
// re-reads its settings file ("[ReloadINI] iHUDToggle -> 0"): what the session
// expects follows from these, never from a reading of the file of our own.
class SettingsAsRead {
public:
    // Takes one log message (without the line's time and level prefix);
    // returns whether it was a settings line of a reload.
    bool TakeLogMessage(std::string_view message);

    [[nodiscard]] bool empty() const noexcept { return values_.empty(); }
    [[nodiscard]] std::size_t size() const noexcept { return values_.size(); }
    // The value as logged, or nothing when the reload logged no such key.
    [[nodiscard]] std::optional<std::string> Text(const std::string& key) const;
    [[nodiscard]] std::optional<bool> Switch(const std::string& key) const;
    [[nodiscard]] std::optional<long long> Integer(const std::string& key) const;
    [[nodiscard]] std::optional<double> Decimal(const std::string& key) const;

private:
    std::map<std::string, std::string, std::less<>> values_;
};

}  // namespace sim
