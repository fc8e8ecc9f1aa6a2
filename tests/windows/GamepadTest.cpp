// The controller toggle over the system's XInput as the plugin loads it, with
// the project's stand-in xinput1_4.dll as the system's library. Each suite
// needs a process in which no XInput was loaded before it: CTest runs each
// in one of its own.

#include "StandInPads.h"
#include "hud/HUDState.h"
#include "settings/Settings.h"
#include "settings/SettingsFileWatch.h"
#include "support/FakeGameTest.h"
#include "support/ImportReplacement.h"
#include "support/SettingsFileStandIn.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// XInput's buttons.
constexpr std::uint16_t kDPadUp = 0x0001;
constexpr std::uint16_t kBack = 0x0020;
constexpr std::uint16_t kBackAndUp = kBack | kDPadUp;
constexpr int kF1 = 0x70;

bool IsLoaded(const wchar_t* library)
{
    return GetModuleHandleW(library) != nullptr;
}

std::filesystem::path FileOf(HMODULE module)
{
    std::wstring name(32768, L'\0');
    name.resize(GetModuleFileNameW(module, name.data(), static_cast<DWORD>(name.size())));
    return std::filesystem::path(name);
}

class XInputTest : public FakeGameTest {
protected:
    // Taps of the toggle key and reloads with these settings: everything a
    // session does to the toggle but hold the controller's buttons.
    void PlayWithTheToggleKey(const std::map<std::string, std::string>& settings)
    {
        for (int round = 0; round < 3; ++round) {
            {
                const SettingsFileStandIn file(settings);
                ReloadINI();
            }
            game.PressKey(kF1);
            PassWalkingTheRules();
            game.ReleaseKey(kF1);
            for (int i = 0; i < 100; ++i) {
                PassWalkingTheRules();
            }
        }
    }
};

// ---- The stand-in as the system's XInput

class GamepadStandIn : public XInputTest {
protected:
    static void SetUpTestSuite() { StandInPads::MakeFindable(); }

    void SetUp() override
    {
        Settings.PublishWith(&SettingsRecord::iHUDToggleGamepad, kBackAndUp);
        HUDState.LastTogglePressTime = game.Now() - Clock::FromMilliseconds(10'000);
        pads.Connect(0);
    }

    StandInPads pads;
};

TEST_F(GamepadStandIn, TheStandInIsTheXInputThePluginLoads)
{
    PassWalkingTheRules();
    const HMODULE xinput = GetModuleHandleW(L"xinput1_4.dll");
    ASSERT_NE(xinput, nullptr);
    EXPECT_EQ(FileOf(xinput).parent_path(), StandInPads::Folder());
    EXPECT_FALSE(IsLoaded(L"xinput9_1_0.dll"));
    for (int slot = 0; slot < 4; ++slot) {
        EXPECT_EQ(pads.Reads(slot), 1) << slot;
    }
}

// Held on the controller for a number of passes and let go: a short press
// below the hold time, a long one from it; one button short of the chord,
// nothing.
TEST_F(GamepadStandIn, PressesOfTheChordAreTheToggleKeys)
{
    struct Case {
        std::uint16_t held;
        int passes;
        bool overrideAfter;
        std::vector<std::string> sounds;
    };
    for (const Case& row : {Case{kBackAndUp, 2, true, {}}, Case{kBackAndUp, 6, false, {"UIMenuGeneralOK"}},
                            Case{kBack, 6, true, {}}, Case{kDPadUp, 1, true, {}}}) {
        SCOPED_TRACE(std::to_string(row.held) + " for " + std::to_string(row.passes));
        HUDState.HUDToggleOverride = HUDState.bShowHUD = true;
        HUDState.LastTogglePressTime = game.Now() - Clock::FromMilliseconds(10'000);
        game.sounds.clear();
        log.clear();

        pads.Hold(0, row.held);
        for (int i = 0; i < row.passes; ++i) {
            PassWalkingTheRules();
        }
        pads.Hold(0, 0);
        PassWalkingTheRules();

        const bool chord = row.held == kBackAndUp;
        EXPECT_EQ(HUDState.HUDToggleOverride, row.overrideAfter);
        EXPECT_EQ(game.sounds, row.sounds);
        const bool shortPress = chord && row.sounds.empty();
        EXPECT_EQ(LinesOf("HandleToggleKeyRelease").empty(), !shortPress);
        if (shortPress) {
            EXPECT_THAT(LinesOf("HandleToggleKeyRelease"),
                        Contains(HasSubstr("called | [HeldTime: " + std::to_string(50 * row.passes))));
        }
        if (!chord) {
            EXPECT_THAT(LinesOf("HandleToggleKeyReleaseLong"), IsEmpty());
        }
    }
}

// No controller anywhere: each slot is asked once, then once every two
// seconds, over 4.5 s of passes 15 ms apart.
TEST_F(GamepadStandIn, EmptySlotsAreAskedEveryTwoSeconds)
{
    pads.Disconnect(0);
    for (int pass = 0; pass <= 300; ++pass) {
        PassWalkingTheRules();
    }
    for (int slot = 0; slot < 4; ++slot) {
        EXPECT_EQ(pads.Reads(slot), 3) << slot;  // at 0, 2.01 and 4.02 s
    }
    // Plugged in with the chord held: seen at the next read of its slot.
    pads.Connect(3);
    pads.Hold(3, kBackAndUp);
    int passesUntilSeen = 0;
    while (HUDState.ToggleKeyHoldTime == 0 && passesUntilSeen < 200) {
        PassWalkingTheRules();
        ++passesUntilSeen;
    }
    EXPECT_EQ(passesUntilSeen, 1 + (4020 + 2000 - 4500) / 15);
}

// ---- No XInput on the system

std::vector<std::wstring> xinputLoads;
decltype(&LoadLibraryW) systemLoadLibraryW = nullptr;

HMODULE WINAPI CountXInputLoads(LPCWSTR name)
{
    if (std::wstring lower(name); lower.find(L"xinput") != std::wstring::npos) {
        xinputLoads.emplace_back(lower);
    }
    return systemLoadLibraryW(name);
}

class GamepadWithoutXInput : public XInputTest {
protected:
    void SetUp() override
    {
        xinputLoads.clear();
        systemLoadLibraryW = reinterpret_cast<decltype(&LoadLibraryW)>(ReplaceImport(
            GetModuleHandleW(nullptr), "kernel32.dll", "LoadLibraryW", reinterpret_cast<void*>(&CountXInputLoads)));
        ASSERT_NE(systemLoadLibraryW, nullptr);
    }
    void TearDown() override
    {
        ReplaceImport(GetModuleHandleW(nullptr), "kernel32.dll", "LoadLibraryW",
                      reinterpret_cast<void*>(systemLoadLibraryW));
        FakeGameTest::TearDown();
    }
};

// Both libraries are looked for once; one line says the toggle is off, with
// logging off; no later pass or reload looks again.
TEST_F(GamepadWithoutXInput, OneLineAndNoOtherTry)
{
    Settings.bLogging = false;
    Settings.PublishWith(&SettingsRecord::iHUDToggle, kF1);
    Settings.PublishWith(&SettingsRecord::iHUDToggleGamepad, kBackAndUp);
    PassWalkingTheRules();
    EXPECT_THAT(xinputLoads, ElementsAre(L"xinput1_4.dll", L"xinput9_1_0.dll"));
    EXPECT_THAT(log.lines(), ElementsAre("[warning] XInput is not available: the controller toggle is off"));

    PlayWithTheToggleKey({{"iHUDToggle", "70"}, {"iHUDToggleGamepad", "8000"}});
    EXPECT_EQ(xinputLoads.size(), 2U);
    EXPECT_EQ(log.lines().size(), 1U);
    EXPECT_FALSE(IsLoaded(L"xinput1_4.dll") || IsLoaded(L"xinput9_1_0.dll"));
}

// ---- No buttons set

class GamepadButtonsOff : public XInputTest {
protected:
    static void SetUpTestSuite() { StandInPads::MakeFindable(); }
    StandInPads pads;
};

// With iHUDToggleGamepad 0 the process never loads an XInput library, though
// the stand-in is there to be found, as the last pass, with buttons set,
// shows.
TEST_F(GamepadButtonsOff, NoXInputLibraryIsLoaded)
{
    pads.Connect(0);
    PlayWithTheToggleKey({{"iHUDToggle", "70"}, {"iHUDToggleGamepad", "0"}, {"bLogging", "1"}});
    EXPECT_FALSE(IsLoaded(L"xinput1_4.dll"));
    EXPECT_FALSE(IsLoaded(L"xinput9_1_0.dll"));
    EXPECT_EQ(pads.Reads(0), 0);
    EXPECT_THAT(LinesOf("HandleToggleKeyRelease"), Contains(HasSubstr("called"))) << "the key alone toggles";

    Settings.PublishWith(&SettingsRecord::iHUDToggleGamepad, kBack);
    PassWalkingTheRules();
    EXPECT_TRUE(IsLoaded(L"xinput1_4.dll"));
    EXPECT_EQ(pads.Reads(0), 1);
}

}  // namespace
