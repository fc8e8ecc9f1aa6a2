#pragma once

#include <spdlog/spdlog.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

// Routes the default logger into memory for one test: each line is
// "[<level>] <message>", and the previous default logger returns afterwards.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    [[nodiscard]] std::vector<std::string> lines() const;
    void clear();

private:
    std::ostringstream stream_;
    std::shared_ptr<spdlog::logger> previous_;
};
