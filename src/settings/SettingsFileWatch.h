#pragma once

#include "Clock.h"
#include "SharedValue.h"
#include "settings/SettingsFileStamp.h"

// The two ways the settings file is read again: on every save/load event (on
// the thread that delivers it) and, while bReloadSettingsOnChange is on, when
// an editor saved it (on the thread of a decision pass). One reload runs at a
// time; a check finding a reload under way leaves the file to its next look.

// What the watch knows of the file. nextCheckTime is claimed by the pass that
// checks; the rest is read and written only while a reload is held.
struct SettingsFileWatchRecord {
    SharedValue<Clock::Nanoseconds> nextCheckTime = 0;
    bool fileRead = false;           // a save load has read the file: its settings are in force
    SettingsFileStamp inForce{};     // the file as the settings in force were read from it
    SettingsFileStamp foundEmpty{};  // the file as a look last found it empty, not read yet
};

inline constinit SettingsFileWatchRecord SettingsFileWatch{};

// Re-reads the settings through SettingsFileReader, on every save/load event;
// waits for a reload under way on another thread.
void ReloadINI();

// At most once a second, and only while bReloadSettingsOnChange is on: reads
// the settings again, as a save load does, when the file changed since the
// settings in force were read from it. A file that is missing or cannot be
// opened keeps the settings in force until the next look, and so does a file
// found empty (an editor may be between emptying it and writing it) unless the
// look before found it empty just the same; a file that changes while it is
// read is read again.
void CheckSettingsFile(Clock::Nanoseconds now);
