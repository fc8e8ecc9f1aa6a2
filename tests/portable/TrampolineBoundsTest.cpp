#include "Zorvik/TrampolinePortable.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>

namespace {

using namespace Zorvik::detail;
using ::testing::ElementsAre;

constexpr std::uint64_t k64K = 0x10000;

// Two GiB either way of the anchor, inside whole granules, without wrapping
// at the ends of the address space.
TEST(TrampolineSearchRange, ReachesTwoGiBEitherWayInsideWholeGranules)
{
    struct Case {
        std::uint64_t anchor, lower, upper;
    };
    for (const auto& [anchor, lower, upper] :
         {Case{0x1'4000'1234, 0xC001'0000, 0x1'C000'0000}, Case{0x1'4000'0000, 0xC000'0000, 0x1'C000'0000},
          Case{0x7FFF'FFFF, 0, 0xFFFF'0000}, Case{0x8000'0000, 0, 0x1'0000'0000},
          Case{0x8000'0001, k64K, 0x1'0000'0000},
          Case{0xFFFF'FFFF'7FFF'FFFF, 0xFFFF'FFFF'0000'0000, 0xFFFF'FFFF'FFFF'FFFF},
          Case{0xFFFF'FFFF'7FFF'FFFE, 0xFFFF'FFFF'0000'0000, 0xFFFF'FFFF'FFFF'0000}}) {
        const auto range = search_range(anchor, k64K);
        EXPECT_EQ(range.lower, lower) << std::hex << anchor;
        EXPECT_EQ(range.upper, upper) << std::hex << anchor;
    }
}

TEST(TrampolineFreeRegion, PlacesTheBlockAtTheFirstGranuleThatLeavesRoomForIt)
{
    EXPECT_EQ(block_start_in_free_region(0x20000, 0x40000, 256, k64K), 0x20000U);
    EXPECT_EQ(block_start_in_free_region(0x21000, 0x30100, 256, k64K), 0x30000U) << "exactly the size fits";
    EXPECT_EQ(block_start_in_free_region(0x21000, 0x300FF, 256, k64K), std::nullopt) << "one byte short";
    EXPECT_EQ(block_start_in_free_region(0x21000, 0x2F000, 256, k64K), std::nullopt)
        << "no whole granule starts inside the region";
    EXPECT_EQ(block_start_in_free_region(0x21000, 0x30000, 0, k64K), std::nullopt)
        << "the aligned start must lie inside the region";
}

TEST(TrampolineBranchEncoding, CountsTheDisplacementFromTheEndOfTheInstructionWithinTheReachOfRel32)
{
    EXPECT_EQ(branch_displacement(0x2000, 0x1000), -0x1005);
    EXPECT_THAT(relative_branch(0xE8, -0x1005), ElementsAre(0xE8, 0xFB, 0xEF, 0xFF, 0xFF));
    EXPECT_THAT(relative_branch(0xE9, 0x7FFF'FFFF), ElementsAre(0xE9, 0xFF, 0xFF, 0xFF, 0x7F));

    const std::uint64_t source = 0x1'4000'0000;
    const std::uint64_t next = source + 5;
    EXPECT_EQ(branch_displacement(source, next + 0x7FFF'FFFF), 0x7FFF'FFFF);
    EXPECT_EQ(branch_displacement(source, next + 0x8000'0000), std::nullopt);
    EXPECT_EQ(branch_displacement(source, next - 0x8000'0000), -0x7FFF'FFFF - 1);
    EXPECT_EQ(branch_displacement(source, next - 0x8000'0001), std::nullopt);
    EXPECT_EQ(branch_displacement(source, 0x7FF0'0000'0000), std::nullopt) << "far above";
    EXPECT_EQ(branch_displacement(0x7FF0'0000'0000, source), std::nullopt) << "far below";
}

}  // namespace
