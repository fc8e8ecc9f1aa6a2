// What the plugin's logic pays per log statement and per clock reading on the
// game's thread: with logging off a statement must cost a branch, not a format.

#include "Clock.h"
#include "PluginLog.h"
#include "settings/Settings.h"

#include <benchmark/benchmark.h>
#include <spdlog/sinks/null_sink.h>

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

void BM_ClockReading(benchmark::State& state)
{
    for (auto _ : state) {
        benchmark::DoNotOptimize(Clock::Now());
    }
}
BENCHMARK(BM_ClockReading);

}  // namespace
