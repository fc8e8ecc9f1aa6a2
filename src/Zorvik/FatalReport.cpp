#include "Zorvik/FatalReportText.h"
#include "Zorvik/Logger.h"
#include "Zorvik/OwnModule.h"

#include <windows.h>

#include <cstdlib>

namespace Zorvik {

namespace {

// Malformed sequences are replaced by the system, not rejected.
std::wstring utf8_to_utf16(std::string_view text)
{
    const auto length = static_cast<int>(text.size());
    const int wideLength = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    if (wideLength <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), length, wide.data(), wideLength);
    return wide;
}

std::wstring own_module_base_name()
{
    const std::wstring path = detail::own_module_file_name();
    const auto separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

}  // namespace

void report_fatal(std::string_view message, const std::source_location& location)
{
    std::wstring text = utf8_to_utf16(detail::fatal_box_text(location.file_name(), location.line(), message));
    if (text.empty()) {
        text = L"<character encoding error>";
    }
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
