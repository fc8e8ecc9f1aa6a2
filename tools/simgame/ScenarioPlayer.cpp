#include "ScenarioPlayer.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace sim {

ScenarioPlayer::ScenarioPlayer(FakeGame& game, Session& session, Timeline& timeline, const PlaySettings& settings,
                               HudChangeRecord& record)
    : game_(game), session_(session), timeline_(timeline), settings_(settings), record_(record)
{
    StandInPads::MakeFindable();
    pads_.Connect(0);
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
    AwaitEditReread();
    session_.ObserveHud(nullptr);
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
        model_.FrameRan(Now());
        FollowSettingsRereads();
        CheckEditReread();
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
    if ((toggle > 0 && pressed_.count(toggle) != 0) || model_.ToggleInputDown()) {
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
    const std::string sounds = Joined(*expected);
    timeline_.Check(game_.sounds == *expected,
                    "UI sounds of the toggle key so far: " + (sounds.empty() ? "none" : sounds));
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
