#pragma once

#include <cstdint>

#if defined(__has_builtin) && __has_builtin(__builtin_COLUMN)
#define ZORVIK_BUILTIN_COLUMN() __builtin_COLUMN()
#else
#define ZORVIK_BUILTIN_COLUMN() 0  // g++ 12 gives no column; nothing shows it
#endif

namespace Zorvik {

// The place of a log call or a failing check. std::source_location is not
// available to every compiler this code builds with (clang 14 over
// libstdc++ 12); the builtins behind it are.
class source_location {
public:
    [[nodiscard]] static constexpr source_location current(
        const char* file = __builtin_FILE(), const char* function = __builtin_FUNCTION(),
        std::uint_least32_t line = __builtin_LINE(), std::uint_least32_t column = ZORVIK_BUILTIN_COLUMN()) noexcept
    {
        source_location location;
        location.file_ = file;
        location.function_ = function;
        location.line_ = line;
        location.column_ = column;
        return location;
    }

    [[nodiscard]] constexpr const char* file_name() const noexcept { return file_; }
    [[nodiscard]] constexpr const char* function_name() const noexcept { return function_; }
    [[nodiscard]] constexpr std::uint_least32_t line() const noexcept { return line_; }
    [[nodiscard]] constexpr std::uint_least32_t column() const noexcept { return column_; }

private:
    const char* file_ = "";
    const char* function_ = "";
    std::uint_least32_t line_ = 0;
    std::uint_least32_t column_ = 0;
};

}  // namespace Zorvik
