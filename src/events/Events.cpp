#include "events/Events.h"

#include "Helpers.h"
#include "PluginLog.h"
#include "game/Functions.h"
#include "hud/CachedGameObjects.h"
#include "hud/GameQueries.h"
#include "hud/HUDState.h"
#include "hud/MenuGating.h"
#include "hud/UpdateHUD.h"
#include "settings/Settings.h"
#include "settings/SettingsFileWatch.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace Events {

namespace {

using RE::BSEventNotifyControl;

constexpr Clock::Nanoseconds kMenuOpenLead = Clock::FromMilliseconds(50);
constexpr Clock::Nanoseconds kScannerCloseHold = Clock::FromMilliseconds(500);

// Game menus after whose closing the HUD may hide again.
constexpr std::array<std::string_view, 10> kClosingMenusThatReleaseTheHUD{
    "DataMenu",   "PauseMenu",  "GalaxyStarMapMenu", "InventoryMenu", "BSMissionMenu",
    "PowersMenu", "SkillsMenu", "PhotoModeMenu",     "ShipCrewMenu",  "MessageBoxMenu"};

bool ReleasesTheHUD(std::string_view menu)
{
    return std::ranges::find(kClosingMenusThatReleaseTheHUD, menu) != kClosingMenusThatReleaseTheHUD.end();
}

// A long HUD message (a discovery, a mission, a level-up) asks for the HUD
// and keeps it shown for the long delay.
void RequestForLongMessage()
{
    HUDState.HUDRequest = kHUDRequestEnable;
    HUDState.LongHUDMessageTime = Clock::Now();
}

}  // namespace

BSEventNotifyControl LumenveilMenusSaveLoadEventClass::ProcessEvent(const SaveLoadEvent*,
                                                                    RE::BSTEventSource<SaveLoadEvent>*)
{
    LOG_INFO(" --> SaveLoadEvent");
    HUDState.SubtitlesPlaying = false;
    HUDState.HUDRequest = kHUDRequestNone;
    HUDState.WeaponDrawnOnMonocleOpen = false;
    ReloadINI();
    // Back at the pause or main menu: the game's objects may have changed,
    // and the toggle key starts over.
    if (IsMenuOpenNamed("PauseMenu") || IsMenuOpenNamed("MainMenu")) {
        LoadStaticVariables();
        HUDState.HUDToggleOverride = false;
        HUDState.bShowHUD = false;
        HUDState.LastTogglePressTime = Clock::Now();
        HUDState.ToggleKeyHoldTime = 0;
        HUDState.ToggleLongPressDone = false;
    }
    return BSEventNotifyControl::kContinue;
}

BSEventNotifyControl LumenveilMenusLocationTextEventClass::ProcessEvent(const LocationTextEvent::Event*,
                                                                        RE::BSTEventSource<LocationTextEvent::Event>*)
{
    LOG_INFO(" --> LocationTextEvent");
    if (Settings->bShowLocationDiscovered) {
        RequestForLongMessage();
    }
    return BSEventNotifyControl::kContinue;
}

BSEventNotifyControl LumenveilMenusTraitDiscoveryTextEventClass::ProcessEvent(
    const TraitDiscoveryTextEvent::Event*, RE::BSTEventSource<TraitDiscoveryTextEvent::Event>*)
{
    LOG_INFO(" --> TraitDiscoveryTextEvent");
    if (Settings->bShowPlanetTraitDiscovered) {
        RequestForLongMessage();
    }
    return BSEventNotifyControl::kContinue;
}

BSEventNotifyControl LumenveilMenusMissionActiveWidgetUpdateEventClass::ProcessEvent(
    const HUDNotification_MissionActiveWidgetUpdate*, RE::BSTEventSource<HUDNotification_MissionActiveWidgetUpdate>*)
{
    LOG_INFO(" --> HUDNotification_MissionActiveWidgetUpdate");
    if (Settings->bShowMissionActive) {
        RequestForLongMessage();
    }
    return BSEventNotifyControl::kContinue;
}

BSEventNotifyControl LumenveilMenusLevelUpOnWidgetShownEventClass::ProcessEvent(
    const LevelUp_OnWidgetShown*, RE::BSTEventSource<LevelUp_OnWidgetShown>*)
{
    LOG_INFO(" --> LevelUp_OnWidgetShown");
    RequestForLongMessage();
    return BSEventNotifyControl::kContinue;
}

BSEventNotifyControl LumenveilMenusHideSubtitleEventClass::ProcessEvent(const HideSubtitleEvent::Event*,
                                                                        RE::BSTEventSource<HideSubtitleEvent::Event>*)
{
    LOG_INFO(" --> HideSubtitleEvent");
    if (Settings->bShowInSubtitles) {
        // Decide now, while the subtitle still counts as shown.
        HUDState.HUDRequest = kHUDRequestNone;
        UpdateHUD();
    }
    HUDState.SubtitlesPlaying = false;
    return BSEventNotifyControl::kContinue;
}

BSEventNotifyControl LumenveilMenusShowSubtitleEventClass::ProcessEvent(const ShowSubtitleEvent::Event*,
                                                                        RE::BSTEventSource<ShowSubtitleEvent::Event>*)
{
    LOG_INFO(" --> ShowSubtitleEvent");
    HUDState.SubtitlesPlaying = true;
    return BSEventNotifyControl::kContinue;
}

BSEventNotifyControl LumenveilMenusMenuOpenCloseEventClass::ProcessEvent(const RE::MenuOpenCloseEvent* event,
                                                                         RE::BSTEventSource<RE::MenuOpenCloseEvent>*)
{
    if (event == nullptr) {
        return BSEventNotifyControl::kContinue;
    }
    const std::string_view menu = RE::GameStringText(event->menuName);
    if (menu == "CursorMenu") {
        return BSEventNotifyControl::kContinue;
    }
    const bool opening = event->opening != 0;
    LOG_INFO(" --> MenuOpenCloseEvent [{}] | abOpening [{}]", menu, opening ? 1 : 0);

    if (menu == "EndGameCreditsMenu") {
        HUDState.UnityGraceStartTime = Clock::Now();
        if (!opening) {
            LoadStaticVariables();
        }
        return BSEventNotifyControl::kContinue;
    }
    if (opening) {
        // The next pass must not wait out the 15 ms between passes.
        HUDState.LastUpdateTime = Clock::Now() - kMenuOpenLead;
        HUDState.HUDRequest = kHUDRequestEnable;
        EnableMenusIfCan(true, false);
        if (menu == "MonocleMenu") {
            HUDState.WeaponDrawnOnMonocleOpen = IsWeaponDrawn(PlayerChar);
        }
        return BSEventNotifyControl::kContinue;
    }
    if (ReleasesTheHUD(menu)) {
        const SettingsRecord& settings = *Settings;  // both delays from one reload
        if (settings.iKeepHUDShownMS > 0) {
            HUDState.HUDRequest = kHUDRequestEnable;  // the decision hides it after the delay
            return BSEventNotifyControl::kContinue;
        }
        const auto sinceLongMessage = Clock::MillisecondsBetween(HUDState.LongHUDMessageTime, Clock::Now());
        if (sinceLongMessage >= static_cast<std::int64_t>(settings.iKeepHUDShownLongMS)) {
            HUDState.HUDRequest = kHUDRequestDisableQueued;
            HUDState.LastUpdateTime = Clock::Now() - kMenuOpenLead;
            EnableMenusIfCan(false, false);
        } else {
            HUDState.HUDRequest = kHUDRequestEnable;
        }
        return BSEventNotifyControl::kContinue;
    }
    if (menu == "MonocleMenu" && HUDState.WeaponDrawnOnMonocleOpen) {
        // Back from the scanner with a weapon drawn: show the HUD at once and
        // hold the decision's passes off for a moment.
        HUDState.LastUpdateTime = Clock::Now() + kScannerCloseHold;
        HUDState.HUDRequest = kHUDRequestEnable;
        EnableMenusIfCan(true, true);
        HUDState.WeaponDrawnOnMonocleOpen = false;
    }
    return BSEventNotifyControl::kContinue;
}

}  // namespace Events
