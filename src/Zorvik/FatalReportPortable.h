#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace Zorvik::detail {

// A path in lexical normal form with Windows separators: "/" becomes "\",
// repeated separators fold, "." elements go and ".." removes the element
// before it. Nothing is asked of the file system.
[[nodiscard]] std::string normalize_source_path(std::string_view path);

// Everything after the first folder named include or src, or the whole path
// when there is no such folder.
[[nodiscard]] std::string shorten_source_path(std::string_view normalizedPath);

// The text of the fatal message box: "<short path>(<line>): <message>".
[[nodiscard]] std::string fatal_box_text(std::string_view sourcePath, std::uint_least32_t line,
                                         std::string_view message);

}  // namespace Zorvik::detail
