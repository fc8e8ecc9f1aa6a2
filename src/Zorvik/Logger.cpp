#include "Zorvik/Logger.h"

#include "Zorvik/DebuggerOutputSink.h"
#include "Zorvik/OwnModule.h"
#include "Zorvik/PluginVersionData.h"

#include <shlobj.h>
#include <windows.h>

#include <spdlog/pattern_formatter.h>
#include <spdlog/sinks/basic_file_sink.h>

#include <cstring>
#include <memory>
#include <mutex>

namespace Zorvik::log {

namespace {

constexpr const char* kLoggerName = "Zorvik";
constexpr const char* kPattern = "[%Y-%m-%d %H:%M:%S.%f] [%n] [%l] [%s:%#] %v";
constexpr const char* kLineEnding = "\r\n";

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

    std::shared_ptr<spdlog::sinks::basic_file_sink<std::mutex>> fileSink;
    try {
        fileSink = std::make_shared<spdlog::sinks::basic_file_sink<std::mutex>>(path.wstring(), true);
    } catch (const spdlog::spdlog_ex& failure) {
        // A log file that cannot be written must not stop the game.
        error("failed to open the log file: {}", failure.what());
        return;
    }
    auto debuggerSink = std::make_shared<::Zorvik::detail::debugger_output_sink<std::mutex>>();
    auto logger = std::make_shared<spdlog::logger>(kLoggerName, spdlog::sinks_init_list{fileSink, debuggerSink});
    logger->set_level(spdlog::level::info);
    logger->flush_on(spdlog::level::info);
    logger->set_formatter(
        std::make_unique<spdlog::pattern_formatter>(kPattern, spdlog::pattern_time_type::local, kLineEnding));
    spdlog::set_default_logger(std::move(logger));
}

}  // namespace Zorvik::log
