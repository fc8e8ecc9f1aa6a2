#pragma once

// A log writer as a plugin might have it without a logging library: one
// mutex, the local time, fprintf and fflush, so that each line is in the OS
// when the call returns. The yardstick for the plugin's own log line.

#ifdef _WIN32
#include <windows.h>
#else
#include <ctime>
#endif

#include <cstdio>
#include <mutex>

class NaiveLogWriter {
public:
    explicit NaiveLogWriter(const char* path) : file_(std::fopen(path, "w")) {}
    ~NaiveLogWriter()
    {
        if (file_ != nullptr) {
            std::fclose(file_);
        }
    }
    NaiveLogWriter(const NaiveLogWriter&) = delete;
    NaiveLogWriter& operator=(const NaiveLogWriter&) = delete;

    [[nodiscard]] bool is_open() const { return file_ != nullptr; }

    void info(const char* sourceFile, int line, const char* function, const char* text)
    {
        const std::lock_guard lock(mutex_);
#ifdef _WIN32
        SYSTEMTIME now;
        GetLocalTime(&now);
        std::fprintf(file_, "[%04u-%02u-%02u %02u:%02u:%02u.%03u000] [Zorvik] [info] [%s:%d] [%s] %s\n", now.wYear,
                     now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds, sourceFile, line,
                     function, text);
#else
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        tm local{};
        localtime_r(&now.tv_sec, &local);
        std::fprintf(file_, "[%04d-%02d-%02d %02d:%02d:%02d.%06ld] [Zorvik] [info] [%s:%d] [%s] %s\n",
                     local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                     now.tv_nsec / 1000, sourceFile, line, function, text);
#endif
        std::fflush(file_);
    }

private:
    std::mutex mutex_;
    std::FILE* file_;
};
