// The controller toggle of the built DLL in a game folder: the system's XInput
// as the plugin loads it by name, the stand-in xinput1_4.dll where a case
// makes it findable, and none at all where it does not (the Wine wrapper
// allows no built-in XInput). Each case is a process of its own, so that no
// XInput was loaded before it.

#include "FakeGame.h"
#include "FakeLoader.h"
#include "StandInPads.h"
#include "support/ChildRecord.h"
#include "support/PluginInGameFolder.h"
#include "support/PluginIniFile.h"
#include "support/PluginLogFile.h"
#include "support/PluginSession.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>

namespace {

using ::testing::ElementsAre;

// XInput's Back and D-pad up, held together.
constexpr std::uint16_t kPadChord = 0x0021;
constexpr std::string_view kNoXInputLine = "XInput is not available: the controller toggle is off";

void WritePadSettings(const char* logging, const char* buttons)
{
    // F1 as the toggle key too: the toggle rule runs whatever the buttons.
    PluginIniFile::write(std::string("[Settings]\r\nbLogging=") + logging +
                         "\r\niHUDToggle=70\r\niHUDToggleGamepad=" + buttons + "\r\n");
}

std::string XInputModulesLoaded()
{
    std::string loaded;
    for (const wchar_t* library : {L"xinput1_4.dll", L"xinput9_1_0.dll"}) {
        if (GetModuleHandleW(library) != nullptr) {
            loaded += (loaded.empty() ? "" : ", ") + std::filesystem::path(library).string();
        }
    }
    return loaded.empty() ? "no XInput loaded" : loaded + " loaded";
}

std::ptrdiff_t LogLinesWhere(bool (*matches)(const std::string&))
{
    return std::ranges::count_if(PluginLogMessages(), matches);
}

// Three seconds of play, a save loaded again and three more, with the
// stand-in findable or no XInput at all; then the XInput the process holds.
void PlayThenLoadAndPlay(const char* logging, const char* buttons, bool standInFindable)
{
    InGameFolder({}, [=](FakeGame& game, const PluginDll& dll, FakeLoader& loader) {
        const StandInPads pads;
        if (standInFindable) {
            StandInPads::MakeFindable();
        }
        WritePadSettings(logging, buttons);
        PluginSession session(game, dll, loader);
        session.Play(3000);
        session.LoadSave();
        session.Play(3000);
        ChildRecord::Add(XInputModulesLoaded());
    });
}

class GamepadInTheGame : public ::testing::Test {
protected:
    void SetUp() override
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        ChildRecord::Clear();
    }
};

// With the buttons at 0 the plugin loads no XInput, though the stand-in is
// there to be found; with buttons set, the same session loads it.
struct ButtonsCase {
    const char* buttons;
    const char* loaded;
};

void PrintTo(const ButtonsCase& row, std::ostream* out)
{
    *out << "iHUDToggleGamepad=" << row.buttons;
}

class GamepadButtonsInTheGame : public GamepadInTheGame, public ::testing::WithParamInterface<ButtonsCase> {};

TEST_P(GamepadButtonsInTheGame, LoadXInputOnlyWhenSet)
{
    EXPECT_EXIT(PlayThenLoadAndPlay("1", GetParam().buttons, true), ::testing::ExitedWithCode(0), "");
    EXPECT_THAT(ChildRecord::Lines(), ElementsAre(GetParam().loaded));
}

INSTANTIATE_TEST_SUITE_P(Each, GamepadButtonsInTheGame,
                         ::testing::Values(ButtonsCase{"0", "no XInput loaded"},
                                           ButtonsCase{"0021", "xinput1_4.dll loaded"}));

// Neither library on the system: one line says the toggle is off, though
// logging is off, and no later pass or save load tries again.
TEST_F(GamepadInTheGame, WithoutXInputOneLineWhateverLoggingSays)
{
    EXPECT_EXIT(PlayThenLoadAndPlay("0", "0021", false), ::testing::ExitedWithCode(0), "");
    EXPECT_THAT(ChildRecord::Lines(), ElementsAre("no XInput loaded"));
    const auto messages = PluginLogMessages();
    const auto loggingOff =
        std::ranges::find(messages, "[info] [Settings.cpp] [ReloadINI] logging was requested to be turned off");
    ASSERT_NE(loggingOff, messages.end()) << "bLogging=0 was read";
    const auto isNoXInputLine = [](const std::string& message) { return message.ends_with(kNoXInputLine); };
    EXPECT_EQ(std::ranges::count_if(messages, isNoXInputLine), 1);
    EXPECT_EQ(std::count_if(loggingOff, messages.end(), isNoXInputLine), 1) << "written with logging off";
}

// The chord held for a short press on a controller in the first slot, and
// with no controller at all: then the toggle does nothing and nothing is
// wrong, though XInput was asked.
struct ControllerCase {
    const char* name;
    bool connected;
    std::ptrdiff_t toggles;
};

void PrintTo(const ControllerCase& row, std::ostream* out)
{
    *out << row.name;
}

class GamepadControllerInTheGame : public GamepadInTheGame, public ::testing::WithParamInterface<ControllerCase> {};

void TapTheChord(bool connected)
{
    InGameFolder({}, [connected](FakeGame& game, const PluginDll& dll, FakeLoader& loader) {
        StandInPads pads;
        StandInPads::MakeFindable();
        if (connected) {
            pads.Connect(0);
        }
        WritePadSettings("1", "0021");
        PluginSession session(game, dll, loader);
        pads.Hold(0, kPadChord);
        session.Play(60);
        pads.Hold(0, 0);
        session.Play(1000);
        ChildRecord::Add(XInputModulesLoaded() + (pads.Reads(0) > 0 ? ", slot 0 asked" : ", slot 0 never asked"));
    });
}

TEST_P(GamepadControllerInTheGame, TogglesOnlyWithAController)
{
    EXPECT_EXIT(TapTheChord(GetParam().connected), ::testing::ExitedWithCode(0), "");
    EXPECT_THAT(ChildRecord::Lines(), ElementsAre("xinput1_4.dll loaded, slot 0 asked"));
    EXPECT_EQ(LogLinesWhere([](const std::string& message) {
                  return message.find("[HandleToggleKeyRelease] called") != std::string::npos;
              }),
              GetParam().toggles);
    EXPECT_EQ(LogLinesWhere([](const std::string& message) {
                  return message.starts_with("[error]") || message.starts_with("[warning]") ||
                         message.starts_with("unreadable");
              }),
              0);
}

INSTANTIATE_TEST_SUITE_P(Each, GamepadControllerInTheGame,
                         ::testing::Values(ControllerCase{"a controller", true, 1},
                                           ControllerCase{"no controller", false, 0}));

}  // namespace
