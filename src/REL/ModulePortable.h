#pragma once

#include "REL/Module.h"
#include "REL/Version.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace REL::detail {

// The main sections of a PE image mapped at `base`, by segment kind. Only the
// first eight section headers are examined; a later section of a kind replaces
// an earlier one, and a kind no section matched stays zero.
[[nodiscard]] std::array<Segment, kSegmentKindCount> read_segments(std::uint64_t base);

// A product-version text such as "1.14.70.0": up to four dot-separated signed
// decimal numbers, each kept to its low 16 bits; missing parts are 0. Nothing
// when a piece is not a number or does not fit a signed 32-bit integer.
[[nodiscard]] std::optional<Version> parse_product_version(std::wstring_view text);

}  // namespace REL::detail
