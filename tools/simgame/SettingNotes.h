#pragma once

#include <optional>
#include <string>
#include <vector>

// Why the plugin read a value other than the one a player wrote: the raw
// text of the settings file beside the value the plugin logged.
namespace sim {

// The keys a note may be about, in the order of the settings file.
[[nodiscard]] const std::vector<std::string>& NotedSettingKeys();

// A line such as "iHUDToggle=112 is refused (hexadecimal 0x112 is out of
// range 1 to FF): no toggle key, taps do nothing", or nothing when the file
// says what the plugin read (or does not hold the key).
[[nodiscard]] std::optional<std::string> SettingNote(const std::string& key, const std::optional<std::string>& written,
                                                     const std::optional<std::string>& read);

}  // namespace sim
