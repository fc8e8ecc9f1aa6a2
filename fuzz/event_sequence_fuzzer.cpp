// The event sinks and the decision under whatever the game may send, in any
// order: menus opening and closing under any name and opening byte, every
// other event, saves loaded with any settings text, the clock moving and the
// decision's passes in between. Beyond crashes and undefined behaviour, the
// properties a player relies on are checked after every step.

#include "FakeGame.h"
#include "FuzzSupport.h"
#include "GameFacts.h"
#include "events/Events.h"
#include "hud/HUDState.h"
#include "hud/UpdateHUD.h"
#include "settings/Settings.h"

#include <array>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <map>
#include <string>
#include <string_view>

namespace {

// Up to `most` characters; the game's names are C strings, so a zero ends one.
std::string Text(FuzzedDataProvider& input, std::size_t most)
{
    return input.ConsumeRandomLengthString(most).c_str();
}

// Menus the sinks and the gating know by name, and a few they do not.
constexpr std::array<const char*, 16> kMenuNames{
    "PauseMenu",      "MainMenu",      "InventoryMenu", "DataMenu",           "MonocleMenu",
    "CursorMenu",     "HUDMenu",       "PlayBinkMenu",  "EndGameCreditsMenu", "SpaceshipHudMenu",
    "MessageBoxMenu", "PhotoModeMenu", "BSMissionMenu", "FavoritesMenu",      "",
    "SomeModdedMenu"};

// The settings file of the next save loaded: the keys the sinks and the
// gating read, with any text.
constexpr std::array<const char*, 10> kKeys{"bLogging",
                                            "bShowInSubtitles",
                                            "bShowLocationDiscovered",
                                            "bShowPlanetTraitDiscovered",
                                            "bShowMissionActive",
                                            "iKeepHUDShownMS",
                                            "iKeepHUDShownLongMS",
                                            "iMenuOverriderShipHUDMenu",
                                            "iMenuOverriderHandscannerMenu",
                                            "iHUDToggle"};
std::map<std::string, std::string> settingsFile;

std::string ReadSettingsFile(std::string, std::string, std::string key)
{
    const auto found = settingsFile.find(key);
    return found == settingsFile.end() ? std::string() : found->second;
}

void CheckSettingsInRange()
{
    Check(Settings->iKeepHUDShownMS >= 0 && Settings->iKeepHUDShownMS <= 10000, "iKeepHUDShownMS in range");
    Check(Settings->iKeepHUDShownLongMS >= 0 && Settings->iKeepHUDShownLongMS <= 15000, "iKeepHUDShownLongMS in range");
    Check(Settings->iHUDToggle >= 0 && Settings->iHUDToggle <= 0xFF, "iHUDToggle a key code or none");
}

void RaiseMenuEvent(FakeGame& game, FuzzedDataProvider& input)
{
    const std::string name =
        input.ConsumeIntegral<std::uint8_t>() < 0xF0 ? input.PickValueInArray(kMenuNames) : Text(input, 40);
    const std::uint8_t opening = input.ConsumeIntegralInRange(0, 2) == 0 ? 0 : input.ConsumeIntegral<std::uint8_t>();
    game.RaiseMenuEventWithOpeningByte(name.c_str(), opening);
    if (opening != 0 && name != "CursorMenu" && name != "EndGameCreditsMenu") {
        Check(HUDState.HUDRequest == kHUDRequestEnable, "an opening menu asks for the HUD");
        Check(game.ui.HUDShown(), "an opening menu shows the HUD at once");
    }
}

void LoadSave(FakeGame& game, FuzzedDataProvider& input)
{
    settingsFile.clear();
    for (int keys = input.ConsumeIntegralInRange(0, 4); keys > 0; --keys) {
        settingsFile[input.PickValueInArray(kKeys)] = Text(input, 12);
    }
    game.RaiseEvent(game_facts::kSaveLoadSourceID);
    Check(!HUDState.SubtitlesPlaying, "a save loaded drops the subtitle");
    Check(HUDState.HUDRequest == kHUDRequestNone, "a save loaded drops the pending request");
    CheckSettingsInRange();
}

void Step(FakeGame& game, FuzzedDataProvider& input)
{
    switch (input.ConsumeIntegralInRange(0, 7)) {
        case 0:
        case 1:
            RaiseMenuEvent(game, input);
            break;
        case 2:
            LoadSave(game, input);
            break;
        case 3:
            game.RaiseEvent(input.PickValueInArray(game_facts::kEventSourceIDs));
            break;
        case 4:
            game.AdvanceMs(input.ConsumeIntegral<std::uint8_t>() * 40);
            break;
        case 5:
            game.AdvanceMs(15);
            UpdateHUD();
            break;
        case 6:
            game.player.SetWeaponState(input.ConsumeIntegral<std::uint8_t>());
            break;
        default:
            game.gameMenuPaused = input.ConsumeIntegral<std::uint8_t>();
            break;
    }
    Check(HUDState.HUDRequest >= kHUDRequestNone && HUDState.HUDRequest <= kHUDRequestEnable,
          "the request is none, a queued hide or a show");
    Check(game.LiveGameStrings() == 0, "every game string made is released");
    Check(game.faults().empty(), "the game sees no call it would not survive");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    SilenceLogging();
    SettingsFileReader = &ReadSettingsFile;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FakeGame game;
    Events::RegisterSinks();
    FuzzedDataProvider input(data, size);
    for (int steps = 0; input.remaining_bytes() > 0 && steps < 512; ++steps) {
        Step(game, input);
    }
    return 0;
}
