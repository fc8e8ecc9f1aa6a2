#include "Zorvik/LoggerPortable.h"

#include <spdlog/pattern_formatter.h>

namespace Zorvik::log::detail {

namespace {

constexpr const char* kLoggerName = "Zorvik";
constexpr const char* kPattern = "[%Y-%m-%d %H:%M:%S.%f] [%n] [%l] [%s:%#] %v";
constexpr const char* kLineEnding = "\r\n";

}  // namespace

std::shared_ptr<spdlog::logger> make_logger(spdlog::sinks_init_list sinks)
{
    auto logger = std::make_shared<spdlog::logger>(kLoggerName, sinks);
    logger->set_level(spdlog::level::info);
    logger->flush_on(spdlog::level::info);
    logger->set_formatter(
        std::make_unique<spdlog::pattern_formatter>(kPattern, spdlog::pattern_time_type::local, kLineEnding));
    return logger;
}

}  // namespace Zorvik::log::detail
