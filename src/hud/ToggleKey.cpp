#include "hud/ToggleKey.h"

#include "Clock.h"
#include "PluginLog.h"
#include "game/Functions.h"
#include "hud/CachedGameObjects.h"
#include "hud/HUDState.h"

#include <string_view>

namespace {

// The hold count and the time since the last acting press, as both handlers'
// exiting and called lines show them.
#define TOGGLE_TIMES "[HeldTime: {} | MinRequired: {}]{}| [ElapsedTimeSinceLastTogglePress: {} | MinRequired: {}]"

// The time gate both handlers pass first: a press within the minimum time of
// the last acting one is refused with the exiting line.
bool PassesTimeGate(const char* handler, int heldTime, std::string_view calledSeparator, const SettingsRecord& settings)
{
    const std::int64_t elapsed = Clock::MillisecondsBetween(HUDState.LastTogglePressTime, Clock::Now());
    const std::int32_t minimum = settings.iHUDToggleMinRequiredTimeSinceLastTogglePress;
    if (elapsed < static_cast<std::int64_t>(minimum)) {
        PLUGIN_LOG_FOR(handler, info, "exiting | " TOGGLE_TIMES, heldTime, settings.iHUDToggleMinHoldTime, " ", elapsed,
                       minimum);
        return false;
    }
    PLUGIN_LOG_FOR(handler, info, "called | " TOGGLE_TIMES, heldTime, settings.iHUDToggleMinHoldTime, calledSeparator,
                   elapsed, minimum);
    return true;
}

}  // namespace

int HandleToggleKeyRelease(int heldTime, const SettingsRecord& settings)
{
    if (!PassesTimeGate(__func__, heldTime, " ", settings)) {
        return -1;
    }
    HUDState.HUDToggleOverride = true;
    HUDState.LastTogglePressTime = Clock::Now();
    LOG_INFO("result = [exit] | HUDToggleOverride applied");

    RE::UI* ui = UISingleton.load();
    if (ui == nullptr) {
        ui = RE::GetUISingleton();
    }
    if (ui != nullptr && RE::HUDMenusShown(ui)) {
        LOG_INFO("result = [hide] | Toggled OFF");
        HUDState.bShowHUD = false;
        return 0;
    }
    LOG_INFO("result = [show] | Toggled ON");
    HUDState.bShowHUD = true;
    return 1;
}

void HandleToggleKeyReleaseLong(int heldTime, const SettingsRecord& settings)
{
    // Two spaces before the bar in this handler's called line: the log has
    // always read so, and readers of it may match the text.
    if (!PassesTimeGate(__func__, heldTime, "  ", settings)) {
        return;
    }
    LOG_INFO("deactivating toggle in effect");
    if (settings.bPlayUIFeedbackSounds) {
        PlayUISound(HUDState.HUDToggleOverride ? "UIMenuGeneralOK" : "UIMenuGeneralActivateFailure", 1.0);
    }
    HUDState.HUDToggleOverride = false;
    HUDState.bShowHUD = false;
    HUDState.LastTogglePressTime = Clock::Now();
}

bool PlayUISound(std::string soundEditorID, double volume)
{
    if (soundEditorID.empty()) {
        return false;
    }
    std::uint32_t unused = 0;
    RE::PlayUISound(&unused, soundEditorID.c_str(), RE::GetUISoundObject(), volume);
    return true;
}
