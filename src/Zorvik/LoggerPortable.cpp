#include "Zorvik/LoggerPortable.h"

#include "Zorvik/LineFormatter.h"

namespace Zorvik::log::detail {

namespace {

constexpr const char* kLoggerName = "Zorvik";

}  // namespace

std::shared_ptr<spdlog::logger> make_logger(spdlog::sinks_init_list sinks)
{
    auto logger = std::make_shared<spdlog::logger>(kLoggerName, sinks);
    logger->set_level(spdlog::level::info);
    // No flush level: the file sink hands each line to the system as it
    // writes it, and the debugger output keeps nothing to flush. A flush
    // after each line would only take both sinks' locks once more.
    logger->set_formatter(std::make_unique<line_formatter>());
    return logger;
}

}  // namespace Zorvik::log::detail
