#pragma once

#include "Scenario.h"
#include "SettingsAsRead.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

// What a player sees the HUD do, given what happens in the game and the
// settings as the plugin read them: the simulator's expectations. Times are
// milliseconds since the session started.
namespace sim {

enum class Seen { Shown, Hidden, Either };

struct Forecast {
    Seen seen = Seen::Either;
    std::string why;
};

class HudModel {
public:
    // How the HUD behaves as the player sees it: it follows a change within a
    // few frames; it goes one iKeepHUDShownMS after the last reason to show
    // it, or up to one more when that reason lasted less than one delay (the
    // plugin restarts its delay each time it runs out while nothing asks for
    // the HUD). Tolerances cover frames late under load.
    static constexpr double kGraceMs = 10'000;
    static constexpr double kReactionMs = 400;
    static constexpr double kEarlyMs = 250;
    static constexpr double kLateMs = 800;
    // The toggle key's hold count grows by 50 on each of the plugin's
    // decision passes, one every 15 ms.
    static constexpr double kPassMs = 15;
    static constexpr int kHoldCountPerPass = 50;

    void DataLoaded(double now);
    // A save was loaded; `settings` is what the plugin logged while it re-read
    // the file, or nothing when it logged no settings.
    void SaveLoaded(double now, const std::optional<SettingsAsRead>& settings, bool settingsFileChanged);
    // The plugin read its settings file again because it changed, with no save
    // loaded: `settings` is what it logged, or nothing when it logged none.
    // Only the settings change; menus, the toggle key and subtitles stay.
    void SettingsFileReread(double now, const std::optional<SettingsAsRead>& settings);
    // Whether the plugin, with the settings as read, reads its file again when
    // it changes; and whether it logs what it reads.
    [[nodiscard]] bool FollowsSettingsFile() const;
    [[nodiscard]] bool Logging() const;
    // Whether the plugin makes no passes at `now`, so looks at nothing:
    // before the game's data is loaded, in the grace period after it, and
    // while a video or the end credits play.
    [[nodiscard]] bool PassesHeldOff(double now) const;
    void SetCondition(const std::string& condition, bool on, double now);
    void SetMeter(Meter meter, float percent, double now);
    void MenuOpened(const std::string& name, double now, bool weaponDrawn);
    void MenuClosed(const std::string& name, double now);
    void Notified(Notification notification, double now);
    // A key goes down or up; `hudShown` is what the game shows at that moment.
    void Key(int virtualKey, bool down, double now, bool hudShown);
    // The controller now holds these XInput buttons (0: none).
    void Gamepad(std::uint16_t held, double now, bool hudShown);
    // The toggle key, or every button of the toggle's on the controller, held.
    [[nodiscard]] bool ToggleInputDown() const;
    // The game ran a frame at `now`. Frames tell how many passes a press
    // could have had: a game that stood still between two frames gave the
    // plugin one pass in that time, however long it stood.
    void FrameRan(double now);

    [[nodiscard]] Forecast At(double now) const;
    // The rule a step falls under and its settings key, when the settings as
    // read switch it off; nothing otherwise.
    struct RuleOff {
        std::string rule;
        std::string setting;
    };
    [[nodiscard]] std::optional<RuleOff> RuleOffFor(const std::string& condition) const;
    [[nodiscard]] std::optional<RuleOff> NotificationOff(Notification notification) const;
    // Why health, oxygen or fuel at its present level does not show the HUD
    // ("health rule off in your settings (...)"), or nothing when it does.
    [[nodiscard]] std::optional<std::string> MeterQuiet(Meter meter) const;
    [[nodiscard]] const std::optional<SettingsAsRead>& settings() const noexcept { return settings_; }
    // The UI sounds a player hears from the toggle key so far, or nothing
    // when a press came too close to a limit to say.
    [[nodiscard]] std::optional<std::vector<std::string>> Sounds() const;
    [[nodiscard]] int ToggleKey() const;
    [[nodiscard]] std::uint16_t ToggleButtons() const;
    [[nodiscard]] int VehicleAimKey() const;
    [[nodiscard]] long long Milliseconds(const std::string& key) const;

private:
    enum class Toggle { Automatic, ForcedShown, ForcedHidden, Unknown };

    struct Asking {
        bool any = false;
        std::string why;
    };
    // Conditions, open menus and a forced-on HUD: what asks at this moment.
    [[nodiscard]] Asking LastingReasons() const;
    [[nodiscard]] double FreeSince(std::string* what) const;
    [[nodiscard]] Forecast Steady(double now) const;
    [[nodiscard]] bool IsGameMenu(const std::string& name) const;
    [[nodiscard]] bool Enabled(const std::string& condition) const;
    [[nodiscard]] const char* SettingOf(const std::string& condition) const;
    // Records how the lasting reasons changed at `now`; call around a change.
    void Before(double now);
    void After(double now, const std::string& ended);
    void Momentary(double now, const std::string& what);
    // Before a change of the key or the buttons: the press it begins or ends.
    void ToggleInputChanged(bool wasDown, double now, bool hudShown, const std::string& released);
    void ToggleReleased(double heldMs, double now, bool hudShown);
    void LongPressActs(double now);

    std::optional<SettingsAsRead> settings_;
    bool settingsStale_ = false;
    bool loaded_ = false;
    double graceEnd_ = 0;
    // The game starts with its HUD shown; the end credits leave it as it was.
    Seen graceSeen_ = Seen::Shown;
    std::string graceWhat_ = "the game's data is loaded";
    double longStamp_ = -1e12;
    std::string longWhat_ = "the game's start";
    double freeSince_ = -1e12;
    std::string freeWhat_;
    double busySince_ = -1e12;
    std::set<std::string> conditions_;
    float meters_[3] = {100.0F, 100.0F, 100.0F};
    std::vector<std::string> menus_{"HUDMenu"};
    std::set<int> keysDown_;
    std::uint16_t buttonsHeld_ = 0;
    double toggleDownAt_ = 0;
    // Time the game stood still beyond one pass between frames, summed since
    // the first frame reported; and that sum when the toggle input went down.
    double lastFrameAt_ = -1;
    double stillMs_ = 0;
    double stillAtToggleDown_ = 0;
    Toggle toggle_ = Toggle::Automatic;
    double lastToggleAction_ = -1e12;
    bool soundsUnsure_ = false;
    std::vector<std::string> sounds_;
    bool scannerWeapon_ = false;

    // The change in progress: what was seen and asked before it.
    bool askedBefore_ = false;
    bool totalBefore_ = false;
    Seen seenBefore_ = Seen::Either;
    double reactionUntil_ = -1e12;
};

}  // namespace sim
