#pragma once

#include <cstdint>

// What the file system tells of the settings file without reading it: enough
// to see that an editor saved it, whichever way it saves (in place, truncated
// then written, or a new file renamed over the old one).
struct SettingsFileStamp {
    bool present = false;  // false: missing, or it could not be looked at
    std::uint64_t lastWriteTime = 0;
    std::uint64_t creationTime = 0;  // a file renamed over the old one is another file
    std::uint64_t size = 0;

    friend bool operator==(const SettingsFileStamp&, const SettingsFileStamp&) = default;
};

// The settings file in the game's folder, looked at by its attributes: no
// handle is opened, none is kept.
[[nodiscard]] SettingsFileStamp StampSettingsFile();

// Whether the settings file can be opened for reading at this moment: an
// editor may hold it without sharing while it writes, and the INI reader
// would then find no value at all.
[[nodiscard]] bool SettingsFileOpens();

// The two questions the watch asks of the file system, in one place: tests
// put a file of their own here.
struct SettingsFileSystem {
    SettingsFileStamp (*stamp)();
    bool (*opens)();
};

inline constinit SettingsFileSystem settingsFileSystem{&StampSettingsFile, &SettingsFileOpens};
