#include "Zorvik/LineFormatter.h"

#include <spdlog/details/log_msg.h>
#include <spdlog/details/os.h>

#include <algorithm>
#include <string_view>

namespace Zorvik::log::detail {

namespace {

std::string_view view(spdlog::string_view_t text)
{
    return {text.data(), text.size()};
}

// The file's name without its folders, as the library's "%s" gives it: on
// Windows both separators count.
std::string_view base_name(const char* path)
{
    const std::string_view whole(path);
    const auto last = whole.find_last_of(spdlog::details::os::folder_seps);
    return last == std::string_view::npos ? whole : whole.substr(last + 1);
}

}  // namespace

void line_formatter::format(const spdlog::details::log_msg& message, spdlog::memory_buf_t& line)
{
    const auto sinceEpoch = message.time.time_since_epoch();
    const auto second = std::chrono::duration_cast<std::chrono::seconds>(sinceEpoch);
    if (second != second_) {
        const std::tm local = spdlog::details::os::localtime(spdlog::log_clock::to_time_t(message.time));
        const auto end = fmt::format_to_n(secondPrefix_.begin(), secondPrefix_.size(),
                                          "[{}-{:02}-{:02} {:02}:{:02}:{:02}.", local.tm_year + 1900, local.tm_mon + 1,
                                          local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
        secondPrefixSize_ = std::min(end.size, secondPrefix_.size());
        second_ = second;
    }

    auto micros =
        static_cast<unsigned>(std::chrono::duration_cast<std::chrono::microseconds>(sinceEpoch - second).count());
    std::array<char, 6> microDigits{};
    for (auto digit = microDigits.rbegin(); digit != microDigits.rend(); ++digit) {
        *digit = static_cast<char>('0' + micros % 10);
        micros /= 10;
    }

    // A line without a source location leaves both of its fields empty: "[:]".
    const bool located = !message.source.empty();
    const fmt::format_int lineNumber(located ? message.source.line : 0);
    const std::string_view pieces[] = {
        {secondPrefix_.data(), secondPrefixSize_},
        {microDigits.data(), microDigits.size()},
        "] [",
        view(message.logger_name),
        "] [",
        view(spdlog::level::to_string_view(message.level)),
        "] [",
        located ? base_name(message.source.filename) : std::string_view(),
        ":",
        located ? std::string_view(lineNumber.data(), lineNumber.size()) : std::string_view(),
        "] ",
        view(message.payload),
        "\r\n",
    };

    // One growth of the buffer, then plain copies.
    std::size_t size = 0;
    for (const auto piece : pieces) {
        size += piece.size();
    }
    const std::size_t start = line.size();
    line.resize(start + size);
    char* out = line.data() + start;
    for (const auto piece : pieces) {
        out = std::copy(piece.begin(), piece.end(), out);
    }
}

std::unique_ptr<spdlog::formatter> line_formatter::clone() const
{
    return std::make_unique<line_formatter>();
}

}  // namespace Zorvik::log::detail
