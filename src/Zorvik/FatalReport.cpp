#include "Zorvik/FatalReportPortable.h"
#include "Zorvik/Logger.h"
#include "Zorvik/OwnModule.h"
#include "Zorvik/TextEncoding.h"

#include <windows.h>

#include <cstdlib>

namespace Zorvik {

namespace {

std::wstring own_module_base_name()
{
    const std::wstring path = detail::own_module_file_name();
    const auto separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

}  // namespace

void report_fatal(std::string_view message, const Zorvik::source_location& location)
{
    const std::wstring text =
        detail::utf8_to_utf16(detail::fatal_box_text(location.file_name(), location.line(), message))
            .value_or(L"<character encoding error>");
    const std::wstring caption = own_module_base_name();

    if (auto* logger = spdlog::default_logger_raw();
        logger != nullptr && (logger->should_log(spdlog::level::critical) || logger->should_backtrace())) {
        logger->log(
            spdlog::source_loc{location.file_name(), static_cast<int>(location.line()), location.function_name()},
            spdlog::level::critical, message);
    }

    MessageBoxW(nullptr, text.c_str(), caption.empty() ? nullptr : caption.c_str(), MB_OK);
    TerminateProcess(GetCurrentProcess(), 1);
    std::_Exit(1);  // TerminateProcess on ourselves does not return; this only keeps the promise
}

}  // namespace Zorvik
