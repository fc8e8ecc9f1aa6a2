#pragma once

#include "AddressLibraryWriter.h"

#include <cstdint>
#include <random>

// The first ID RealisticLibrary stores.
inline std::uint64_t RealisticLibraryFirstId()
{
    std::mt19937_64 random(1'14'70'0);
    return 1 + random() % 4;
}

// An address library shaped like a game's: a million increasing IDs with
// small gaps, offsets that mostly step by pointer-sized amounts (scaled modes)
// and sometimes jump, and a few entries stored out of order.
inline addresslib::Writer RealisticLibrary(std::array<std::uint32_t, 4> version, std::size_t entries = 1'000'000,
                                           std::size_t outOfOrder = 100)
{
    addresslib::Writer writer(version, 8);
    std::mt19937_64 random(1'14'70'0);
    std::uint64_t id = 0;
    std::uint64_t offset = 0x1000;
    const std::size_t strayEvery = outOfOrder == 0 ? 0 : entries / outOfOrder;
    for (std::size_t i = 0; i < entries; ++i) {
        id += 1 + random() % 4;
        offset += random() % 16 == 0 ? random() % 0x100000 : 8 * (1 + random() % 64);
        if (strayEvery != 0 && i % strayEvery == strayEvery / 2) {
            writer.add(id / 2, offset);  // far below its neighbours
            continue;
        }
        writer.add(id, offset);
    }
    return writer;
}
