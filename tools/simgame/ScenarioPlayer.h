#pragma once

#include "FakeGame.h"
#include "ForecastCheck.h"
#include "HudChangeRecord.h"
#include "HudModel.h"
#include "PlaySession.h"
#include "Scenario.h"
#include "Session.h"
#include "StandInPads.h"

#include <array>
#include <cstddef>
#include <set>
#include <string>
#include <vector>

namespace sim {

// Plays the steps of a scenario on the game after its data-loaded message,
// in real time, and checks each against what the player should see: the
// step's own expectation, else the simulator's from the settings as the
// plugin read them. Every HUD change goes to the timeline and the record with
// its reason.
class ScenarioPlayer {
public:
    ScenarioPlayer(FakeGame& game, Session& session, Timeline& timeline, const PlaySettings& settings,
                   HudChangeRecord& record);

    void Play(const std::vector<Step>& steps);

private:
    void Apply(const Step& step);
    void LoadSave();
    void SetSetting(const Step& step);
    void EditSettings(const Step& step);
    void WriteSetting(const Step& step, const std::string& when);
    // Follows what the plugin logs between frames: a re-reading of its
    // settings file because it changed.
    void FollowSettingsRereads();
    // An `edit` whose re-reading is past its deadline fails the scenario.
    void CheckEditReread();
    // At the end of the steps: plays on until the last edit is re-read or its
    // deadline has passed, or stops waiting while the plugin makes no passes
    // (a video or the credits left open).
    void AwaitEditReread();
    void PressOrRelease(const Step& step);
    void HoldButtons(const Step& step);
    void PlayFor(long long milliseconds);
    void CheckStep();
    void CheckSounds();
    void Note(const std::string& text);
    void OnHudChange(bool shown, const std::string& pluginReason);
    [[nodiscard]] double Now() const { return timeline_.ElapsedMs(); }
    [[nodiscard]] long long DurationMs(const Duration& duration);
    // The rule that a step's condition falls under, when the settings switch it off.
    void ExplainRuleOff(const std::string& condition);
    // What the HUD does about a step that its rule ignores, for the notes.
    [[nodiscard]] std::string Outcome() const;

    FakeGame& game_;
    Session& session_;
    Timeline& timeline_;
    const PlaySettings& settings_;
    HudChangeRecord& record_;
    HudModel model_;
    ForecastCheck check_;  // of the step being played
    bool settingsFileChanged_ = false;
    bool settingsLogged_ = false;
    double editedAt_ = -1;  // an `edit` step's time while its re-reading is awaited
    bool weaponDrawn_ = false;
    std::array<float, 3> meterLevels_{100.0F, 100.0F, 100.0F};  // the game starts at full health, oxygen, fuel
    std::set<int> pressed_;
    // The player's controller, in the first slot from the start, as the
    // stand-in XInput reports it to the plugin.
    StandInPads pads_;
    std::size_t soundsChecked_ = 0;
    std::set<std::string> notesGiven_;
};

}  // namespace sim
