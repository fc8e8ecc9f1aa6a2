#include "settings/Settings.h"
#include "settings/SettingsFileWatch.h"
#include "support/PluginIniFile.h"
#include "support/ScratchDirectory.h"
#include "support/SettingsFixture.h"
#include "support/TestExecutable.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

// ReloadINI against real files read through the system's INI reader, from the
// current directory as the game's folder.
class SettingsFile : public SettingsFixture {
protected:
    ScratchDirectory gameFolder;
};

TEST_F(SettingsFile, TheShippedFileGivesTheOutOfTheBoxValues)
{
    PluginIniFile::copy_from(TestExecutable::directory() / "LumenveilHUD.shipped.ini");
    ReloadINI();

    SettingsRecord expected{};
    expected.bLogging = false;        // a per-frame log is for debugging
    expected.iVehicleAimKeyDown = 2;  // the right mouse button, as before any reload
    EXPECT_EQ(Settings, expected);
}

TEST_F(SettingsFile, AMissingFileOrADirectoryInItsPlaceGivesTheReloadDefaults)
{
    for (const bool directory : {false, true}) {
        if (directory) {
            std::filesystem::create_directories(PluginIniFile::path());
        }
        Settings = SettingsRecord{};
        ReloadINI();
        EXPECT_EQ(Settings.iVehicleAimKeyDown, 0);
        EXPECT_EQ(Settings.iKeepHUDShownMS, 2000);
        EXPECT_FALSE(Settings.bLogging);
    }
}

TEST_F(SettingsFile, KeysAndSectionMatchWithoutRegardToCase)
{
    PluginIniFile::write("[settings]\r\nBLOGGING=1\r\nikeephudshownms = 1500 \r\nihudtoggle=0x70\r\n");
    ReloadINI();
    EXPECT_TRUE(Settings.bLogging);
    EXPECT_EQ(Settings.iKeepHUDShownMS, 1500);
    EXPECT_EQ(Settings.iHUDToggle, 112);
}

TEST_F(SettingsFile, KeepsDelaysOfZero)
{
    PluginIniFile::write("[Settings]\niKeepHUDShownMS=0\niKeepHUDShownLongMS=0\n");
    ReloadINI();
    EXPECT_EQ(Settings.iKeepHUDShownMS, 0);
    EXPECT_EQ(Settings.iKeepHUDShownLongMS, 0);
}

TEST_F(SettingsFile, HugeAndForeignValuesLeaveTheirFieldAndTheOthersAreStillRead)
{
    PluginIniFile::write("[Settings]\nbLogging=1\niKeepHUDShownMS=" + std::string(12000, '7') +
                         "\nfShowBelowHealthPercent=\xC3\xA9\xFF\niHUDToggle=" + std::string(9999, 'F') +
                         "\n"
                         "iKeepHUDShownLongMS=1234\n"
                         "fShowBelowOxygenPercent=30\n");
    ReloadINI();
    EXPECT_EQ(Settings.iKeepHUDShownMS, 2000);
    EXPECT_EQ(Settings.fShowBelowHealthPercent, -1.0F);
    EXPECT_EQ(Settings.iHUDToggle, 0);
    EXPECT_EQ(Settings.iKeepHUDShownLongMS, 1234);
    EXPECT_EQ(Settings.fShowBelowOxygenPercent, 30.0F);
}

}  // namespace
