#include "Zorvik/LogFileSink.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace Zorvik::log::detail {

void log_file_sink::open()
{
    file_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (file_ < 0) {
        spdlog::throw_spdlog_ex("Failed opening file " + path_.string() + " for writing", errno);
    }
}

void log_file_sink::write(const spdlog::memory_buf_t& line)
{
    const char* rest = line.data();
    std::size_t left = line.size();
    while (left > 0) {
        const ssize_t written = ::write(file_, rest, left);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            spdlog::throw_spdlog_ex("Failed writing to file " + path_.string(), errno);
        }
        rest += written;
        left -= static_cast<std::size_t>(written);
    }
}

void log_file_sink::close() noexcept
{
    if (file_ >= 0) {
        ::close(file_);
    }
}

}  // namespace Zorvik::log::detail
