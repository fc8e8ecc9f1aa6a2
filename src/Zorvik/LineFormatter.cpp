#include "Zorvik/LineFormatter.h"

#include <spdlog/details/log_msg.h>
#include <spdlog/details/os.h>

#include <algorithm>
#include <string_view>

namespace Zorvik::log::detail {

namespace {

void append(spdlog::memory_buf_t& line, std::string_view text)
{
    line.append(text.data(), text.data() + text.size());
}

// The file's name without its folders, as the library's "%s" gives it: on
// Windows both separators count.
std::string_view base_name(const char* path)
{
    const std::string_view whole(path);
    const std::string_view separators(spdlog::details::os::folder_seps);
    const auto last = whole.find_last_of(separators);
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
    line.append(secondPrefix_.data(), secondPrefix_.data() + secondPrefixSize_);

    auto micros =
        static_cast<unsigned>(std::chrono::duration_cast<std::chrono::microseconds>(sinceEpoch - second).count());
    std::array<char, 6> digits{};
    for (auto digit = digits.rbegin(); digit != digits.rend(); ++digit) {
        *digit = static_cast<char>('0' + micros % 10);
        micros /= 10;
    }
    line.append(digits.data(), digits.data() + digits.size());

    append(line, "] [");
    append(line, std::string_view(message.logger_name.data(), message.logger_name.size()));
    append(line, "] [");
    const auto level = spdlog::level::to_string_view(message.level);
    append(line, std::string_view(level.data(), level.size()));
    append(line, "] [");
    // A line without a source location leaves both fields empty: "[:]".
    if (message.source.empty()) {
        append(line, ":");
    } else {
        append(line, base_name(message.source.filename));
        append(line, ":");
        const fmt::format_int number(message.source.line);
        line.append(number.data(), number.data() + number.size());
    }
    append(line, "] ");
    line.append(message.payload.data(), message.payload.data() + message.payload.size());
    append(line, "\r\n");
}

std::unique_ptr<spdlog::formatter> line_formatter::clone() const
{
    return std::make_unique<line_formatter>();
}

}  // namespace Zorvik::log::detail
