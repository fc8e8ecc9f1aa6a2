#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Parsers for the value texts of the INI file, one per kind of setting. Each
// takes a non-empty text and gives the value, or nothing when the text is not
// of its kind or its number cannot be read; ranges are checked by the caller.
// None throws and none reads past the text.

// "1" is true; any other text is false.
[[nodiscard]] bool ParseBoolean(std::string_view text) noexcept;

// Only "0123456789", read as a base-10 signed 32-bit number.
[[nodiscard]] std::optional<std::int32_t> ParseDigits(std::string_view text) noexcept;

// Only "-0123456789", read as a base-10 signed 32-bit number; the caller keeps
// it when it is 0 or 1.
[[nodiscard]] std::optional<std::int32_t> ParseFlag(std::string_view text) noexcept;

// Only "-.0123456789", read as a float from the longest valid prefix, so
// "12.5.3" gives 12.5.
[[nodiscard]] std::optional<float> ParseDecimal(std::string_view text) noexcept;

// Base 16 with the leniency of the C library's unsigned conversion: leading
// white space, a sign, an optional 0x prefix, and the first non-digit ends the
// number. A minus negates modulo 2^32; more than 32 bits is an overflow.
[[nodiscard]] std::optional<std::uint32_t> ParseKeyCode(std::string_view text) noexcept;
