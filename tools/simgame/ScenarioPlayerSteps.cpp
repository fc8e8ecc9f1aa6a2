// What each step does to the game and to the simulator's model, and the
// notes on steps the settings as read leave without effect.

#include "GameFacts.h"
#include "ScenarioPlayer.h"
#include "SessionFiles.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace sim {

namespace {

// The game's weapon states: 3 drawn, 0 sheathed.
constexpr std::uint32_t kWeaponDrawn = 3;
constexpr std::uint32_t kWeaponSheathed = 0;
// Keys pressed in place of a key the settings do not name, so that the
// player sees the press do nothing.
constexpr int kF1 = 0x70;
constexpr int kRightMouseButton = 0x02;
// XInput's Back and D-pad up, held in place of toggle buttons the settings do
// not name.
constexpr std::uint16_t kBackAndDPadUp = 0x0021;

std::uint64_t NotificationSource(Notification notification)
{
    switch (notification) {
        case Notification::Location:
            return game_facts::kLocationTextSourceID;
        case Notification::Trait:
            return game_facts::kTraitDiscoveryTextSourceID;
        case Notification::Mission:
            return game_facts::kMissionActiveWidgetSourceID;
        case Notification::LevelUp:
            return game_facts::kLevelUpWidgetSourceID;
    }
    return game_facts::kLevelUpWidgetSourceID;
}

const char* ConditionName(Condition condition)
{
    switch (condition) {
        case Condition::Combat:
            return "combat";
        case Condition::Sneaking:
            return "sneaking";
        case Condition::Jumping:
            return "jumping";
        case Condition::Vehicle:
            return "vehicle";
        case Condition::Overencumbered:
            return "overencumbered";
        case Condition::Hostiles:
            return "hostiles";
    }
    return "";
}

}  // namespace

void ScenarioPlayer::Apply(const Step& step)
{
    switch (step.kind) {
        case StepKind::Wait:
            return;
        case StepKind::LoadSave:
            LoadSave();
            return;
        case StepKind::SetSetting:
            SetSetting(step);
            return;
        case StepKind::EditSettings:
            EditSettings(step);
            return;
        case StepKind::Weapon:
            game_.player.SetWeaponState(step.on ? kWeaponDrawn : kWeaponSheathed);
            weaponDrawn_ = step.on;
            model_.SetCondition("weapon", step.on, Now());
            if (step.on) {
                ExplainRuleOff("weapon");
            }
            return;
        case StepKind::Menu:
            game_.RaiseMenuEvent(step.name.c_str(), step.on);
            if (step.on) {
                model_.MenuOpened(step.name, Now(), weaponDrawn_);
            } else {
                model_.MenuClosed(step.name, Now());
            }
            session_.Collect();
            return;
        case StepKind::Subtitle:
            game_.RaiseEvent(step.on ? game_facts::kSubtitleShownSourceID : game_facts::kSubtitleHiddenSourceID);
            model_.SetCondition("subtitle", step.on, Now());
            if (step.on) {
                ExplainRuleOff("subtitle");
            }
            session_.Collect();
            return;
        case StepKind::Notification:
            game_.RaiseEvent(NotificationSource(step.notification));
            model_.Notified(step.notification, Now());
            if (const auto off = model_.NotificationOff(step.notification)) {
                const std::string read = model_.settings()->Text(off->setting).value_or("?");
                Note(off->rule + " off in your settings (" + off->setting + " -> " + read +
                     "): the HUD does not follow it");
            }
            session_.Collect();
            return;
        case StepKind::Meter: {
            RE::ActorValueInfo* meters[] = {game_.HealthAV(), game_.OxygenAV(), game_.BoostPackAV()};
            game_.SetActorValuePercent(meters[static_cast<std::size_t>(step.meter)], step.percent);
            // Only a falling level could have asked for the HUD.
            float& level = meterLevels_[static_cast<std::size_t>(step.meter)];
            const bool falling = step.percent < level;
            level = step.percent;
            model_.SetMeter(step.meter, step.percent, Now());
            if (const auto quiet = model_.MeterQuiet(step.meter); quiet && falling) {
                Note(*quiet + ": " + Outcome());
            }
            return;
        }
        case StepKind::Condition: {
            const bool on = step.on;
            switch (step.condition) {
                case Condition::Combat:
                    game_.player.inCombat = on;
                    break;
                case Condition::Sneaking:
                    game_.sneaking = on;
                    break;
                case Condition::Jumping:
                    game_.jumping = on;
                    break;
                case Condition::Vehicle:
                    game_.vehicleValue = on ? 1.0F : 0.0F;
                    break;
                case Condition::Overencumbered:
                    game_.overencumbered = on;
                    break;
                case Condition::Hostiles:
                    game_.hostilesNear = on;
                    break;
            }
            model_.SetCondition(ConditionName(step.condition), on, Now());
            if (on) {
                ExplainRuleOff(ConditionName(step.condition));
            }
            return;
        }
        case StepKind::Key:
            PressOrRelease(step);
            return;
        case StepKind::Gamepad:
            HoldButtons(step);
            return;
    }
}

void ScenarioPlayer::HoldButtons(const Step& step)
{
    auto buttons = static_cast<std::uint16_t>(step.key.code);
    if (step.on && step.key.kind == KeyRef::Kind::Toggle) {
        buttons = model_.ToggleButtons();
        if (buttons == 0) {
            buttons = kBackAndDPadUp;
            if (notesGiven_.insert("gamepad").second) {
                Note(
                    "no controller toggle in your settings (iHUDToggleGamepad -> 0): Back and D-pad up (0021) are "
                    "held instead, and holding them does nothing");
            }
        }
    }
    if (!step.on) {
        buttons = 0;
    }
    pads_.Hold(0, buttons);
    model_.Gamepad(buttons, Now(), session_.HUDShown());
}

void ScenarioPlayer::PressOrRelease(const Step& step)
{
    int key = step.key.code;
    if (step.key.kind == KeyRef::Kind::Toggle) {
        key = model_.ToggleKey();
        if (key <= 0) {
            key = kF1;
            if (notesGiven_.insert("toggle").second) {
                Note(
                    "no toggle key in your settings (iHUDToggle -> 0): F1 (70) is pressed instead, and taps do "
                    "nothing");
            }
        }
    } else if (step.key.kind == KeyRef::Kind::VehicleAim) {
        key = model_.VehicleAimKey();
        if (key <= 0) {
            key = kRightMouseButton;
            if (notesGiven_.insert("vehicle-aim").second) {
                Note(
                    "no vehicle-aim key in your settings (iVehicleAimKeyDown -> 0): the right mouse button (02) "
                    "is pressed instead, and holding it does nothing");
            }
        }
    }
    if (step.on) {
        game_.PressKey(key);
        pressed_.insert(key);
    } else {
        game_.ReleaseKey(key);
        pressed_.erase(key);
    }
    model_.Key(key, step.on, Now(), session_.HUDShown());
}

void ScenarioPlayer::ExplainRuleOff(const std::string& condition)
{
    const auto off = model_.RuleOffFor(condition);
    if (!off) {
        return;
    }
    const std::string read = model_.settings()->Text(off->setting).value_or("?");
    const auto written = ReadIniValue(settings_.iniTarget, off->setting);
    const std::string how = written && *written != read ? off->setting + "=" + *written + " reads as " + read
                                                        : off->setting + " -> " + read;
    Note(off->rule + " off in your settings (" + how + "): " + Outcome());
}

std::string ScenarioPlayer::Outcome() const
{
    switch (model_.At(Now()).seen) {
        case Seen::Hidden:
            return "HUD stays hidden";
        case Seen::Shown:
            return "HUD stays shown for its other reasons";
        case Seen::Either:
            break;
    }
    return "the HUD does not follow it";
}

}  // namespace sim
