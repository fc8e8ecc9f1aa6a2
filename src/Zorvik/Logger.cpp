#include "Zorvik/Logger.h"

#include "Zorvik/DebuggerOutputSink.h"
#include "Zorvik/LogFileSink.h"
#include "Zorvik/LoggerPortable.h"
#include "Zorvik/OwnModule.h"
#include "Zorvik/PluginVersionData.h"

#include <shlobj.h>
#include <windows.h>

#include <cstring>
#include <memory>
#include <mutex>

namespace Zorvik::log {

namespace {

// The log file is named after the plugin's own exported version record.
std::optional<std::string> plugin_name()
{
    const auto* record = reinterpret_cast<const PluginVersionData*>(
        reinterpret_cast<void*>(GetProcAddress(::Zorvik::detail::own_module(), "ZorvikPlugin_Version")));
    if (record == nullptr) {
        return std::nullopt;
    }
    return std::string(record->name.data(), strnlen(record->name.data(), record->name.size()));
}

}  // namespace

std::optional<std::filesystem::path> log_directory()
{
    PWSTR folder = nullptr;
    const HRESULT result = SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &folder);
    const std::unique_ptr<wchar_t, decltype(&CoTaskMemFree)> owned(folder, &CoTaskMemFree);
    if (FAILED(result) || folder == nullptr) {
        error("failed to get known folder path");
        return std::nullopt;
    }
    return std::filesystem::path(folder) / L"My Games" / L"Corvane" / L"Zorvik" / L"Logs";
}

void init()
{
    const auto directory = log_directory();
    if (!directory) {
        return;
    }
    const auto name = plugin_name();
    if (!name) {
        return;
    }
    const auto fileName = fmt::format("{}.log", *name);
    const auto path = *directory / std::u8string(fileName.begin(), fileName.end());

    std::shared_ptr<detail::log_file_sink> fileSink;
    try {
        fileSink = std::make_shared<detail::log_file_sink>(path);
    } catch (const spdlog::spdlog_ex& failure) {
        // A log file that cannot be written must not stop the game.
        error("failed to open the log file: {}", failure.what());
        return;
    }
    auto debuggerSink = std::make_shared<::Zorvik::detail::debugger_output_sink<std::mutex>>();
    spdlog::set_default_logger(detail::make_logger({fileSink, debuggerSink}));
}

}  // namespace Zorvik::log
