// The built DLL in a game folder while a player's editor saves its settings
// file: the file system's own stamps, the real INI reader, the plugin's log.
// The plugin's clock is the fake game's: its import of the performance
// counter is pointed at it, so a second passes without waiting for one.

#include "FakeGame.h"
#include "FakeLoader.h"
#include "support/ChildRecord.h"
#include "support/PluginInGameFolder.h"
#include "support/PluginIniFile.h"
#include "support/PluginLogFile.h"
#include "support/PluginSession.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <string>

namespace {

using ::testing::ElementsAre;

constexpr const char* kChangedLine =
    "[info] [SettingsFileWatch.cpp] [CheckSettingsFile] settings file changed, reloading";

std::string FileText(const char* keepShownMs, const char* reloadOnChange = "1")
{
    return std::string("[Settings]\r\nbLogging=1\r\nbReloadSettingsOnChange=") + reloadOnChange +
           "\r\niKeepHUDShownMS=" + keepShownMs + "\r\n";
}

// Each save is stamped a few seconds after the previous one, as a player's
// edits are: the file system's clock may not have moved between two writes of
// a test, and Wine's INI reader keeps a file it has read until its time changes.
void StampSave(const std::filesystem::path& file)
{
    static auto when = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
    when += std::chrono::seconds(3);
    std::filesystem::last_write_time(file, when);
}

void WriteSettingsFile(const std::string& text)
{
    PluginIniFile::write(text);
    StampSave(PluginIniFile::path());
}

// What the log says so far: reloads on a change, and the last value of
// iKeepHUDShownMS read.
void RecordReloads(const std::string& when)
{
    const auto messages = PluginLogMessages();
    const auto changes = std::ranges::count(messages, std::string(kChangedLine));
    std::string keepShown = "none";
    for (const auto& message : messages) {
        if (const auto at = message.find("[ReloadINI] iKeepHUDShownMS -> "); at != std::string::npos) {
            keepShown = message.substr(at + std::string("[ReloadINI] ").size());
        }
    }
    ChildRecord::Add(when + ": " + std::to_string(changes) + " reloads, " + keepShown);
}

// The two steps of a save that empties the file, then writes it.
void EmptySettingsFile()
{
    std::ofstream(PluginIniFile::path(), std::ios::binary | std::ios::trunc).close();
    StampSave(PluginIniFile::path());
}

void AppendToSettingsFile(const std::string& text)
{
    std::ofstream(PluginIniFile::path(), std::ios::binary | std::ios::app)
        .write(text.data(), static_cast<std::streamsize>(text.size()));
    StampSave(PluginIniFile::path());
}

struct WayOfSaving {
    const char* name;
    std::function<void(const std::string& text)> save;
};

void PrintTo(const WayOfSaving& way, std::ostream* out)
{
    *out << way.name;
}

const WayOfSaving kWaysOfSaving[] = {
    {"written in place",
     [](const std::string& text) {
         std::fstream(PluginIniFile::path(), std::ios::in | std::ios::out | std::ios::binary)
             .write(text.data(), static_cast<std::streamsize>(text.size()));
         StampSave(PluginIniFile::path());
     }},
    {"truncated, then written",
     [](const std::string& text) {
         EmptySettingsFile();
         AppendToSettingsFile(text);
     }},
    {"written anew and renamed over it",
     [](const std::string& text) {
         const auto fresh = PluginIniFile::path().parent_path() / "LumenveilHUD.ini~";
         std::ofstream(fresh, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
         StampSave(fresh);
         MoveFileExW(fresh.c_str(), PluginIniFile::path().c_str(), MOVEFILE_REPLACE_EXISTING);
     }},
};

class SettingsFileChange : public ::testing::Test {
protected:
    void SetUp() override
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        ChildRecord::Clear();
    }
};

class SettingsFileSaved : public SettingsFileChange, public ::testing::WithParamInterface<WayOfSaving> {};

void SaveWhilePlaying(const WayOfSaving& way)
{
    InGameFolder({}, [&way](FakeGame& game, const PluginDll& dll, FakeLoader& loader) {
        WriteSettingsFile(FileText("300"));
        PluginSession session(game, dll, loader);
        way.save(FileText("500"));  // the same length: only the time tells
        session.Play(1015);
        RecordReloads("a second later");
        session.Play(5000);
        RecordReloads("five more");
    });
}

TEST_P(SettingsFileSaved, AppliesWithinASecondOfGameTimeAndOnlyOnce)
{
    EXPECT_EXIT(SaveWhilePlaying(GetParam()), ::testing::ExitedWithCode(0), "");
    EXPECT_THAT(ChildRecord::Lines(), ElementsAre("a second later: 1 reloads, iKeepHUDShownMS -> 500",
                                                  "five more: 1 reloads, iKeepHUDShownMS -> 500"));
}

INSTANTIATE_TEST_SUITE_P(EachWay, SettingsFileSaved, ::testing::ValuesIn(kWaysOfSaving));

// A save in two steps with a look landing between them: the file found empty
// keeps the settings, and the next look reads what was written meanwhile; one
// still empty then is read as it is (every key takes its default).
void EmptyWithALookBetween(bool writtenAfterTheLook)
{
    InGameFolder({}, [writtenAfterTheLook](FakeGame& game, const PluginDll& dll, FakeLoader& loader) {
        WriteSettingsFile(FileText("300"));
        PluginSession session(game, dll, loader);
        EmptySettingsFile();
        session.Play(1015);
        RecordReloads("a look later");
        if (writtenAfterTheLook) {
            AppendToSettingsFile(FileText("500"));
        }
        session.Play(1000);
        RecordReloads("two looks later");
        session.Play(5000);
        RecordReloads("five more");
    });
}

TEST_F(SettingsFileChange, ASaveInTwoStepsIsReadOnceWithTheFullFilesValues)
{
    EXPECT_EXIT(EmptyWithALookBetween(true), ::testing::ExitedWithCode(0), "");
    EXPECT_THAT(ChildRecord::Lines(), ElementsAre("a look later: 0 reloads, iKeepHUDShownMS -> 300",
                                                  "two looks later: 1 reloads, iKeepHUDShownMS -> 500",
                                                  "five more: 1 reloads, iKeepHUDShownMS -> 500"));
}

TEST_F(SettingsFileChange, AFileLeftEmptyIsReadAtTheSecondLook)
{
    EXPECT_EXIT(EmptyWithALookBetween(false), ::testing::ExitedWithCode(0), "");
    EXPECT_THAT(ChildRecord::Lines(), ElementsAre("a look later: 0 reloads, iKeepHUDShownMS -> 300",
                                                  "two looks later: 1 reloads, iKeepHUDShownMS -> 2000",
                                                  "five more: 1 reloads, iKeepHUDShownMS -> 2000"));
}

// The file away for a while, saved meanwhile or when it comes back: deleted
// then written again, or held by an editor that shares it with no one while
// it writes (the INI reader could open nothing and would read no value).
struct Interruption {
    const char* name;
    std::function<void()> takeAway;
    std::function<void()> bringBack;
};

void PrintTo(const Interruption& interruption, std::ostream* out)
{
    *out << interruption.name;
}

HANDLE heldByEditor = INVALID_HANDLE_VALUE;

const Interruption kInterruptions[] = {
    {"deleted, then written again", [] { std::filesystem::remove(PluginIniFile::path()); },
     [] { WriteSettingsFile(FileText("700")); }},
    {"held unshared while it is written",
     [] {
         heldByEditor = CreateFileW(PluginIniFile::path().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
         const std::string text = FileText("700");
         DWORD written = 0;
         WriteFile(heldByEditor, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
         FILETIME now{};
         GetSystemTimeAsFileTime(&now);
         SetFileTime(heldByEditor, nullptr, nullptr, &now);
     },
     [] { CloseHandle(heldByEditor); }},
};

void InterruptWhilePlaying(const Interruption& interruption)
{
    InGameFolder({}, [&interruption](FakeGame& game, const PluginDll& dll, FakeLoader& loader) {
        WriteSettingsFile(FileText("300"));
        PluginSession session(game, dll, loader);
        interruption.takeAway();
        session.Play(3000);
        RecordReloads("away");
        interruption.bringBack();
        session.Play(1015);
        RecordReloads("back");
    });
}

class SettingsFileAway : public SettingsFileChange, public ::testing::WithParamInterface<Interruption> {};

TEST_P(SettingsFileAway, KeepsTheSettingsAndIsReadOnceItIsBack)
{
    EXPECT_EXIT(InterruptWhilePlaying(GetParam()), ::testing::ExitedWithCode(0), "");
    EXPECT_THAT(ChildRecord::Lines(),
                ElementsAre("away: 0 reloads, iKeepHUDShownMS -> 300", "back: 1 reloads, iKeepHUDShownMS -> 700"));
}

INSTANTIATE_TEST_SUITE_P(EachWay, SettingsFileAway, ::testing::ValuesIn(kInterruptions));

void SaveWithTheSwitchOff()
{
    InGameFolder({}, [](FakeGame& game, const PluginDll& dll, FakeLoader& loader) {
        WriteSettingsFile(FileText("300", "0"));
        PluginSession session(game, dll, loader);
        kWaysOfSaving[0].save(FileText("500", "0"));
        session.Play(5000);
        RecordReloads("switched off");
        session.LoadSave();
        session.Play(1015);
        RecordReloads("a save loaded");
    });
}

TEST_F(SettingsFileChange, SwitchedOffAChangeIsReadOnlyAtTheNextSaveLoad)
{
    EXPECT_EXIT(SaveWithTheSwitchOff(), ::testing::ExitedWithCode(0), "");
    EXPECT_THAT(ChildRecord::Lines(), ElementsAre("switched off: 0 reloads, iKeepHUDShownMS -> 300",
                                                  "a save loaded: 0 reloads, iKeepHUDShownMS -> 500"));
    const auto messages = PluginLogMessages();
    for (const char* value : {"300", "500"}) {
        EXPECT_EQ(
            std::ranges::count(messages, "[info] [Settings.cpp] [ReloadINI] iKeepHUDShownMS -> " + std::string(value)),
            1)
            << value << " read once, at its save load";
    }
}

}  // namespace
