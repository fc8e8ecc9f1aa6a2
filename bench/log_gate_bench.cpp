// What the plugin's logic pays per log statement and per clock reading on the
// game's thread: with logging off a statement must cost a branch, not a format.
// With it on, the line is formatted once more by the log file's sink.

#include "Clock.h"
#include "PluginLog.h"
#include "Zorvik/LineFormatter.h"
#include "settings/Settings.h"

#include <benchmark/benchmark.h>
#include <spdlog/pattern_formatter.h>
#include <spdlog/sinks/null_sink.h>

#include <chrono>
#include <memory>

namespace {

void BM_LogLineWhileLoggingIsOff(benchmark::State& state)
{
    Settings.bLogging = false;
    int value = 0;
    for (auto _ : state) {
        LOG_INFO("rule {} fired with {:.2f} percent", value, 42.5);
        benchmark::DoNotOptimize(++value);
    }
}
BENCHMARK(BM_LogLineWhileLoggingIsOff);

void BM_LogLineIntoANullSink(benchmark::State& state)
{
    const auto previous = spdlog::default_logger();
    spdlog::set_default_logger(
        std::make_shared<spdlog::logger>("bench", std::make_shared<spdlog::sinks::null_sink_mt>()));
    Settings.bLogging = true;
    int value = 0;
    for (auto _ : state) {
        LOG_INFO("rule {} fired with {:.2f} percent", value, 42.5);
        benchmark::DoNotOptimize(++value);
    }
    Settings.bLogging = false;
    spdlog::set_default_logger(previous);
}
BENCHMARK(BM_LogLineIntoANullSink);

// One line of the log file formatted as its sink does it, each line a
// microsecond later: through the library's pattern formatter over the log's
// pattern, and through the plugin's formatter that writes the same bytes.
void BM_LogFileLineFormatting(benchmark::State& state, std::unique_ptr<spdlog::formatter> formatter)
{
    spdlog::details::log_msg message(spdlog::source_loc{"src/hud/UpdateHUD.cpp", 208, "UpdateHUD"}, "Zorvik",
                                     spdlog::level::info, "[UpdateHUD] result = [exit] | RecentLastUpdate");
    for (auto _ : state) {
        message.time += std::chrono::microseconds(1);
        spdlog::memory_buf_t line;
        formatter->format(message, line);
        benchmark::DoNotOptimize(line.data());
    }
}
BENCHMARK_CAPTURE(BM_LogFileLineFormatting, library_pattern,
                  std::make_unique<spdlog::pattern_formatter>("[%Y-%m-%d %H:%M:%S.%f] [%n] [%l] [%s:%#] %v",
                                                              spdlog::pattern_time_type::local, "\r\n"));
BENCHMARK_CAPTURE(BM_LogFileLineFormatting, line_formatter, std::make_unique<Zorvik::log::detail::line_formatter>());

void BM_ClockReading(benchmark::State& state)
{
    for (auto _ : state) {
        benchmark::DoNotOptimize(Clock::Now());
    }
}
BENCHMARK(BM_ClockReading);

}  // namespace
