#pragma once

#include "settings/PublishedSettings.h"

#include <string>

// The settings in force. Only ReloadINI writes them after process start, on
// the thread that delivers the save/load event or on a decision pass that
// found the settings file changed; passes and sinks read them on theirs.
// Constant-initialised: nothing runs to build it, so it holds the initial
// values before any code of the plugin does.
inline constinit PublishedSettings Settings{};

inline constexpr const char* kSettingsFileName = "LumenveilHUD";
inline constexpr const char* kSettingsSection = "Settings";

// Gives the value text of one key of the settings file, empty when there is none.
using IniValueReader = std::string (*)(std::string fileName, std::string section, std::string key);

// The settings as one reading of the file gives them, not yet in force.
struct SettingsReading {
    SettingsRecord record;
    bool loggingRequested = false;
};

// Every field at its reload default, then each key read and validated.
[[nodiscard]] SettingsReading ReadSettings(IniValueReader read);

// Puts a reading in force: the record published whole, the values logged,
// and the logging switch applied.
void ReloadINI(const SettingsReading& reading);

// One reload: ReadSettings, then the reading put in force. Tests and the
// native build give it a reader of their own.
void ReloadINI(IniValueReader read);

// Where ReloadINI() reads: the settings file in the game's folder
// (ReadIniValue). A test puts a reader of its own here.
extern IniValueReader SettingsFileReader;
