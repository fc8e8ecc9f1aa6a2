// The toggle key, the controller's toggle buttons and the sounds they make,
// press by press as the plugin counts them.

#include "HudModel.h"
#include "HudRules.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace sim {

using hud_rules::kLongAgo;

std::optional<std::vector<std::string>> HudModel::Sounds() const
{
    if (soundsUnsure_) {
        return std::nullopt;
    }
    return sounds_;
}

// The plugin reads the key and a controller on every pass (the simulator's
// controller is plugged in from the start): one input, down while either is.
bool HudModel::ToggleInputDown() const
{
    const bool keyDown = ToggleKey() > 0 && keysDown_.count(ToggleKey()) != 0;
    const std::uint16_t buttons = ToggleButtons();
    const bool chordHeld = buttons != 0 && (buttonsHeld_ & buttons) == buttons;
    return !settingsStale_ && (keyDown || chordHeld);
}

void HudModel::FrameRan(double now)
{
    if (lastFrameAt_ >= 0) {
        stillMs_ += std::max(0.0, now - lastFrameAt_ - kPassMs);
    }
    lastFrameAt_ = now;
}

void HudModel::Key(int virtualKey, bool down, double now, bool hudShown)
{
    const bool wasDown = ToggleInputDown();
    Before(now);
    if (down) {
        keysDown_.insert(virtualKey);
    } else {
        keysDown_.erase(virtualKey);
    }
    ToggleInputChanged(wasDown, now, hudShown, down ? "" : "the vehicle-aim key was released");
}

void HudModel::Gamepad(std::uint16_t held, double now, bool hudShown)
{
    const bool wasDown = ToggleInputDown();
    Before(now);
    buttonsHeld_ = held;
    ToggleInputChanged(wasDown, now, hudShown, "");
}

void HudModel::ToggleInputChanged(bool wasDown, double now, bool hudShown, const std::string& released)
{
    const bool down = ToggleInputDown();
    if (down && !wasDown) {
        toggleDownAt_ = now;
        stillAtToggleDown_ = stillMs_;
    }
    const Toggle before = toggle_;
    if (wasDown && !down) {
        // Held as the plugin's passes measure it: without the time the game stood still.
        ToggleReleased(now - toggleDownAt_ - (stillMs_ - stillAtToggleDown_), now, hudShown);
    }
    After(now, before == Toggle::ForcedShown ? "the toggle key gave the HUD back" : released);
    if (before != toggle_) {
        seenBefore_ = Seen::Either;
    }
}

void HudModel::LongPressActs(double now)
{
    if (settings_->Switch("bPlayUIFeedbackSounds").value_or(false)) {
        const bool forced = toggle_ == Toggle::ForcedShown || toggle_ == Toggle::ForcedHidden;
        sounds_.emplace_back(forced ? "UIMenuGeneralOK" : "UIMenuGeneralActivateFailure");
    }
    if (toggle_ == Toggle::ForcedHidden) {
        // The HUD is hidden and nothing in the plugin's delay will show it.
        freeSince_ = kLongAgo;
        busySince_ = kLongAgo;
    }
    toggle_ = Toggle::Automatic;
    lastToggleAction_ = now;
}

// The press as the plugin counts it: 50 per decision pass while the key is
// down; a count reaching iHUDToggleMinHoldTime is a long press on the next
// pass (again each time the count, restarted, reaches it while held); a
// release below it is a short press. Either acts only
// iHUDToggleMinRequiredTimeSinceLastTogglePress after the last press that
// acted. Presses too near a limit leave the toggle state unknown.
void HudModel::ToggleReleased(double heldMs, double now, bool hudShown)
{
    const long long holdCount = std::max<long long>(1, Milliseconds("iHUDToggleMinHoldTime"));
    const double gap = static_cast<double>(Milliseconds("iHUDToggleMinRequiredTimeSinceLastTogglePress"));
    const double passesToLong = std::ceil(static_cast<double>(holdCount) / kHoldCountPerPass);
    const double roundMs = (passesToLong + 1) * kPassMs;
    const double pressedAt = now - heldMs;
    bool unsure = false;
    const auto acts = [&](double at, double tolerance) {
        const double since = at - lastToggleAction_;
        unsure = unsure || std::abs(since - gap) <= tolerance;
        return since >= gap;
    };
    for (int round = 1;; ++round) {
        const double offset = roundMs * round;
        const double tolerance = 2 * kPassMs + 0.1 * offset;
        if (offset - tolerance > heldMs) {
            break;  // surely not reached
        }
        const bool surelyReached = offset + tolerance <= heldMs;
        const bool wouldAct = acts(pressedAt + offset, tolerance);
        if (!surelyReached) {
            // Maybe reached: it matters when it would act, or when it decides
            // between a long and a short press.
            unsure = unsure || wouldAct || round == 1;
            break;
        }
        if (wouldAct) {
            LongPressActs(pressedAt + offset);
        }
    }
    const double firstLong = roundMs;
    if (heldMs + 2 * kPassMs + 0.1 * firstLong < firstLong && acts(now + kPassMs, 2 * kPassMs)) {
        toggle_ = hudShown ? Toggle::ForcedHidden : Toggle::ForcedShown;
        lastToggleAction_ = now + kPassMs;
    }
    if (unsure) {
        toggle_ = Toggle::Unknown;
        soundsUnsure_ = true;
    }
}

}  // namespace sim
