#include "Zorvik/LineFormatter.h"

#include <gtest/gtest.h>
#include <spdlog/pattern_formatter.h>

#include <chrono>
#include <string>

namespace {

using namespace std::chrono_literals;

struct LoggedLine {
    std::chrono::microseconds sinceEpoch;
    const char* loggerName;
    spdlog::level::level_enum level;
    spdlog::source_loc source;
    const char* text;
};

std::string Written(spdlog::formatter& formatter, const LoggedLine& logged)
{
    spdlog::details::log_msg message(logged.source, logged.loggerName, logged.level, logged.text);
    message.time = spdlog::log_clock::time_point(logged.sinceEpoch);
    spdlog::memory_buf_t line;
    formatter.format(message, line);
    return fmt::to_string(line);
}

// The log's lines are read by the companion page and by people: they must
// stay what the library's pattern formatter made of them, byte for byte. The
// rows run in order through one formatter, so that its cache of the current
// second meets a later second, the same second again and an earlier one.
TEST(LogLine, IsWhatTheLibrarysPatternWritesByteForByte)
{
    const std::chrono::seconds second = 1'700'000'000s;
    const spdlog::source_loc here{"src/hud/UpdateHUD.cpp", 208, "UpdateHUD"};
    const std::string longerThanAnyBuffer(600, 'x');
    const LoggedLine rows[] = {
        {second, "Zorvik", spdlog::level::info, here, "[UpdateHUD] result = [exit] | RecentLastUpdate"},
        {second + 999'999us, "Zorvik", spdlog::level::warn, here, "same second, last microsecond"},
        {second + 1s + 5us, "Zorvik", spdlog::level::err, here, "the next second"},
        {second + 1s + 70us, "Zorvik", spdlog::level::critical, here, "and again within it"},
        {946'684'799s + 999'999us, "Zorvik", spdlog::level::info, here, "the clock set back a few years"},
        {946'684'800s, "Zorvik", spdlog::level::info, here, "a new year in some time zone"},
        {second + 2s, "Zorvik", spdlog::level::trace, here, "every level by its name"},
        {second + 2s, "Zorvik", spdlog::level::debug, here, "every level by its name"},
        {second + 2s, "another", spdlog::level::info, here, "the logger's own name"},
        {second + 2s, "Zorvik", spdlog::level::info, {"src\\REL\\ID.cpp", 91, "id2offset"}, "a Windows path"},
        {second + 2s, "Zorvik", spdlog::level::info, {"Main.cpp", 7, "f"}, "a bare file name"},
        {second + 2s, "Zorvik", spdlog::level::info, {"src/dir/", 3, "f"}, "a path ending in a separator"},
        {second + 2s, "Zorvik", spdlog::level::info, {}, "no source location"},
        {second + 2s, "Zorvik", spdlog::level::info, here, ""},
        {second + 2s, "Zorvik", spdlog::level::info, here, "braces {} {:x} and %v %s stay as they are"},
        {second + 2s, "Zorvik", spdlog::level::info, here, "a text of\r\ntwo lines"},
        {second + 3s, "Zorvik", spdlog::level::info, {"a.cpp", 2'147'483'647, "f"}, longerThanAnyBuffer.c_str()},
    };
    Zorvik::log::detail::line_formatter formatter;
    spdlog::pattern_formatter pattern("[%Y-%m-%d %H:%M:%S.%f] [%n] [%l] [%s:%#] %v", spdlog::pattern_time_type::local,
                                      "\r\n");
    for (const auto& row : rows) {
        EXPECT_EQ(Written(formatter, row), Written(pattern, row)) << row.text;
    }
    const auto copy = formatter.clone();
    EXPECT_EQ(Written(*copy, rows[0]), Written(pattern, rows[0])) << "a copy as each sink gets one";
}

}  // namespace
