#include "Zorvik/LogFileSink.h"

#include <system_error>

namespace Zorvik::log::detail {

log_file_sink::log_file_sink(const std::filesystem::path& path) : path_(path)
{
    std::error_code ignored;  // a folder that cannot be made fails the open
    std::filesystem::create_directories(path_.parent_path(), ignored);
    open();
}

log_file_sink::~log_file_sink()
{
    close();
}

void log_file_sink::sink_it_(const spdlog::details::log_msg& message)
{
    spdlog::memory_buf_t line;
    formatter_->format(message, line);
    write(line);
}

}  // namespace Zorvik::log::detail
