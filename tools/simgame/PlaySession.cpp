#include "PlaySession.h"

#include "game/IDs.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace sim {

namespace {

// The plugin's own timing: its grace period after the data is loaded and the
// interval between its full passes. Slack covers frames late under load.
constexpr int kGraceMs = 10'000;
constexpr int kPassMs = 15;
constexpr int kSlackMs = 400;

constexpr std::uint32_t kWeaponDrawn = 3;
constexpr std::uint32_t kWeaponSheathed = 0;

std::string Ms(int milliseconds)
{
    return std::to_string(milliseconds) + " ms";
}

}  // namespace

std::string HexKey(int virtualKey)
{
    constexpr const char* kDigits = "0123456789ABCDEF";
    return {kDigits[(virtualKey >> 4) & 0xF], kDigits[virtualKey & 0xF]};
}

IniOverrides SessionIniOverrides(const PlaySettings& settings)
{
    return {{"bLogging", "1"},
            {"iKeepHUDShownMS", std::to_string(settings.keepShownMs)},
            {"iKeepHUDShownLongMS", std::to_string(settings.keepShownLongMs)},
            {"iHUDToggle", HexKey(settings.toggleKey)}};
}

void PlayScriptedSession(FakeGame& game, Session& session, Timeline& timeline, const PlaySettings& settings)
{
    const int keep = settings.keepShownMs;
    const int keepLong = settings.keepShownLongMs;
    const auto shown = [&session] { return session.HUDShown(); };
    const auto hidden = [&session] { return !session.HUDShown(); };

    // The plugin reads its settings file only when a save is loaded: until
    // then it runs on its defaults, as in the game before the first load.
    timeline.Step("the player loads a save");
    game.RaiseEvent(RE::ID::SaveLoadEventSource);
    timeline.Check(session.LogHas("bLogging -> 1"), "the plugin read the session's settings file");

    timeline.Step("the player stands idle; the plugin's grace period runs");
    timeline.Check(session.PlayWhile(kGraceMs - 500, shown), "HUD left alone during the grace period");
    timeline.Check(session.PlayUntil(500 + keep + kSlackMs * 2, hidden),
                   "HUD hidden once the grace period and the " + Ms(keep) + " delay are over");

    timeline.Step("the player draws a weapon");
    game.player.SetWeaponState(kWeaponDrawn);
    timeline.Check(session.PlayUntil(kSlackMs, shown), "HUD shown by the weapon rule");
    timeline.Check(session.PlayWhile(keep + kPassMs * 4, shown), "HUD stays while the weapon is drawn");
    timeline.Step("the player sheathes the weapon");
    game.player.SetWeaponState(kWeaponSheathed);
    timeline.Check(session.PlayWhile(keep - kSlackMs / 2, shown), "HUD kept " + Ms(keep) + " after the weapon");
    timeline.Check(session.PlayUntil(kSlackMs * 2, hidden), "HUD hidden after the delay");

    timeline.Step("InventoryMenu opens");
    game.RaiseMenuEvent("InventoryMenu", true);
    session.Collect();
    timeline.Check(session.PlayUntil(kSlackMs / 4, shown), "HUD shown at once by the opening menu");
    timeline.Check(session.PlayWhile(keep + kPassMs * 4, shown), "HUD stays while the menu is open");
    timeline.Step("InventoryMenu closes");
    game.RaiseMenuEvent("InventoryMenu", false);
    session.Collect();
    // While the menu was open the decision queued a hide it could not carry
    // out; that delay runs out first, and the hide it then queues waits one
    // more delay.
    timeline.Check(session.PlayUntil(keep * 2 + kSlackMs * 2, hidden),
                   "HUD hidden within two delays after the menu closed");

    timeline.Step("a subtitle is shown");
    game.RaiseEvent(RE::ID::SubtitleShownEventSource);
    timeline.Check(session.PlayUntil(kSlackMs, shown), "HUD shown by the subtitle");
    timeline.Check(session.PlayWhile(keep + kPassMs * 4, shown), "HUD stays while the subtitle is on screen");
    timeline.Step("the subtitle is hidden");
    game.RaiseEvent(RE::ID::SubtitleHiddenEventSource);
    session.Collect();
    timeline.Check(session.PlayUntil(keep + kSlackMs * 2, hidden), "HUD hidden after the subtitle");

    timeline.Step("a location is discovered");
    game.RaiseEvent(RE::ID::LocationTextEventSource);
    timeline.Check(session.PlayUntil(kSlackMs, shown), "HUD shown by the discovery");
    timeline.Check(session.PlayWhile(keepLong - kSlackMs, shown), "HUD kept for the long delay of " + Ms(keepLong));
    timeline.Check(session.PlayUntil(keep + kSlackMs * 3, hidden), "HUD hidden after the long delay");

    const int key = settings.toggleKey;
    timeline.Step("the toggle key is tapped");
    game.PressKey(key);
    session.Play(kPassMs * 4);
    game.ReleaseKey(key);
    timeline.Check(session.PlayUntil(kSlackMs, shown), "HUD shown by the toggle key");
    timeline.Check(session.PlayWhile(keep + kSlackMs, shown), "HUD held on by the toggle, past the delay");

    timeline.Step("the toggle key is held");
    const std::size_t soundsBefore = game.sounds.size();
    game.PressKey(key);
    // Released once the long press acted, and within the time between two
    // toggle actions: held on, the key would act again.
    session.PlayUntil(kPassMs * 18, [&] { return game.sounds.size() > soundsBefore; });
    game.ReleaseKey(key);
    timeline.Check(game.sounds.size() == soundsBefore + 1 && game.sounds.back() == "UIMenuGeneralOK",
                   "a long press gives control back, with the confirming sound");
    timeline.Check(session.PlayUntil(keep + kSlackMs * 2, hidden), "HUD hidden again under automatic control");

    timeline.Step("the settings file turns the weapon rule off; a save is loaded");
    auto weaponRuleOff = SessionIniOverrides(settings);
    weaponRuleOff.emplace_back("bShowWhileWeaponDrawn", "0");
    timeline.Check(WriteIni(settings.iniSource, settings.iniTarget, weaponRuleOff), "the settings file was rewritten");
    game.RaiseEvent(RE::ID::SaveLoadEventSource);
    session.Play(kPassMs * 4);
    timeline.Step("the player draws a weapon");
    game.player.SetWeaponState(kWeaponDrawn);
    timeline.Check(session.PlayWhile(keep + kSlackMs, hidden), "HUD stays hidden: the save re-read the settings");
    game.player.SetWeaponState(kWeaponSheathed);
    timeline.Check(session.LogHas("bShowWhileWeaponDrawn -> 0"), "the plugin logged the re-read setting");
}

}  // namespace sim

namespace sim {

std::uint64_t MeasureHookedCall(FakeGame& game, Session& session, Timeline& timeline, const PlaySettings& settings)
{
    timeline.Step("measuring the hooked call: logging off, a save loaded, the grace period waited out");
    WriteIni(settings.iniSource, settings.iniTarget, {{"bLogging", "0"}});
    game.RaiseEvent(RE::ID::SaveLoadEventSource);
    session.Play(kGraceMs + 200);

    constexpr std::uint64_t kCalls = 500'000;
    const auto perCall = [](std::uint64_t (*call)(std::uint64_t)) {
        std::uint64_t wrong = 0;
        const auto start = std::chrono::steady_clock::now();
        for (std::uint64_t i = 0; i < kCalls; ++i) {
            wrong += call(i) != FakeGame::FrameAnswer(i) ? 1U : 0U;
        }
        const std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
        return std::pair{elapsed.count() / static_cast<double>(kCalls), wrong};
    };
    const auto [direct, directWrong] = perCall(&FakeGame::RunFrameTargetDirectly);
    const auto [hooked, hookedWrong] = perCall(&FakeGame::RunFrame);
    char figures[160];
    std::snprintf(figures, sizeof(figures), "hooked call %.1f ns, direct call of the former target %.1f ns, ratio %.1f",
                  hooked, direct, hooked / direct);
    timeline.Event("measure", figures);
    timeline.Check(directWrong == 0 && hookedWrong == 0, "every measured call returned the former target's answer");
    return 2 * kCalls;
}

}  // namespace sim
