#pragma once

#include "settings/Settings.h"

#include <map>
#include <string>

// The plugin's settings file as ReloadINI() reads it, for the length of a
// test, with no file on disk: the keys of section "Settings" of
// "LumenveilHUD". Natively and under Wine alike.
class SettingsFileStandIn {
public:
    explicit SettingsFileStandIn(std::map<std::string, std::string> values);
    ~SettingsFileStandIn();
    SettingsFileStandIn(const SettingsFileStandIn&) = delete;
    SettingsFileStandIn& operator=(const SettingsFileStandIn&) = delete;

private:
    static std::string Read(std::string fileName, std::string section, std::string key);

    IniValueReader previous_;
};
