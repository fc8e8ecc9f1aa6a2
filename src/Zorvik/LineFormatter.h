#pragma once

#include <spdlog/formatter.h>

#include <array>
#include <chrono>
#include <memory>

namespace Zorvik::log::detail {

// The log's line, as the pattern "[%Y-%m-%d %H:%M:%S.%f] [%n] [%l] [%s:%#] %v"
// in local time with CRLF would write it, in one pass: the date and time up to
// the second are formatted once per second and only the microseconds per line.
// Like any formatter it belongs to one sink and runs under that sink's lock.
class line_formatter final : public spdlog::formatter {
public:
    void format(const spdlog::details::log_msg& message, spdlog::memory_buf_t& line) override;
    [[nodiscard]] std::unique_ptr<spdlog::formatter> clone() const override;

private:
    // "[2024-05-17 21:04:09." for the second it was made for.
    std::array<char, 32> secondPrefix_{};
    std::size_t secondPrefixSize_ = 0;
    std::chrono::seconds second_ = std::chrono::seconds::min();
};

}  // namespace Zorvik::log::detail
