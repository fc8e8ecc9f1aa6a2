#include "ScenarioValues.h"

#include "ScenarioWords.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace sim::scenario_syntax {

namespace {

// A session lasts minutes; an hour in one wait is surely a typo.
constexpr long long kLongestWaitMs = 3'600'000;
// Menu names go into the game's string pool, whose entries hold 63 characters.
constexpr std::size_t kLongestMenuName = 63;

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

// A hexadecimal number of at most `digits` digits ("0x" before them
// allowed), or 0 when the word is none or is 0.
int PositiveHex(std::string_view word, std::size_t digits)
{
    if (word.size() > 2 && (word.substr(0, 2) == "0x" || word.substr(0, 2) == "0X")) {
        word.remove_prefix(2);
    }
    int value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value, 16);
    if (word.empty() || word.size() > digits || error != std::errc() || end != word.data() + word.size()) {
        return 0;
    }
    return std::max(value, 0);
}

}  // namespace

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
    const int code = PositiveHex(word, 2);
    if (code == 0) {
        throw LineError{"a key is toggle, vehicle-aim or a hexadecimal key code from 01 to FF (70 is F1), not " +
                        Quoted(word)};
    }
    return {KeyRef::Kind::Code, code};
}

KeyRef ParseButtons(std::string_view word)
{
    if (word == "toggle") {
        return {KeyRef::Kind::Toggle, 0};
    }
    const int mask = PositiveHex(word, 4);
    if (mask == 0) {
        throw LineError{
            "buttons are toggle or a hexadecimal mask of XInput buttons from 0001 to FFFF (0021 is Back "
            "and D-pad up), not " +
            Quoted(word)};
    }
    return {KeyRef::Kind::Code, mask};
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

std::string ParseSettingKey(std::string_view verb, std::string_view word)
{
    const bool plain = !word.empty() && word.size() <= 64 && std::all_of(word.begin(), word.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    });
    if (!plain) {
        throw LineError{"\"" + std::string(verb) + "\" needs a settings key such as bShowWhileWeaponDrawn, not " +
                        Quoted(word)};
    }
    return std::string(word);
}

}  // namespace sim::scenario_syntax
