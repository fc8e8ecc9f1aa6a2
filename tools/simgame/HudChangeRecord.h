#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

// The record of the HUD changes the game saw, one line per change, for tools
// that compare a timeline against the session: hud-changes.tsv.
namespace sim {

// "YYYY-MM-DD HH:MM:SS.ffffff" in local time, as the plugin's log lines carry it.
[[nodiscard]] std::string LocalTimestamp(std::chrono::system_clock::time_point time);

class HudChangeRecord {
public:
    static constexpr const char* kFileName = "hud-changes.tsv";

    // Starts the file anew in `folder`, with its header line.
    explicit HudChangeRecord(const std::filesystem::path& folder);

    // One change: when, shown or hidden, and why (tabs and line breaks become blanks).
    void Add(std::chrono::system_clock::time_point time, bool shown, const std::string& reason);

    [[nodiscard]] const std::filesystem::path& path() const noexcept { return path_; }
    [[nodiscard]] bool good() const { return static_cast<bool>(file_); }

private:
    std::filesystem::path path_;
    std::ofstream file_;
};

}  // namespace sim
