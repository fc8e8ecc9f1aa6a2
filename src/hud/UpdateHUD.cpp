#include "hud/UpdateHUD.h"

#include "Clock.h"
#include "Helpers.h"
#include "PluginLog.h"
#include "game/Functions.h"
#include "hud/CachedGameObjects.h"
#include "hud/GameQueries.h"
#include "hud/GamepadChord.h"
#include "hud/HUDState.h"
#include "hud/KeyState.h"
#include "hud/MenuGating.h"
#include "hud/ToggleKey.h"
#include "settings/SettingsFileWatch.h"

#include <string_view>

namespace {

constexpr Clock::Nanoseconds kMinimumInterval = 15'000'000;
constexpr std::int32_t kHoldTimeIncrement = 50;
constexpr std::uint16_t kMQ305Stage = 2000;
constexpr std::uint16_t kMQ301Stage = 0;

// What a rule of the chain decided, and the reason the log gives.
struct Verdict {
    enum class Kind { None, Show, Hide, Exit };
    Kind kind = Kind::None;
    std::string_view reason;
    bool warn = false;
};

constexpr Verdict Show(std::string_view reason, bool warn = false)
{
    return {Verdict::Kind::Show, reason, warn};
}
constexpr Verdict Hide(std::string_view reason)
{
    return {Verdict::Kind::Hide, reason};
}
constexpr Verdict kExit{Verdict::Kind::Exit, {}};
constexpr Verdict kNoRule{};

bool Within(Clock::Nanoseconds since, Clock::Nanoseconds now, std::int32_t milliseconds)
{
    return Clock::MillisecondsBetween(since, now) < static_cast<std::int64_t>(milliseconds);
}

// A negative (or NaN) threshold switches its rule off; the comparison is
// inclusive and in the game's own scale.
bool AtOrBelow(float threshold, RE::ActorValueInfo* actorValue)
{
    return threshold >= 0.0F && GetActorValuePercent(actorValue) <= threshold;
}

// The toggle input: the key down, or a controller holding every button of
// the mask. Both are asked, so that each is read on every pass that reads one.
bool ToggleInputDown(Clock::Nanoseconds now, const SettingsRecord& settings)
{
    const std::int32_t key = settings.iHUDToggle;
    const std::int32_t buttons = settings.iHUDToggleGamepad;
    const bool keyDown = key > 0 && IsKeyDown(key);
    const bool chordHeld = buttons != 0 && IsGamepadChordHeld(static_cast<std::uint16_t>(buttons), now);
    return keyDown || chordHeld;
}

// The press cycle of the toggle input: counting while down, a long press as
// soon as the count reaches the hold time, a short press on release.
Verdict ToggleKeyRule(Clock::Nanoseconds now, const SettingsRecord& settings)
{
    const bool down = ToggleInputDown(now, settings);
    if (!down && HUDState.ToggleLongPressDone) {
        HUDState.ToggleLongPressDone = false;
        HUDState.ToggleKeyHoldTime = 0;
        return kExit;
    }
    if (HUDState.ToggleKeyHoldTime >= settings.iHUDToggleMinHoldTime) {
        HandleToggleKeyReleaseLong(HUDState.ToggleKeyHoldTime, settings);
        HUDState.ToggleKeyHoldTime = 0;
        HUDState.ToggleLongPressDone = true;
        return kExit;
    }
    if (down) {
        HUDState.ToggleKeyHoldTime += kHoldTimeIncrement;
        return kExit;
    }
    if (HUDState.ToggleKeyHoldTime > 0) {
        const int result = HandleToggleKeyRelease(HUDState.ToggleKeyHoldTime, settings);
        HUDState.ToggleKeyHoldTime = 0;
        if (result == 1) {
            return Show("Toggled ON");
        }
        if (result == 0) {
            return Hide("Toggled OFF");
        }
    }
    return kNoRule;
}

bool AutoAimTargetShowsHUD(const RE::TESObjectREFR* target, const SettingsRecord& settings)
{
    if (target == nullptr || GetPlayerVehicleValue() != 0.0F || !IsAcceptedTargetRef(target)) {
        return false;
    }
    if (!settings.bShowIfAutoAimTargetIsHarvestedFlora && IsFloraRef(target) && IsHarvestedFloraRef(target)) {
        return false;
    }
    return settings.bShowIfAutoAimTargetIsNotActivatable || !IsNotActivatableRef(target);
}

// The rules in their order: cheap tests of settings and flags before calls
// into the game, and a rule switched off by its setting calls nothing.
Verdict WalkRules(Clock::Nanoseconds now, const SettingsRecord& settings)
{
    if (RE::IsGameMenuPaused() != 0) {
        return Show("IsGameMenuPaused");
    }
    if (RE::ParentCell(PlayerChar) == nullptr) {
        return Show("PlayerChar->parentCell is nullptr");
    }
    if (settings.iHUDToggle > 0 || settings.iHUDToggleGamepad != 0) {
        if (const Verdict toggle = ToggleKeyRule(now, settings); toggle.kind != Verdict::Kind::None) {
            return toggle;
        }
    }
    if (HUDState.HUDToggleOverride) {
        return HUDState.bShowHUD ? Show("HUDToggleOverride [bShowHUD=TRUE] is active")
                                 : Hide("HUDToggleOverride [bShowHUD=FALSE] is active");
    }
    if (!settings.iMenuOverriderShipHUDMenu && IsMenuOpenNamed("SpaceshipHudMenu")) {
        return Hide("MenuOverrider [SpaceshipHudMenu] is active");
    }
    if (!settings.iMenuOverriderHandscannerMenu && IsMenuOpenNamed("MonocleMenu")) {
        return Hide("MenuOverrider [MonocleMenu] is active");
    }
    if (settings.iMenuOverriderShipHUDMenu && IsMenuOpenNamed("SpaceshipHudMenu")) {
        return Show("MenuOverrider [SpaceshipHudMenu] is active");
    }
    if (settings.iMenuOverriderHandscannerMenu && IsMenuOpenNamed("MonocleMenu")) {
        return Show("MenuOverrider [MonocleMenu] is active");
    }
    if (settings.bShowInSubtitles && HUDState.SubtitlesPlaying) {
        return Show("SubtitlesPlaying");
    }
    if (settings.bShowWhileSneaking && IsSneaking()) {
        return Show("IsSneaking");
    }
    if (settings.bShowWhileWeaponDrawn && IsWeaponDrawn(PlayerChar)) {
        return Show("IsWeaponDrawn");
    }
    if (settings.bShowInCombat && RE::IsInCombat(PlayerChar)) {
        return Show("IsInCombat");
    }
    if (settings.iVehicleAimKeyDown > 0 && IsKeyDown(settings.iVehicleAimKeyDown)) {
        return Show("VehicleAim");
    }
    if (settings.bShowInLandVehicle && GetPlayerVehicleValue() != 0.0F) {
        return Show("IsInVehicle");
    }
    if (AtOrBelow(settings.fShowBelowHealthPercent, HealthAV)) {
        return Show("HealthPercent");
    }
    if (AtOrBelow(settings.fShowBelowOxygenPercent, OxygenAV)) {
        return Show("OxygenPercent");
    }
    if (AtOrBelow(settings.fShowBelowBoostPackPercent, BoostPackAV)) {
        return Show("BoostPackPercent");
    }
    if (settings.bShowIfOverencumbered && IsOverencumbered()) {
        return Show("IsOverencumbered");
    }
    if (settings.bShowIfJumping && IsJumping()) {
        return Show("IsJumping");
    }
    if (settings.bShowWhenHostilesAreNearby && HostileActorsNear()) {
        return Show("HostileActorsNear");
    }
    if (RE::MenuStackSize(UISingleton) == 0) {
        return Show("menuStack.size <= 0");
    }
    if (::IsStageDone(MQ305, kMQ305Stage)) {
        return Show("MQ305.IsStageDone(2000)", true);
    }
    if (!::IsStageDone(MQ301, kMQ301Stage)) {
        return Show("!MQ301.IsStageDone(0)", true);
    }
    const RE::AutoAimData* aim = RE::Data(autoAimData);
    if (aim == nullptr) {
        return Show("AutoAim->data is nullptr");
    }
    if (AutoAimTargetShowsHUD(RE::Target(aim), settings)) {
        return Show("AutoAimTargetRef valid and exists");
    }
    return kNoRule;
}

// A hide already queued keeps its stamp: a hide rule fires on every pass
// while its menu is open, and stamping it anew each time would restart the
// delay the hide waits on, so the HUD it hides would never go.
void QueueHide()
{
    if (HUDState.HUDRequest == kHUDRequestDisableQueued) {
        return;
    }
    HUDState.HUDQueuedToDisableTime = Clock::Now();
    HUDState.HUDRequest = kHUDRequestDisableQueued;
}

}  // namespace

void UpdateHUD()
{
    const Clock::Nanoseconds now = Clock::Now();
    if (UnityInProcess(now)) {
        LOG_INFO("result = [show] | UnityInProcess");
        HUDState.HUDRequest = kHUDRequestNone;
        return;
    }
    // Signed: a stamp in the future holds passes off too.
    Clock::Nanoseconds lastUpdate = HUDState.LastUpdateTime;
    if (now - lastUpdate < kMinimumInterval) {
        LOG_INFO("result = [exit] | RecentLastUpdate");
        return;
    }
    // The game's thread and a subtitle-hidden event's thread may both get
    // here at once: the one whose stamp lands makes the pass, the other is
    // held off as if it had come a moment later.
    if (!HUDState.LastUpdateTime.CompareExchange(lastUpdate, now)) {
        LOG_INFO("result = [exit] | RecentLastUpdate");
        return;
    }
    // Past the gate, so a call it holds back pays nothing for the look.
    CheckSettingsFile(now);
    // Taken once, after the look at the file: the whole pass decides by one
    // reload's settings.
    const SettingsRecord& settings = *Settings;

    if (HUDState.HUDRequest == kHUDRequestEnable) {
        LOG_INFO("result = [RequestEnable]");
        EnableMenusIfCan(true, false);
        HUDState.HUDRequest = kHUDRequestNone;
        return;
    }
    if (HUDState.HUDRequest == kHUDRequestDisableQueued) {
        const bool keepShown =
            !HUDState.HUDToggleOverride && (Within(HUDState.HUDQueuedToDisableTime, now, settings.iKeepHUDShownMS) ||
                                            Within(HUDState.LongHUDMessageTime, now, settings.iKeepHUDShownLongMS));
        if (!keepShown) {
            LOG_INFO("result = [RequestDisable]");
            EnableMenusIfCan(false, false);
            HUDState.HUDRequest = kHUDRequestNone;
            return;
        }
    }

    switch (const Verdict verdict = WalkRules(now, settings); verdict.kind) {
        case Verdict::Kind::Show:
            if (verdict.warn) {
                LOG_WARN("result = [show] | {}", verdict.reason);
            } else {
                LOG_INFO("result = [show] | {}", verdict.reason);
            }
            HUDState.HUDRequest = kHUDRequestEnable;
            return;
        case Verdict::Kind::Hide:
            LOG_INFO("result = [hide] | {}", verdict.reason);
            QueueHide();
            return;
        case Verdict::Kind::Exit:
            return;
        case Verdict::Kind::None:
            break;
    }

    if (Within(HUDState.LongHUDMessageTime, now, settings.iKeepHUDShownLongMS)) {
        LOG_INFO("result = [exit] | LongHUDMessage");
        return;
    }
    if (Within(HUDState.HUDQueuedToDisableTime, now, settings.iKeepHUDShownMS)) {
        LOG_INFO("result = [exit] | HUDQueuedToDisable");
        return;
    }
    LOG_INFO("result = [hide]");
    QueueHide();
}
