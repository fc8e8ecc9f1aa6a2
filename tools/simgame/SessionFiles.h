#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The files the simulated game shares with the plugin: the settings file it
// writes into the game folder and the log file the plugin writes.
namespace sim {

using IniOverrides = std::vector<std::pair<std::string, std::string>>;

// Copies `source` to `target` with the keys of [Settings] in `overrides` set
// to their values (appended when the file lacks them). False when `source`
// cannot be read or `target` written.
bool WriteIni(const std::filesystem::path& source, const std::filesystem::path& target, const IniOverrides& overrides);

// Copies `source` to `target` byte for byte, replacing it. False when
// `source` cannot be read or `target` written.
bool CopyIni(const std::filesystem::path& source, const std::filesystem::path& target);

// The value of `key` in [Settings] of an INI file, as written.
[[nodiscard]] std::optional<std::string> ReadIniValue(const std::filesystem::path& file, const std::string& key);

// Follows the plugin's log file as it grows; the plugin flushes every line.
class LogTail {
public:
    // The folder where the plugin writes its log in this user's documents.
    [[nodiscard]] static std::optional<std::filesystem::path> LogFolder();
    // The newest log file in that folder.
    [[nodiscard]] static std::optional<std::filesystem::path> NewestLogFile();

    // Starts following `file` from its first line.
    void Follow(std::filesystem::path file);
    [[nodiscard]] const std::filesystem::path& file() const noexcept { return file_; }

    // Whole lines appended since the previous call.
    std::vector<std::string> NewLines();

private:
    std::filesystem::path file_;
    std::uintmax_t offset_ = 0;
    std::string partial_;
};

// A log line without its time, logger, level and source prefix:
// "[UpdateHUD] result = [show] | WeaponDrawn".
[[nodiscard]] std::string LogMessage(const std::string& line);

}  // namespace sim
