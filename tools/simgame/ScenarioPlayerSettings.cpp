// The steps on the settings file: a value written into it, and a save load
// on which the plugin re-reads it and logs what it read; and the plugin's own
// re-reading of the file when it changed, which it logs the same way.

#include "ScenarioPlayer.h"
#include "SessionFiles.h"
#include "SettingNotes.h"
#include "SettingsAsRead.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

namespace {

// The settings a player reads the session by.
constexpr std::string_view kRereadLine = "[CheckSettingsFile] settings file changed, reloading";
constexpr std::string_view kLoggingTurnedOn = "[ReloadINI] logging was requested to be turned on";
// A re-reading is due within a second of a save; frames come late under load.
constexpr double kRereadWithinMs = 1000 + HudModel::kLateMs;

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
    editedAt_ = -1;  // the save load read the edit; the plugin has nothing left to re-read
    session_.Collect();
}

void ScenarioPlayer::SetSetting(const Step& step)
{
    WriteSetting(step, "when a save is loaded");
}

void ScenarioPlayer::EditSettings(const Step& step)
{
    WriteSetting(step, "within a second while bReloadSettingsOnChange is on");
    if (model_.FollowsSettingsFile() && model_.Logging()) {
        editedAt_ = Now();
    }
}

void ScenarioPlayer::WriteSetting(const Step& step, const std::string& when)
{
    const bool written = WriteIni(settings_.iniTarget, settings_.iniTarget, {{step.name, step.value}});
    timeline_.Check(
        written, "the settings file now holds " + step.name + "=" + step.value + " (the plugin reads it " + when + ")");
    settingsFileChanged_ = true;
    if (model_.FollowsSettingsFile() && !model_.Logging()) {
        // It will read the file within a second, and log nothing of it.
        Note(
            "the plugin re-reads its changed settings file with logging off: the timeline cannot know what it "
            "read and checks the HUD no more");
        model_.SettingsFileReread(Now(), std::nullopt);
    }
}

void ScenarioPlayer::FollowSettingsRereads()
{
    std::optional<SettingsAsRead> reread;
    bool unknownReading = false;
    for (const std::string& message : session_.NewMessages()) {
        if (message == kRereadLine) {
            reread.emplace();
        } else if (reread) {
            reread->TakeLogMessage(message);
        } else if (message == kLoggingTurnedOn) {
            unknownReading = true;  // read with logging off: only this line tells of it
        }
    }
    if (!reread) {
        if (unknownReading) {
            model_.SettingsFileReread(Now(), std::nullopt);
        }
        return;
    }
    timeline_.Check(model_.FollowsSettingsFile(),
                    "the plugin re-read its settings file on its own while bReloadSettingsOnChange is on");
    std::vector<std::string> changes;
    for (const std::string& key : NotedSettingKeys()) {
        const auto before = model_.settings() ? model_.settings()->Text(key) : std::nullopt;
        const auto after = reread->Text(key);
        if (before != after) {
            changes.push_back(key + " " + before.value_or("?") + " -> " + after.value_or("?"));
        }
    }
    for (const std::string& change : changes) {
        timeline_.Event("read", "settings file changed: " + change);
    }
    if (changes.empty()) {
        timeline_.Event("read", "settings file changed: no setting changed");
    }
    if (editedAt_ >= 0) {
        const double after = Now() - editedAt_;
        timeline_.Check(after <= kRereadWithinMs, "the plugin read the edited file within a second (after " +
                                                      std::to_string(static_cast<long long>(after)) + " ms)");
        editedAt_ = -1;
    }
    settingsFileChanged_ = false;
    model_.SettingsFileReread(Now(), reread);
}

void ScenarioPlayer::CheckEditReread()
{
    if (editedAt_ >= 0 && model_.PassesHeldOff(Now())) {
        // The plugin looks at its file on its passes: its second starts when
        // they do again.
        editedAt_ = Now();
        return;
    }
    if (editedAt_ < 0 || Now() - editedAt_ <= kRereadWithinMs) {
        return;
    }
    timeline_.Check(false, "the plugin read the edited file within a second (not re-read " +
                               std::to_string(static_cast<long long>(Now() - editedAt_)) + " ms after the edit)");
    editedAt_ = -1;
}

void ScenarioPlayer::AwaitEditReread()
{
    // A grace period runs out; a video or the credits left open at the end do
    // not, and the plugin reads the edit once they close.
    const double giveUpAt = Now() + HudModel::kGraceMs + kRereadWithinMs;
    while (editedAt_ >= 0 && Now() < giveUpAt) {
        PlayFor(std::max(1LL, static_cast<long long>(editedAt_ + kRereadWithinMs - Now()) + 1));
    }
    if (editedAt_ >= 0) {
        Note("the session ended while the plugin made no passes: it reads the edited file once they resume");
        editedAt_ = -1;
    }
}

}  // namespace sim
