#include "settings/SettingValueParsers.h"

#include <cerrno>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

bool OnlyCharactersOf(std::string_view text, std::string_view allowed)
{
    return text.find_first_not_of(allowed) == std::string_view::npos;
}

// The C conversions want a terminated string; the value texts come from a
// buffer that already is one, but a string_view does not promise it.
std::string Terminated(std::string_view text)
{
    return std::string(text);
}

// A signed base-10 conversion that behaves as std::stoi: the longest valid
// prefix, nothing when there is no number or it does not fit in 32 bits.
std::optional<std::int32_t> ToInt32(std::string_view text)
{
    const std::string copy = Terminated(text);
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(copy.c_str(), &end, 10);
    if (end == copy.c_str() || errno == ERANGE || value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

bool IsAsciiSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

}  // namespace

bool ParseBoolean(std::string_view text) noexcept
{
    return text == "1";
}

std::optional<std::int32_t> ParseDigits(std::string_view text) noexcept
{
    if (!OnlyCharactersOf(text, "0123456789")) {
        return std::nullopt;
    }
    return ToInt32(text);
}

std::optional<std::int32_t> ParseFlag(std::string_view text) noexcept
{
    if (!OnlyCharactersOf(text, "-0123456789")) {
        return std::nullopt;
    }
    return ToInt32(text);
}

std::optional<float> ParseDecimal(std::string_view text) noexcept
{
    if (!OnlyCharactersOf(text, "-.0123456789")) {
        return std::nullopt;
    }
    // The character set leaves no room for exponents, infinities or hex
    // floats, so the C locale's strtof reads only plain decimals here.
    const std::string copy = Terminated(text);
    char* end = nullptr;
    errno = 0;
    const float value = std::strtof(copy.c_str(), &end);
    if (end == copy.c_str() || errno == ERANGE) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint32_t> ParseKeyCode(std::string_view text) noexcept
{
    std::size_t at = 0;
    while (at < text.size() && IsAsciiSpace(text[at])) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    // What follows the sign must start the number itself: a second sign or
    // more white space ends the conversion with nothing read.
    if (at == text.size() || !IsHexDigit(text[at])) {
        return std::nullopt;
    }
    if (text[at] == '0' && at + 2 < text.size() && (text[at + 1] == 'x' || text[at + 1] == 'X') &&
        IsHexDigit(text[at + 2])) {
        at += 2;
    }
    std::uint64_t magnitude = 0;
    for (; at < text.size() && IsHexDigit(text[at]); ++at) {
        const char c = text[at];
        const auto digit = static_cast<std::uint64_t>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
        magnitude = magnitude * 16 + digit;
        if (magnitude > std::numeric_limits<std::uint32_t>::max()) {
            return std::nullopt;
        }
    }
    const auto value = static_cast<std::uint32_t>(magnitude);
    return negative ? static_cast<std::uint32_t>(0U - value) : value;
}
