#pragma once

#include "Scenario.h"

#include <string>
#include <string_view>
#include <vector>

// The values a scenario step's words give; each throws a LineError naming
// what it expected.
namespace sim::scenario_syntax {

// "2s + iKeepHUDShownMS + 500ms": terms joined by +, blanks optional.
[[nodiscard]] Duration ParseDuration(const std::vector<std::string_view>& words);
[[nodiscard]] float ParsePercent(std::string_view word);
[[nodiscard]] KeyRef ParseKey(std::string_view word);
// "toggle", or XInput buttons as a hexadecimal mask from 0001 to FFFF.
[[nodiscard]] KeyRef ParseButtons(std::string_view word);
[[nodiscard]] std::string ParseMenuName(std::string_view word);
[[nodiscard]] std::string ParseSettingKey(std::string_view verb, std::string_view word);

}  // namespace sim::scenario_syntax
