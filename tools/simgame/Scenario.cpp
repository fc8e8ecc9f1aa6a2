#include "Scenario.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <utility>

namespace sim {

namespace {

// A session lasts minutes; an hour in one wait is surely a typo.
constexpr long long kLongestWaitMs = 3'600'000;
// Far more than any session a player writes by hand.
constexpr std::uintmax_t kLargestFile = 1 << 20;
// Menu names go into the game's string pool, whose entries hold 63 characters.
constexpr std::size_t kLongestMenuName = 63;

struct LineError {
    std::string what;
};

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::vector<std::string_view> Words(std::string_view text)
{
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsBlank(text[i])) {
            ++i;
        }
        const std::size_t start = i;
        while (i < text.size() && !IsBlank(text[i])) {
            ++i;
        }
        if (i > start) {
            words.push_back(text.substr(start, i - start));
        }
    }
    return words;
}

// A comment starts with # at the start of the line or after a blank.
std::string_view WithoutComment(std::string_view line)
{
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '#' && (i == 0 || IsBlank(line[i - 1]))) {
            return line.substr(0, i);
        }
    }
    return line;
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string Quoted(std::string_view word)
{
    // Bytes that are not printable ASCII are shown as \xNN, so an error about
    // a binary file stays one readable line.
    std::string text = "\"";
    constexpr std::string_view kDigits = "0123456789abcdef";
    for (const char c : word.substr(0, 40)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F) {
            text += c;
        } else {
            text += "\\x";
            text += kDigits[byte >> 4];
            text += kDigits[byte & 0xF];
        }
    }
    return text + (word.size() > 40 ? "...\"" : "\"");
}

// One of `choices`, by its index; an error naming them otherwise.
std::size_t Choose(std::string_view word, std::initializer_list<std::string_view> choices, std::string_view what)
{
    std::size_t index = 0;
    std::string names;
    for (const std::string_view choice : choices) {
        if (word == choice) {
            return index;
        }
        names += (names.empty() ? "" : " or ") + std::string(choice);
        ++index;
    }
    throw LineError{what.empty() ? Quoted(word) + " is not " + names
                                 : std::string(what) + " is " + names + ", not " + Quoted(word)};
}

void ExpectWords(const std::vector<std::string_view>& words, std::size_t count, std::string_view usage)
{
    if (words.size() != count) {
        throw LineError{"\"" + std::string(words.front()) + "\" takes " +
                        (count == 1 ? std::string("nothing") : "this form: " + std::string(usage)) +
                        (words.size() < count ? " (something is missing)" : " (too many words)")};
    }
}

// Milliseconds of "250ms", "2s" or "1.5s".
long long FixedMilliseconds(std::string_view term)
{
    double scale = 0;
    std::string_view number;
    if (term.size() > 2 && term.substr(term.size() - 2) == "ms") {
        scale = 1;
        number = term.substr(0, term.size() - 2);
    } else if (term.size() > 1 && term.back() == 's') {
        scale = 1000;
        number = term.substr(0, term.size() - 1);
    } else {
        throw LineError{Quoted(term) + " is no duration: write 250ms, 2s, 1.5s or a setting such as iKeepHUDShownMS"};
    }
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || end != number.data() + number.size() || !std::isfinite(value) || value < 0 ||
        value * scale > static_cast<double>(kLongestWaitMs)) {
        throw LineError{Quoted(term) + " is no duration from 0 to 1 hour"};
    }
    return std::llround(value * scale);
}

// "2s + iKeepHUDShownMS + 500ms": terms joined by +, blanks optional.
Duration ParseDuration(const std::vector<std::string_view>& words)
{
    std::string joined;
    for (std::size_t i = 1; i < words.size(); ++i) {
        joined += words[i];
    }
    if (joined.empty()) {
        throw LineError{"\"wait\" needs a duration, such as 2s, 300ms or iKeepHUDShownMS + 1s"};
    }
    Duration duration;
    std::string_view rest = joined;
    while (true) {
        const auto plus = rest.find('+');
        const std::string_view term = rest.substr(0, plus);
        if (term.empty()) {
            throw LineError{"a + of \"wait\" lacks a term on one side"};
        }
        const auto& settings = DurationSettings();
        if (std::find(settings.begin(), settings.end(), term) != settings.end()) {
            duration.settings.emplace_back(term);
        } else {
            duration.fixedMs += FixedMilliseconds(term);
            if (duration.fixedMs > kLongestWaitMs) {
                throw LineError{"the wait is longer than 1 hour"};
            }
        }
        if (plus == std::string_view::npos) {
            return duration;
        }
        rest.remove_prefix(plus + 1);
    }
}

float ParsePercent(std::string_view word)
{
    float value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size() || !(value >= 0.0F && value <= 100.0F)) {
        throw LineError{"a percentage is a number from 0 to 100, not " + Quoted(word)};
    }
    return value;
}

KeyRef ParseKey(std::string_view word)
{
    if (word == "toggle") {
        return {KeyRef::Kind::Toggle, 0};
    }
    if (word == "vehicle-aim") {
        return {KeyRef::Kind::VehicleAim, 0};
    }
    std::string_view digits = word;
    if (digits.size() > 2 && (digits.substr(0, 2) == "0x" || digits.substr(0, 2) == "0X")) {
        digits.remove_prefix(2);
    }
    int code = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), code, 16);
    if (digits.empty() || digits.size() > 2 || error != std::errc() || end != digits.data() + digits.size() ||
        code < 1) {
        throw LineError{"a key is toggle, vehicle-aim or a hexadecimal key code from 01 to FF (70 is F1), not " +
                        Quoted(word)};
    }
    return {KeyRef::Kind::Code, code};
}

std::string ParseMenuName(std::string_view word)
{
    const bool plain = std::all_of(word.begin(), word.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    });
    if (!plain || word.size() > kLongestMenuName) {
        throw LineError{"a menu name is letters, digits and _ (at most 63), such as InventoryMenu, not " +
                        Quoted(word)};
    }
    return std::string(word);
}

std::string ParseSettingKey(std::string_view word)
{
    const bool plain = !word.empty() && word.size() <= 64 && std::all_of(word.begin(), word.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    });
    if (!plain) {
        throw LineError{"\"set\" needs a settings key such as bShowWhileWeaponDrawn, not " + Quoted(word)};
    }
    return std::string(word);
}

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
    } else if (verb == "set") {
        // The value is the rest of the line as the settings file would hold it.
        if (words.size() < 2) {
            throw LineError{"\"set\" takes this form: set KEY VALUE"};
        }
        step.kind = StepKind::SetSetting;
        step.name = ParseSettingKey(words[1]);
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
    } else {
        throw LineError{"unknown step " + Quoted(verb) +
                        " (steps: wait, load-save, set, weapon, menu, subtitle, discover, mission, level-up, health, "
                        "oxygen, boost, combat, sneaking, jumping, vehicle, overencumbered, hostiles, press, release)"};
    }
    return step;
}

Step ParseLine(std::string_view text)
{
    auto words = Words(text);
    Expect expect = Expect::Nothing;
    // "... expect shown|hidden" closes any step but `set`, whose value is the
    // rest of the line.
    if (words.front() != "set") {
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
