#pragma once

#include <spdlog/sinks/base_sink.h>

#include <filesystem>
#include <mutex>

namespace Zorvik::log::detail {

// The log file. Opened truncated (missing folders are made), and every line
// handed to the system with one write before the log call returns, so that a
// crash of the game loses no line and no flush is needed. The library's file
// sink goes through the C runtime and opens the file for appending, which
// costs a seek to the end before every write: under Wine more than the write
// itself. Nothing else writes this file, so our own position is its end.
class log_file_sink final : public spdlog::sinks::base_sink<std::mutex> {
public:
    // Throws spdlog::spdlog_ex when the file cannot be opened.
    explicit log_file_sink(const std::filesystem::path& path);
    ~log_file_sink() override;
    log_file_sink(const log_file_sink&) = delete;
    log_file_sink& operator=(const log_file_sink&) = delete;

protected:
    void sink_it_(const spdlog::details::log_msg& message) override;
    void flush_() override {}

private:
    // The system's half (LogFileSink.cpp, LogFileSinkNative.cpp); throws
    // spdlog::spdlog_ex when the system refuses.
    void open();
    void write(const spdlog::memory_buf_t& line);
    void close() noexcept;

    std::filesystem::path path_;
#ifdef _WIN32
    void* file_ = nullptr;
#else
    int file_ = -1;
#endif
};

}  // namespace Zorvik::log::detail
