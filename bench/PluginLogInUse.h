#pragma once

// The plugin's log as the game has it, made the default logger for one
// benchmark when asked: under Windows the real set-up (the log file in the Documents
// folder, and the debugger output); natively, where there is no such set-up,
// the same logger over a log file in the current directory. The previous
// default logger returns afterwards.

#include "Zorvik/LoggerPortable.h"

#ifdef _WIN32
#include "Zorvik/Logger.h"
#else
#include "Zorvik/LogFileSink.h"
#endif

#include <spdlog/spdlog.h>

#include <memory>

class PluginLogInUse {
public:
    explicit PluginLogInUse(bool wanted) : wanted_(wanted)
    {
        if (!wanted) {
            return;
        }
#ifdef _WIN32
        Zorvik::log::init();
#else
        spdlog::set_default_logger(Zorvik::log::detail::make_logger(
            {std::make_shared<Zorvik::log::detail::log_file_sink>("plugin-log-bench.log")}));
#endif
    }
    ~PluginLogInUse()
    {
        spdlog::set_default_logger(previous_);
    }
    PluginLogInUse(const PluginLogInUse&) = delete;
    PluginLogInUse& operator=(const PluginLogInUse&) = delete;

    [[nodiscard]] bool wanted() const
    {
        return wanted_;
    }
    // False when the set-up left another logger in place (no Documents folder).
    [[nodiscard]] bool in_use() const
    {
        return wanted_ && spdlog::default_logger_raw()->name() == "Zorvik";
    }

private:
    bool wanted_;
    std::shared_ptr<spdlog::logger> previous_ = spdlog::default_logger();
};
