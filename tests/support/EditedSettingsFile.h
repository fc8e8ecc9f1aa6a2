#pragma once

#include "settings/Settings.h"
#include "settings/SettingsFileStamp.h"

#include <functional>
#include <map>
#include <string>

// The plugin's settings file as a player's editor saves it while the game
// runs, with no file on disk: the values ReloadINI reads, and what the file
// system tells of the file. Like a file system, it moves the file's
// last-write time on with each save by one tick of its clock, and the size is
// the length of the saved text. Natively and under Wine alike.
class EditedSettingsFile {
public:
    using Values = std::map<std::string, std::string>;

    explicit EditedSettingsFile(Values values);
    ~EditedSettingsFile();
    EditedSettingsFile(const EditedSettingsFile&) = delete;
    EditedSettingsFile& operator=(const EditedSettingsFile&) = delete;

    // Written in place: same file, new content, new time.
    void Save(Values values);
    // Emptied in place, as an editor that saves in two steps leaves it
    // between them: no content, size 0, new time.
    void Empty();
    // Written as a new file and renamed over the old one.
    void SaveAsNewFile(Values values);
    // Deleted; a save brings it back.
    void Remove();
    // Held by an editor that shares it with no one: it cannot be opened, and a
    // reading finds no value.
    void SetHeldByEditor(bool held);
    // The next time the plugin reads `key`, `save` runs first (as an editor
    // that saves while the plugin reads).
    void WhenReading(std::string key, std::function<void(EditedSettingsFile&)> save);

    // Readings of the whole file begun so far, and looks at its attributes.
    [[nodiscard]] int Readings() const { return readings_; }
    [[nodiscard]] int Looks() const { return looks_; }

private:
    static std::string Read(std::string fileName, std::string section, std::string key);
    static SettingsFileStamp Stamp();
    static bool Opens();
    void Write(Values values);

    Values values_;
    bool present_ = true;
    bool held_ = false;
    SettingsFileStamp stamp_{};
    std::string readingKey_;
    std::function<void(EditedSettingsFile&)> duringReading_;
    int readings_ = 0;
    int looks_ = 0;
    IniValueReader previousReader_;
    SettingsFileSystem previousFileSystem_;
};
