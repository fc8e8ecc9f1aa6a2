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
#include <map>
#include <string>
#include <string_view>

namespace {

// The input, read a byte at a time; past its end every read gives 0.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    [[nodiscard]] bool done() const { return at_ >= size_; }
    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    // Up to `most` bytes as text, stopping at a zero byte (a C string's end).
    std::string text(std::size_t most)
    {
        std::string out;
        for (std::size_t length = byte() % (most + 1); length > 0 && !done(); --length) {
            const char c = static_cast<char>(byte());
            if (c == '\0') {
                break;
            }
            out.push_back(c);
        }
        return out;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

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
    Check(Settings.iKeepHUDShownMS >= 0 && Settings.iKeepHUDShownMS <= 10000, "iKeepHUDShownMS in range");
    Check(Settings.iKeepHUDShownLongMS >= 0 && Settings.iKeepHUDShownLongMS <= 15000, "iKeepHUDShownLongMS in range");
    Check(Settings.iHUDToggle >= 0 && Settings.iHUDToggle <= 0xFF, "iHUDToggle a key code or none");
}

void RaiseMenuEvent(FakeGame& game, Input& input)
{
    const std::uint8_t which = input.byte();
    const std::string name = which < 0xF0 ? kMenuNames[which % kMenuNames.size()] : input.text(40);
    const std::uint8_t opening = input.byte() % 3 == 0 ? 0 : input.byte();
    game.RaiseMenuEventWithOpeningByte(name.c_str(), opening);
    if (opening != 0 && name != "CursorMenu" && name != "EndGameCreditsMenu") {
        Check(HUDState.HUDRequest == kHUDRequestEnable, "an opening menu asks for the HUD");
        Check(game.ui.HUDShown(), "an opening menu shows the HUD at once");
    }
}

void LoadSave(FakeGame& game, Input& input)
{
    settingsFile.clear();
    for (int keys = input.byte() % 5; keys > 0; --keys) {
        settingsFile[kKeys[input.byte() % kKeys.size()]] = input.text(12);
    }
    game.RaiseEvent(game_facts::kSaveLoadSourceID);
    Check(!HUDState.SubtitlesPlaying, "a save loaded drops the subtitle");
    Check(HUDState.HUDRequest == kHUDRequestNone, "a save loaded drops the pending request");
    CheckSettingsInRange();
}

void Step(FakeGame& game, Input& input)
{
    switch (input.byte() % 8) {
        case 0:
        case 1:
            RaiseMenuEvent(game, input);
            break;
        case 2:
            LoadSave(game, input);
            break;
        case 3:
            game.RaiseEvent(game_facts::kEventSourceIDs[input.byte() % game_facts::kEventSourceIDs.size()]);
            break;
        case 4:
            game.AdvanceMs(input.byte() * 40);
            break;
        case 5:
            game.AdvanceMs(15);
            UpdateHUD();
            break;
        case 6:
            game.player.SetWeaponState(input.byte());
            break;
        default:
            game.gameMenuPaused = (input.byte() & 1) != 0;
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
    Input input(data, size);
    for (int steps = 0; !input.done() && steps < 512; ++steps) {
        Step(game, input);
    }
    return 0;
}
