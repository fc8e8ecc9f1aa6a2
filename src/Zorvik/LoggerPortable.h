#pragma once

#include <spdlog/spdlog.h>

#include <memory>

namespace Zorvik::log::detail {

// The "Zorvik" logger over `sinks`, in their order: info level, each line in
// the log's fixed pattern (line_formatter).
[[nodiscard]] std::shared_ptr<spdlog::logger> make_logger(spdlog::sinks_init_list sinks);

}  // namespace Zorvik::log::detail
