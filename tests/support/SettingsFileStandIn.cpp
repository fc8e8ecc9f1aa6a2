#include "support/SettingsFileStandIn.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

// A reader is a plain function: the values of the one stand-in alive.
std::map<std::string, std::string> standInValues;

}  // namespace

SettingsFileStandIn::SettingsFileStandIn(std::map<std::string, std::string> values) : previous_(SettingsFileReader)
{
    standInValues = std::move(values);
    SettingsFileReader = &Read;
}

SettingsFileStandIn::~SettingsFileStandIn()
{
    SettingsFileReader = previous_;
    standInValues.clear();
}

std::string SettingsFileStandIn::Read(std::string fileName, std::string section, std::string key)
{
    if (fileName != "LumenveilHUD" || section != "Settings") {
        ADD_FAILURE() << "the settings were read from " << fileName << ".ini [" << section << "]";
        return {};
    }
    const auto found = standInValues.find(key);
    return found == standInValues.end() ? std::string() : found->second;
}
