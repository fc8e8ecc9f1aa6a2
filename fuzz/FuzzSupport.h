#pragma once

#include <spdlog/sinks/null_sink.h>
#include <spdlog/spdlog.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

// A property every input must keep; a violation is a crash the fuzzer keeps.
inline void Check(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "violated: %s\n", what);
        std::abort();
    }
}

// Log lines of the code under test go nowhere: millions of runs would
// otherwise drown the fuzzer's own output.
inline void SilenceLogging()
{
    spdlog::set_default_logger(
        std::make_shared<spdlog::logger>("fuzz", std::make_shared<spdlog::sinks::null_sink_mt>()));
}
