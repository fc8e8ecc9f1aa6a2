#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace Zorvik::detail {

// UTF-8 and UTF-16 through the system's converter, which replaces malformed
// sequences rather than rejecting them. Nothing when the system gives no text
// (an empty input included).
[[nodiscard]] std::optional<std::wstring> utf8_to_utf16(std::string_view text);
[[nodiscard]] std::optional<std::string> utf16_to_utf8(std::wstring_view text);

}  // namespace Zorvik::detail
