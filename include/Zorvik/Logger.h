#pragma once

#include "Zorvik/SourceLocation.h"

#include <spdlog/spdlog.h>

#include <filesystem>
#include <optional>
#include <string_view>
#include <utility>

namespace Zorvik {

namespace log {

// Documents\My Games\Corvane\Zorvik\Logs of the current user, or nothing when
// the system cannot say where the Documents folder is.
[[nodiscard]] std::optional<std::filesystem::path> log_directory();

// Makes the "Zorvik" logger (log file, truncated, and debugger output) the
// default logger. Without a Documents folder the library's default stays.
void init();

namespace detail {
template <class... Args>
void write(const Zorvik::source_location& location, spdlog::level::level_enum level, fmt::format_string<Args...> format,
           Args&&... args)
{
    spdlog::default_logger_raw()->log(
        spdlog::source_loc{location.file_name(), static_cast<int>(location.line()), location.function_name()}, level,
        format, std::forward<Args>(args)...);
}
}  // namespace detail

// Lines of the runtime support, at a fixed level, carrying the caller's
// source location: Zorvik::log::info("mapped {} entries", count);
#define ZORVIK_LOG_LEVEL(name, level)                                                               \
    template <class... Args>                                                                        \
    struct name {                                                                                   \
        explicit name(fmt::format_string<Args...> format, Args&&... args,                           \
                      const Zorvik::source_location& location = Zorvik::source_location::current()) \
        {                                                                                           \
            detail::write(location, level, format, std::forward<Args>(args)...);                    \
        }                                                                                           \
    };                                                                                              \
    template <class... Args>                                                                        \
    name(fmt::format_string<Args...>, Args&&...) -> name<Args...>;

ZORVIK_LOG_LEVEL(trace, spdlog::level::trace)
ZORVIK_LOG_LEVEL(debug, spdlog::level::debug)
ZORVIK_LOG_LEVEL(info, spdlog::level::info)
ZORVIK_LOG_LEVEL(warn, spdlog::level::warn)
ZORVIK_LOG_LEVEL(error, spdlog::level::err)
ZORVIK_LOG_LEVEL(critical, spdlog::level::critical)

#undef ZORVIK_LOG_LEVEL

}  // namespace log

// The one way the runtime gives up: the message at critical level, a message
// box naming the failing source line, then the process ends with exit code 1.
[[noreturn]] void report_fatal(std::string_view message,
                               const Zorvik::source_location& location = Zorvik::source_location::current());

}  // namespace Zorvik
