// The fatal report of the native build (tests, fuzzers, benchmarks of the
// Win32-free code): the same critical line, then an exception a test or a
// fuzzer can catch, instead of a message box and the end of the process.

#include "Zorvik/FatalError.h"
#include "Zorvik/Logger.h"

namespace Zorvik {

void report_fatal(std::string_view message, const Zorvik::source_location& location)
{
    if (auto* logger = spdlog::default_logger_raw(); logger != nullptr && logger->should_log(spdlog::level::critical)) {
        logger->log(
            spdlog::source_loc{location.file_name(), static_cast<int>(location.line()), location.function_name()},
            spdlog::level::critical, message);
    }
    throw detail::fatal_error(std::string(message));
}

}  // namespace Zorvik
