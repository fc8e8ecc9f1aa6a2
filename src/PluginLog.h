#pragma once

#include "settings/Settings.h"

#include <spdlog/spdlog.h>

// A log line of the plugin's logic: written only while bLogging is on, prefixed
// with "[" and the writing function's name and "] ", and carrying its source
// location. Nothing is formatted while logging is off. A macro because the
// prefix is joined to the format literal at compile time and __func__ is the
// plain name of the function that writes. PLUGIN_LOG_FOR names the function
// explicitly, for a helper that writes on behalf of its caller.
#define PLUGIN_LOG_FOR(function, severity, format, ...)                                             \
    do {                                                                                            \
        if (::Settings.bLogging) {                                                                  \
            ::spdlog::default_logger_raw()->log(::spdlog::source_loc{__FILE__, __LINE__, __func__}, \
                                                ::spdlog::level::severity, "[{}] " format,          \
                                                function __VA_OPT__(, ) __VA_ARGS__);               \
        }                                                                                           \
    } while (false)

#define PLUGIN_LOG(severity, format, ...) PLUGIN_LOG_FOR(__func__, severity, format __VA_OPT__(, ) __VA_ARGS__)

#define LOG_INFO(format, ...) PLUGIN_LOG(info, format __VA_OPT__(, ) __VA_ARGS__)
#define LOG_WARN(format, ...) PLUGIN_LOG(warn, format __VA_OPT__(, ) __VA_ARGS__)
#define LOG_ERROR(format, ...) PLUGIN_LOG(err, format __VA_OPT__(, ) __VA_ARGS__)
