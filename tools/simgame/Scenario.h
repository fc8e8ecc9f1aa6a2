#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A session of the simulated game as a player writes it: one step per line,
// played in order; only `wait` lets time pass. The format is described in the
// README ("Scenario files").
namespace sim {

enum class StepKind {
    Wait,
    LoadSave,
    SetSetting,
    EditSettings,
    Weapon,
    Menu,
    Subtitle,
    Notification,
    Meter,
    Condition,
    Key,
    Gamepad,
};

enum class Notification { Location, Trait, Mission, LevelUp };
enum class Meter { Health, Oxygen, BoostPack };
enum class Condition { Combat, Sneaking, Jumping, Vehicle, Overencumbered, Hostiles };
enum class Expect { Nothing, Shown, Hidden };

// A key of a `press` or `release` step: the toggle key or the vehicle-aim key
// as the plugin read them, or a virtual-key code. For a `gamepad press` step:
// the toggle's buttons as the plugin read them, or a mask of XInput buttons.
struct KeyRef {
    enum class Kind { Toggle, VehicleAim, Code };
    Kind kind = Kind::Code;
    int code = 0;
};

// A duration: fixed milliseconds plus settings (milliseconds as the plugin
// read them), added when the step is played.
struct Duration {
    long long fixedMs = 0;
    std::vector<std::string> settings;
};

struct Step {
    int line = 0;
    std::string text;  // the line as written, without its comment
    StepKind kind = StepKind::Wait;
    bool on = false;    // drawn, opening, shown, on, pressed
    std::string name;   // menu name or settings key
    std::string value;  // the value a `set` or `edit` step writes
    Notification notification = Notification::Location;
    Meter meter = Meter::Health;
    float percent = 0.0F;
    Condition condition = Condition::Combat;
    KeyRef key;
    Duration wait;
    Expect expect = Expect::Nothing;
};

struct ScenarioParse {
    std::vector<Step> steps;
    // "<file>:<line>: <what is wrong>" for the first bad line.
    std::optional<std::string> error;
};

// Parses a whole scenario file; any bad line makes it an error and no step
// is kept. Any text is safe to parse.
[[nodiscard]] ScenarioParse ParseScenario(std::string_view text, std::string_view fileName);

// Reads and parses a scenario file; the error names the file when it cannot
// be read or is too large to be a scenario.
[[nodiscard]] ScenarioParse LoadScenario(const std::filesystem::path& file);

// The settings a duration may name: milliseconds of the settings file.
[[nodiscard]] const std::vector<std::string_view>& DurationSettings();

}  // namespace sim
