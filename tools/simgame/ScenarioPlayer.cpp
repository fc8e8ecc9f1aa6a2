#include "ScenarioPlayer.h"

#include "GameFacts.h"
#include "SessionFiles.h"
#include "SettingNotes.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <string_view>

namespace sim {

namespace {

// The game's weapon states: 3 drawn, 0 sheathed.
constexpr std::uint32_t kWeaponDrawn = 3;
constexpr std::uint32_t kWeaponSheathed = 0;
// Keys pressed in place of a key the settings do not name, so that the
// player sees the press do nothing.
constexpr int kF1 = 0x70;
constexpr int kRightMouseButton = 0x02;

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

std::string Joined(const std::vector<std::string>& items)
{
    std::string text;
    for (const auto& item : items) {
        text += (text.empty() ? "" : ", ") + item;
    }
    return text.empty() ? "none" : text;
}

// The settings a player reads the session by.
constexpr std::array kSummaryKeys{"bLogging",   "iKeepHUDShownMS",    "iKeepHUDShownLongMS",
                                  "iHUDToggle", "iVehicleAimKeyDown", "iHUDToggleMinHoldTime"};

// Key codes are hexadecimal in the settings file; the plugin logs them in decimal.
std::string HexKey(int virtualKey)
{
    constexpr const char* kDigits = "0123456789ABCDEF";
    return {kDigits[(virtualKey >> 4) & 0xF], kDigits[virtualKey & 0xF]};
}

}  // namespace

ScenarioPlayer::ScenarioPlayer(FakeGame& game, Session& session, Timeline& timeline, const PlaySettings& settings,
                               HudChangeRecord& record)
    : game_(game), session_(session), timeline_(timeline), settings_(settings), record_(record)
{
    model_.DataLoaded(Now());
    session_.ObserveHud([this](bool shown, const std::string& pluginReason) { OnHudChange(shown, pluginReason); });
}

void ScenarioPlayer::Play(const std::vector<Step>& steps)
{
    for (const Step& step : steps) {
        timeline_.Step("line " + std::to_string(step.line) + ": " + step.text);
        check_ = ForecastCheck();
        Apply(step);
        if (step.kind == StepKind::Wait) {
            PlayFor(DurationMs(step.wait));
        }
        if (step.expect != Expect::Nothing) {
            const bool shown = step.expect == Expect::Shown;
            // An action first gets the time the HUD takes to follow it.
            if (step.kind != StepKind::Wait) {
                PlayFor(static_cast<long long>(HudModel::kReactionMs));
            }
            timeline_.Check(session_.HUDShown() == shown,
                            std::string("as the scenario expects: HUD ") + (shown ? "shown" : "hidden"));
            const Forecast forecast = model_.At(Now());
            if (forecast.seen != Seen::Either && (forecast.seen == Seen::Shown) != shown) {
                Note(std::string("with the settings as read the simulator expects the HUD ") +
                     (shown ? "hidden" : "shown") + " here: " + forecast.why);
            }
        }
        CheckStep();
        CheckSounds();
    }
    session_.ObserveHud(nullptr);
}

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
    }
}

void ScenarioPlayer::LoadSave()
{
    game_.RaiseEvent(game_facts::kSaveLoadSourceID);
    SettingsAsRead read;
    for (const std::string& message : session_.NewMessages()) {
        read.TakeLogMessage(message);
    }
    if (!settingsLogged_) {
        timeline_.Check(!read.empty(),
                        "the plugin logged the settings it read (" + std::to_string(read.size()) + " keys)");
    }
    if (!read.empty()) {
        settingsLogged_ = true;
        settingsFileChanged_ = false;
        std::string summary;
        for (const char* key : kSummaryKeys) {
            summary += (summary.empty() ? "" : ", ") + std::string(key) + " -> " + read.Text(key).value_or("?");
            const bool keyCode = std::string_view(key) == "iHUDToggle" || std::string_view(key) == "iVehicleAimKeyDown";
            if (const auto code = read.Integer(key); code && keyCode) {
                summary += *code > 0 ? " (0x" + HexKey(static_cast<int>(*code)) + ")" : " (none)";
            }
        }
        timeline_.Event("read", summary);
        for (const std::string& key : NotedSettingKeys()) {
            // Each note once while the file and the plugin's reading agree on it.
            auto note = SettingNote(key, ReadIniValue(settings_.iniTarget, key), read.Text(key));
            if (note && notesGiven_.insert(*note).second) {
                Note(*note);
            }
        }
    } else if (settingsLogged_) {
        Note(settingsFileChanged_ ? "the plugin re-read a changed settings file with logging off: the timeline "
                                    "cannot know what it read and checks the HUD no more"
                                  : "the plugin re-read its settings with logging off; the file is unchanged, so "
                                    "the values read before still hold");
    }
    model_.SaveLoaded(Now(), read.empty() ? std::nullopt : std::optional(read), settingsFileChanged_);
    session_.Collect();
}

void ScenarioPlayer::SetSetting(const Step& step)
{
    const bool written = WriteIni(settings_.iniTarget, settings_.iniTarget, {{step.name, step.value}});
    timeline_.Check(written, "the settings file now holds " + step.name + "=" + step.value +
                                 " (the plugin reads it when a save is loaded)");
    settingsFileChanged_ = true;
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

long long ScenarioPlayer::DurationMs(const Duration& duration)
{
    long long total = duration.fixedMs;
    for (const std::string& key : duration.settings) {
        if (!model_.settings() && notesGiven_.insert("duration").second) {
            Note(key + " is not read yet (no save loaded): it counts as 0 ms");
        }
        total += model_.Milliseconds(key);
    }
    return total;
}

void ScenarioPlayer::PlayFor(long long milliseconds)
{
    session_.PlayWhile(static_cast<int>(milliseconds), [this] {
        check_.Frame(Now(), model_.At(Now()), session_.HUDShown());
        return true;
    });
}

void ScenarioPlayer::CheckStep()
{
    if (check_.checked()) {
        timeline_.Check(check_.held(), check_.Summary());
    }
}

void ScenarioPlayer::CheckSounds()
{
    const int toggle = model_.ToggleKey();
    if (toggle > 0 && pressed_.count(toggle) != 0) {
        return;  // a long press may act before the release tells what it was
    }
    const auto expected = model_.Sounds();
    if (!expected) {
        if (notesGiven_.insert("sounds").second) {
            Note(
                "a toggle-key press came too near a limit to say what it did: sounds and the toggle are not "
                "checked");
        }
        return;
    }
    const std::size_t heard = std::max(game_.sounds.size(), expected->size());
    if (heard == soundsChecked_) {
        return;
    }
    soundsChecked_ = heard;
    timeline_.Check(game_.sounds == *expected, "UI sounds of the toggle key so far: " + Joined(*expected));
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

void ScenarioPlayer::Note(const std::string& text)
{
    timeline_.Event("note", text);
}

void ScenarioPlayer::OnHudChange(bool shown, const std::string& pluginReason)
{
    const Forecast forecast = model_.At(Now());
    const bool expected = forecast.seen == Seen::Either || (forecast.seen == Seen::Shown) == shown;
    const std::string reason = expected ? forecast.why : "not expected: " + forecast.why;
    timeline_.Event("HUD", (shown ? "shown    " : "hidden   ") + reason +
                               (pluginReason.empty() ? std::string() : "   <- plugin: " + pluginReason));
    record_.Add(std::chrono::system_clock::now(), shown, reason);
}

}  // namespace sim
