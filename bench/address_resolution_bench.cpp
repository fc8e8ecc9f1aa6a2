// The address library as the plugin uses it in the game (Windows only): the
// first load into the shared table, and REL::ID::address on the loaded table.
// The executable carries the game's product version and writes the library
// into Data\Zorvik\Plugins of its current directory.

#include "REL/ID.h"
#include "REL/Module.h"
#include "RealisticLibrary.h"

#include <benchmark/benchmark.h>
#include <spdlog/sinks/null_sink.h>

#include <array>
#include <filesystem>
#include <random>

namespace {

std::filesystem::path GameLibraryPath()
{
    static const auto path = [] {
        auto file = std::filesystem::current_path() / "Data" / "Zorvik" / "Plugins" / "versionlib-1-14-70-0-1.bin";
        RealisticLibrary({1, 14, 70, 0}).write(file);
        return file;
    }();
    return path;
}

// Each database made here is the only holder of its shared table, so every
// iteration creates, decodes and sorts it anew, as the first plugin does.
void BM_LoadMillionEntriesIntoSharedTable(benchmark::State& state)
{
    const auto path = GameLibraryPath().wstring();
    for (auto _ : state) {
        REL::IDDatabase database;
        database.load_file(path, REL::Version{1, 14, 70, 0});
        benchmark::DoNotOptimize(database.table().data());
    }
}
BENCHMARK(BM_LoadMillionEntriesIntoSharedTable)->Unit(benchmark::kMillisecond);

// What a second plugin pays: the table is mapped by name, not decoded.
void BM_MapAnExistingSharedTable(benchmark::State& state)
{
    const auto path = GameLibraryPath().wstring();
    REL::IDDatabase first;
    first.load_file(path, REL::Version{1, 14, 70, 0});
    for (auto _ : state) {
        REL::IDDatabase later;
        later.load_file(path, REL::Version{1, 14, 70, 0});
        benchmark::DoNotOptimize(later.table().data());
    }
}
BENCHMARK(BM_MapAnExistingSharedTable)->Unit(benchmark::kMillisecond);

void BM_IDAddressOfRandomId(benchmark::State& state)
{
    GameLibraryPath();
    const auto& table = [] {
        (void)REL::ID(RealisticLibraryFirstId()).address();  // loads the process-wide database
        return REL::IDDatabase::get().table();
    }();
    std::mt19937_64 random(7);
    std::array<std::uint64_t, 4096> ids{};
    for (auto& id : ids) {
        id = table[random() % table.size()].id;
    }
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(REL::ID(ids[next++ & 4095]).address());
    }
}
BENCHMARK(BM_IDAddressOfRandomId);

}  // namespace
