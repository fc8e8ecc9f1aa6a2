#include "support/LogCapture.h"

#include <spdlog/pattern_formatter.h>
#include <spdlog/sinks/ostream_sink.h>

#include <mutex>

LogCapture::LogCapture() : previous_(spdlog::default_logger())
{
    auto sink = std::make_shared<spdlog::sinks::ostream_sink<std::mutex>>(stream_);
    auto logger = std::make_shared<spdlog::logger>("capture", std::move(sink));
    logger->set_level(spdlog::level::trace);
    logger->set_formatter(
        std::make_unique<spdlog::pattern_formatter>("[%l] %v", spdlog::pattern_time_type::local, "\n"));
    spdlog::set_default_logger(std::move(logger));
}

LogCapture::~LogCapture()
{
    spdlog::set_default_logger(previous_);
}

std::vector<std::string> LogCapture::lines() const
{
    std::vector<std::string> result;
    std::istringstream in(stream_.str());
    for (std::string line; std::getline(in, line);) {
        result.push_back(line);
    }
    return result;
}

void LogCapture::clear()
{
    stream_.str({});
}
