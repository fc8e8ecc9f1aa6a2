#include "Scenario.h"

#include "ScenarioValues.h"
#include "ScenarioWords.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <utility>

namespace sim {

using scenario_syntax::Choose;
using scenario_syntax::ExpectWords;
using scenario_syntax::LineError;
using scenario_syntax::ParseButtons;
using scenario_syntax::ParseDuration;
using scenario_syntax::ParseKey;
using scenario_syntax::ParseMenuName;
using scenario_syntax::ParsePercent;
using scenario_syntax::ParseSettingKey;
using scenario_syntax::Quoted;
using scenario_syntax::Trimmed;
using scenario_syntax::WithoutComment;
using scenario_syntax::Words;

namespace {

// Far more than any session a player writes by hand.
constexpr std::uintmax_t kLargestFile = 1 << 20;

// The step of one line without its expectation.
Step ParseStep(std::string_view text, std::vector<std::string_view> words)
{
    Step step;
    const std::string_view verb = words.front();
    if (verb == "wait") {
        step.kind = StepKind::Wait;
        step.wait = ParseDuration(words);
    } else if (verb == "load-save") {
        ExpectWords(words, 1, "");
        step.kind = StepKind::LoadSave;
    } else if (verb == "set" || verb == "edit") {
        // The value is the rest of the line as the settings file would hold it.
        if (words.size() < 2) {
            throw LineError{"\"" + std::string(verb) + "\" takes this form: " + std::string(verb) + " KEY VALUE"};
        }
        step.kind = verb == "set" ? StepKind::SetSetting : StepKind::EditSettings;
        step.name = ParseSettingKey(verb, words[1]);
        const auto keyEnd = static_cast<std::size_t>(words[1].data() - text.data()) + words[1].size();
        step.value = std::string(Trimmed(text.substr(keyEnd)));
    } else if (verb == "weapon") {
        ExpectWords(words, 2, "weapon drawn|sheathed");
        step.kind = StepKind::Weapon;
        step.on = Choose(words[1], {"sheathed", "drawn"}, "a weapon") == 1;
    } else if (verb == "menu") {
        ExpectWords(words, 3, "menu open|close NAME");
        step.kind = StepKind::Menu;
        step.on = Choose(words[1], {"close", "open"}, "a menu step") == 1;
        step.name = ParseMenuName(words[2]);
    } else if (verb == "subtitle") {
        ExpectWords(words, 2, "subtitle shown|hidden");
        step.kind = StepKind::Subtitle;
        step.on = Choose(words[1], {"hidden", "shown"}, "a subtitle") == 1;
    } else if (verb == "discover") {
        ExpectWords(words, 2, "discover location|trait");
        step.kind = StepKind::Notification;
        step.notification =
            Choose(words[1], {"location", "trait"}, "a discovery") == 0 ? Notification::Location : Notification::Trait;
    } else if (verb == "mission") {
        ExpectWords(words, 2, "mission update");
        Choose(words[1], {"update"}, "a mission step");
        step.kind = StepKind::Notification;
        step.notification = Notification::Mission;
    } else if (verb == "level-up") {
        ExpectWords(words, 1, "");
        step.kind = StepKind::Notification;
        step.notification = Notification::LevelUp;
    } else if (verb == "health" || verb == "oxygen" || verb == "boost") {
        ExpectWords(words, 2, std::string(verb) + " PERCENT");
        step.kind = StepKind::Meter;
        step.meter = verb == "health" ? Meter::Health : verb == "oxygen" ? Meter::Oxygen : Meter::BoostPack;
        step.percent = ParsePercent(words[1]);
    } else if (verb == "combat" || verb == "sneaking" || verb == "jumping" || verb == "vehicle" ||
               verb == "overencumbered" || verb == "hostiles") {
        ExpectWords(words, 2, std::string(verb) + " on|off");
        constexpr std::array kConditions{std::pair{"combat", Condition::Combat},
                                         std::pair{"sneaking", Condition::Sneaking},
                                         std::pair{"jumping", Condition::Jumping},
                                         std::pair{"vehicle", Condition::Vehicle},
                                         std::pair{"overencumbered", Condition::Overencumbered},
                                         std::pair{"hostiles", Condition::Hostiles}};
        step.kind = StepKind::Condition;
        step.condition = std::find_if(kConditions.begin(), kConditions.end(), [&](const auto& entry) {
                             return verb == entry.first;
                         })->second;
        step.on = Choose(words[1], {"off", "on"}, std::string(verb)) == 1;
    } else if (verb == "press" || verb == "release") {
        ExpectWords(words, 2, std::string(verb) + " toggle|vehicle-aim|HEX");
        step.kind = StepKind::Key;
        step.on = verb == "press";
        step.key = ParseKey(words[1]);
    } else if (verb == "gamepad") {
        const bool press = words.size() > 1 && words[1] == "press";
        ExpectWords(words, press ? 3 : 2, "gamepad press toggle|HEX, or gamepad release");
        step.kind = StepKind::Gamepad;
        step.on = Choose(words[1], {"release", "press"}, "a gamepad step") == 1;
        if (step.on) {
            step.key = ParseButtons(words[2]);
        }
    } else {
        throw LineError{
            "unknown step " + Quoted(verb) +
            " (steps: wait, load-save, set, edit, weapon, menu, subtitle, discover, mission, level-up, health, "
            "oxygen, boost, combat, sneaking, jumping, vehicle, overencumbered, hostiles, press, release, gamepad)"};
    }
    return step;
}

Step ParseLine(std::string_view text)
{
    auto words = Words(text);
    Expect expect = Expect::Nothing;
    // "... expect shown|hidden" closes any step but `set` and `edit`, whose
    // value is the rest of the line.
    if (words.front() != "set" && words.front() != "edit") {
        const auto at = std::find(words.begin(), words.end(), std::string_view("expect"));
        if (at != words.end()) {
            if (words.end() - at != 2) {
                throw LineError{"\"expect\" ends a line with shown or hidden"};
            }
            expect = Choose(*(at + 1), {"shown", "hidden"}, "an expectation") == 0 ? Expect::Shown : Expect::Hidden;
            words.erase(at, words.end());
            if (words.empty()) {
                throw LineError{"\"expect\" follows a step"};
            }
        }
    }
    Step step = ParseStep(text, words);
    step.expect = expect;
    step.text = std::string(text);
    return step;
}

}  // namespace

const std::vector<std::string_view>& DurationSettings()
{
    static const std::vector<std::string_view> settings{"iKeepHUDShownMS", "iKeepHUDShownLongMS",
                                                        "iHUDToggleMinRequiredTimeSinceLastTogglePress"};
    return settings;
}

ScenarioParse ParseScenario(std::string_view text, std::string_view fileName)
{
    ScenarioParse parse;
    int lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const auto end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);

        const std::string_view content = Trimmed(WithoutComment(line));
        if (content.empty()) {
            continue;
        }
        try {
            Step step = ParseLine(content);
            step.line = lineNumber;
            parse.steps.push_back(std::move(step));
        } catch (const LineError& error) {
            parse.steps.clear();
            parse.error = std::string(fileName) + ":" + std::to_string(lineNumber) + ": " + error.what;
            return parse;
        }
    }
    if (parse.steps.empty()) {
        parse.error = std::string(fileName) + ": no steps (one step per line; # starts a comment)";
    }
    return parse;
}

ScenarioParse LoadScenario(const std::filesystem::path& file)
{
    const std::string name = file.filename().string();
    std::error_code error;
    const auto size = std::filesystem::file_size(file, error);
    std::ifstream in(file, std::ios::binary);
    if (error || !in) {
        return {{}, name + ": cannot read the scenario file"};
    }
    if (size > kLargestFile) {
        return {{}, name + ": too large for a scenario file (more than 1 MiB)"};
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return ParseScenario(text, name);
}

}  // namespace sim
