#include "Zorvik/LogFileSink.h"

#include <windows.h>

#include <fmt/format.h>

namespace Zorvik::log::detail {

namespace {

[[noreturn]] void refused(const char* what, const std::filesystem::path& path)
{
    const DWORD code = GetLastError();
    const std::u8string name = path.u8string();
    spdlog::throw_spdlog_ex(
        fmt::format("Failed {} file {}: error {}", what, std::string(name.begin(), name.end()), code));
}

}  // namespace

void log_file_sink::open()
{
    // Shared for reading and writing, as the C runtime's files are: a player
    // may watch the log while the game runs.
    file_ = CreateFileW(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ == INVALID_HANDLE_VALUE) {
        file_ = nullptr;
        refused("opening", path_);
    }
}

void log_file_sink::write(const spdlog::memory_buf_t& line)
{
    DWORD written = 0;
    if (WriteFile(file_, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) == FALSE ||
        written != line.size()) {
        refused("writing to", path_);
    }
}

void log_file_sink::close() noexcept
{
    if (file_ != nullptr) {
        CloseHandle(file_);
    }
}

}  // namespace Zorvik::log::detail
