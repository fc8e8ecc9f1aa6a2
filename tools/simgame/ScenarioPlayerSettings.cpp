// The steps on the settings file: a value written into it, and a save load
// on which the plugin re-reads it and logs what it read.

#include "ScenarioPlayer.h"
#include "SessionFiles.h"
#include "SettingNotes.h"
#include "SettingsAsRead.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace sim {

namespace {

// The settings a player reads the session by.
constexpr std::array kSummaryKeys{"bLogging",   "iKeepHUDShownMS",    "iKeepHUDShownLongMS",
                                  "iHUDToggle", "iVehicleAimKeyDown", "iHUDToggleMinHoldTime"};

// Key codes are hexadecimal in the settings file; the plugin logs them in decimal.
std::string HexKey(int virtualKey)
{
    constexpr const char* kDigits = "0123456789ABCDEF";
    return {kDigits[(virtualKey >> 4) & 0xF], kDigits[virtualKey & 0xF]};
}

}  // namespace

void ScenarioPlayer::LoadSave()
{
    game_.RaiseEvent(game_facts::kSaveLoadSourceID);
    SettingsAsRead read;
    for (const std::string& message : session_.NewMessages()) {
        read.TakeLogMessage(message);
    }
    if (!settingsLogged_) {
        timeline_.Check(!read.empty(),
                        "the plugin logged the settings it read (" + std::to_string(read.size()) + " keys)");
    }
    if (!read.empty()) {
        settingsLogged_ = true;
        settingsFileChanged_ = false;
        std::string summary;
        for (const char* key : kSummaryKeys) {
            summary += (summary.empty() ? "" : ", ") + std::string(key) + " -> " + read.Text(key).value_or("?");
            const bool keyCode = std::string_view(key) == "iHUDToggle" || std::string_view(key) == "iVehicleAimKeyDown";
            if (const auto code = read.Integer(key); code && keyCode) {
                summary += *code > 0 ? " (0x" + HexKey(static_cast<int>(*code)) + ")" : " (none)";
            }
        }
        timeline_.Event("read", summary);
        for (const std::string& key : NotedSettingKeys()) {
            // Each note once while the file and the plugin's reading agree on it.
            auto note = SettingNote(key, ReadIniValue(settings_.iniTarget, key), read.Text(key));
            if (note && notesGiven_.insert(*note).second) {
                Note(*note);
            }
        }
    } else if (settingsLogged_) {
        Note(settingsFileChanged_ ? "the plugin re-read a changed settings file with logging off: the timeline "
                                    "cannot know what it read and checks the HUD no more"
                                  : "the plugin re-read its settings with logging off; the file is unchanged, so "
                                    "the values read before still hold");
    }
    model_.SaveLoaded(Now(), read.empty() ? std::nullopt : std::optional(read), settingsFileChanged_);
    session_.Collect();
}

void ScenarioPlayer::SetSetting(const Step& step)
{
    const bool written = WriteIni(settings_.iniTarget, settings_.iniTarget, {{step.name, step.value}});
    timeline_.Check(written, "the settings file now holds " + step.name + "=" + step.value +
                                 " (the plugin reads it when a save is loaded)");
    settingsFileChanged_ = true;
}

}  // namespace sim
