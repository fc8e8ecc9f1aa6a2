#pragma once

#include <spdlog/spdlog.h>

#include <memory>

namespace Zorvik::log::detail {

// The "Zorvik" logger over `sinks`, in their order: info level, every line
// flushed, each line in the log's fixed pattern in local time, ending in CRLF.
[[nodiscard]] std::shared_ptr<spdlog::logger> make_logger(spdlog::sinks_init_list sinks);

}  // namespace Zorvik::log::detail
