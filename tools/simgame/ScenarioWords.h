#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// The words of a scenario line, and the errors that quote them.
namespace sim::scenario_syntax {

// What is wrong with a line: thrown wherever a part of the line is read,
// caught once for the whole line to put the file and line number before it.
struct LineError {
    std::string what;
};

[[nodiscard]] std::vector<std::string_view> Words(std::string_view text);
// A comment starts with # at the start of the line or after a blank.
[[nodiscard]] std::string_view WithoutComment(std::string_view line);
[[nodiscard]] std::string_view Trimmed(std::string_view text);
// A word in quotes for an error, shortened and made printable.
[[nodiscard]] std::string Quoted(std::string_view word);

// One of `choices`, by its index; an error naming them otherwise.
std::size_t Choose(std::string_view word, std::initializer_list<std::string_view> choices, std::string_view what);
// An error unless the step has `count` words, its verb included.
void ExpectWords(const std::vector<std::string_view>& words, std::size_t count, std::string_view usage);

}  // namespace sim::scenario_syntax
