// Loading the address library (read, decode, sort) and looking IDs up in it.

#include "REL/ID.h"
#include "RealisticLibrary.h"

#include <benchmark/benchmark.h>

#include <array>
#include <filesystem>
#include <random>
#include <vector>

namespace {

std::filesystem::path WriteLibrary(const char* name, std::size_t outOfOrder)
{
    const auto path = std::filesystem::temp_directory_path() / name;
    RealisticLibrary({1, 14, 70, 0}, 1'000'000, outOfOrder).write(path);
    return path;
}

// Read from the file, decode, sort: what the first plugin of a game pays.
void Load(benchmark::State& state, const std::filesystem::path& path)
{
    for (auto _ : state) {
        REL::database::istream_t input(path, std::ios_base::in);
        REL::database::header_t header;
        header.read(input);
        std::vector<REL::database::mapping_t> table(header.addressCount);
        REL::database::unpack(input, header, table);
        REL::database::sort_table(table);
        benchmark::DoNotOptimize(table.data());
    }
    state.SetItemsProcessed(state.iterations() * 1'000'000);
}

void BM_LoadMillionEntries_FewOutOfOrder(benchmark::State& state)
{
    static const auto path = WriteLibrary("lumenveil-bench-strays.bin", 100);
    Load(state, path);
}
BENCHMARK(BM_LoadMillionEntries_FewOutOfOrder)->Unit(benchmark::kMillisecond);

void BM_LoadMillionEntries_InOrder(benchmark::State& state)
{
    static const auto path = WriteLibrary("lumenveil-bench-ordered.bin", 0);
    Load(state, path);
}
BENCHMARK(BM_LoadMillionEntries_InOrder)->Unit(benchmark::kMillisecond);

// A loaded million-entry table and IDs drawn at random from it.
struct LoadedTable {
    LoadedTable()
    {
        REL::database::istream_t input(RealisticLibrary({1, 14, 70, 0}).bytes());
        REL::database::header_t header;
        header.read(input);
        table.resize(header.addressCount);
        REL::database::unpack(input, header, table);
        REL::database::sort_table(table);
        index.build(table);
        std::mt19937_64 random(7);
        for (auto& id : ids) {
            id = table[random() % table.size()].id;
        }
    }
    std::vector<REL::database::mapping_t> table;
    REL::database::lookup_index index;
    std::array<std::uint64_t, 4096> ids{};
};

const LoadedTable& Loaded()
{
    static const LoadedTable loaded;
    return loaded;
}

void BM_FindRandomId_BinarySearch(benchmark::State& state)
{
    const auto& loaded = Loaded();
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(REL::database::find(loaded.table, loaded.ids[next++ & 4095]));
    }
}
BENCHMARK(BM_FindRandomId_BinarySearch);

void BM_FindRandomId_Indexed(benchmark::State& state)
{
    const auto& loaded = Loaded();
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(loaded.index.find(loaded.table, loaded.ids[next++ & 4095]));
    }
}
BENCHMARK(BM_FindRandomId_Indexed);

}  // namespace
