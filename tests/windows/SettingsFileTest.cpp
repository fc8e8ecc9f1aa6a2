#include "settings/Settings.h"
#include "settings/SettingsFileStamp.h"
#include "settings/SettingsFileWatch.h"
#include "support/PluginIniFile.h"
#include "support/ScratchDirectory.h"
#include "support/SettingsFixture.h"
#include "support/TestExecutable.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
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
    expected.iVehicleAimKeyDown = 2;  // the right mouse button, as before any reload
    EXPECT_EQ(*Settings, expected);
    EXPECT_FALSE(Settings.bLogging);  // a per-frame log is for debugging
}

TEST_F(SettingsFile, AMissingFileOrADirectoryInItsPlaceGivesTheReloadDefaults)
{
    for (const bool directory : {false, true}) {
        if (directory) {
            std::filesystem::create_directories(PluginIniFile::path());
        }
        Settings.RestoreInitialValues();
        ReloadINI();
        EXPECT_EQ(Settings->iVehicleAimKeyDown, 0);
        EXPECT_EQ(Settings->iKeepHUDShownMS, 2000);
        EXPECT_FALSE(Settings.bLogging);
    }
}

TEST_F(SettingsFile, KeysAndSectionMatchWithoutRegardToCase)
{
    PluginIniFile::write("[settings]\r\nBLOGGING=1\r\nikeephudshownms = 1500 \r\nihudtoggle=0x70\r\n");
    ReloadINI();
    EXPECT_TRUE(Settings.bLogging);
    EXPECT_EQ(Settings->iKeepHUDShownMS, 1500);
    EXPECT_EQ(Settings->iHUDToggle, 112);
}

TEST_F(SettingsFile, KeepsDelaysOfZero)
{
    PluginIniFile::write("[Settings]\niKeepHUDShownMS=0\niKeepHUDShownLongMS=0\n");
    ReloadINI();
    EXPECT_EQ(Settings->iKeepHUDShownMS, 0);
    EXPECT_EQ(Settings->iKeepHUDShownLongMS, 0);
}

TEST_F(SettingsFile, HugeAndForeignValuesLeaveTheirFieldAndTheOthersAreStillRead)
{
    PluginIniFile::write("[Settings]\nbLogging=1\niKeepHUDShownMS=" + std::string(12000, '7') +
                         "\nfShowBelowHealthPercent=\xC3\xA9\xFF\niHUDToggle=" + std::string(9999, 'F') +
                         "\n"
                         "iKeepHUDShownLongMS=1234\n"
                         "fShowBelowOxygenPercent=30\n");
    ReloadINI();
    EXPECT_EQ(Settings->iKeepHUDShownMS, 2000);
    EXPECT_EQ(Settings->fShowBelowHealthPercent, -1.0F);
    EXPECT_EQ(Settings->iHUDToggle, 0);
    EXPECT_EQ(Settings->iKeepHUDShownLongMS, 1234);
    EXPECT_EQ(Settings->fShowBelowOxygenPercent, 30.0F);
}

// Sets the file's last-write time as an editor's save leaves it, in the
// file system's own unit (100 ns since 1601).
void SetLastWriteTime(std::uint64_t ticks)
{
    const HANDLE file = CreateFileW(PluginIniFile::path().c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const FILETIME time{.dwLowDateTime = static_cast<DWORD>(ticks), .dwHighDateTime = static_cast<DWORD>(ticks >> 32U)};
    EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &time));
    CloseHandle(file);
}

// Windows keeps a file's creation time when it is written in place: an edit
// of the same length shows only in the last-write time, so the stamp must
// carry that time itself, whatever Wine does with the creation time.
TEST_F(SettingsFile, TheStampCarriesTheFilesLastWriteTimeAndSize)
{
    constexpr std::uint64_t kSaved = 134'096'688'000'000'000;  // 2025-12-08, 12:00 UTC
    const struct {
        const char* text;
        std::uint64_t lastWriteTime;
    } saves[] = {
        {"[Settings]\r\niKeepHUDShownMS=5000\r\n", kSaved},
        {"[Settings]\r\niKeepHUDShownMS=7000\r\n", kSaved + 10'000'000},  // a second later
        {"[Settings]\r\niKeepHUDShownMS=7000\r\n", kSaved + 10'000'001},  // 100 ns later
        {"[Settings]\r\niKeepHUDShownMS=700\r\n", kSaved + 10'000'001},
    };
    for (const auto& save : saves) {
        PluginIniFile::write(save.text);
        SetLastWriteTime(save.lastWriteTime);
        const SettingsFileStamp stamp = StampSettingsFile();
        EXPECT_TRUE(stamp.present) << save.text;
        EXPECT_EQ(stamp.lastWriteTime, save.lastWriteTime) << save.text;
        EXPECT_EQ(stamp.size, std::string(save.text).size()) << save.text;
    }
}

TEST_F(SettingsFile, NoFileOrADirectoryInItsPlaceIsNoStamp)
{
    EXPECT_EQ(StampSettingsFile(), SettingsFileStamp{});
    std::filesystem::create_directories(PluginIniFile::path());
    EXPECT_EQ(StampSettingsFile(), SettingsFileStamp{});
}

}  // namespace
