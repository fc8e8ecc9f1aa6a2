#include "Zorvik/TrampolineBounds.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>

namespace {

using namespace Zorvik::detail;
using ::testing::ElementsAre;

constexpr std::uint64_t k64K = 0x10000;

TEST(TrampolineSearchRange, ReachesTwoGiBEitherWayInsideWholeGranules)
{
    const auto range = search_range(0x1'4000'1234, k64K);
    EXPECT_EQ(range.lower, 0xC001'0000U) << "rounded up, so the block stays within reach";
    EXPECT_EQ(range.upper, 0x1'C000'0000U) << "rounded down";

    const auto aligned = search_range(0x1'4000'0000, k64K);
    EXPECT_EQ(aligned.lower, 0xC000'0000U);
    EXPECT_EQ(aligned.upper, 0x1'C000'0000U);
}

TEST(TrampolineSearchRange, StopsAtTheEndsOfTheAddressSpaceInsteadOfWrapping)
{
    EXPECT_EQ(search_range(0x7FFF'FFFF, k64K).lower, 0U) << "an anchor below 2 GiB searches from 0";
    EXPECT_EQ(search_range(0x8000'0000, k64K).lower, 0U);
    EXPECT_EQ(search_range(0x8000'0001, k64K).lower, k64K);

    EXPECT_EQ(search_range(0xFFFF'FFFF'7FFF'FFFF, k64K).upper, 0xFFFF'FFFF'FFFF'FFFFU);
    EXPECT_EQ(search_range(0xFFFF'FFFF'FFFF'FFFF, k64K).upper, 0xFFFF'FFFF'FFFF'FFFFU);
    EXPECT_EQ(search_range(0xFFFF'FFFF'7FFF'FFFE, k64K).upper, 0xFFFF'FFFF'FFFF'0000U);
}

TEST(TrampolineSearchRange, CollapsesToZeroWithoutAGranularity)
{
    const auto range = search_range(0x1'4000'1234, 0);
    EXPECT_EQ(range.lower, 0U);
    EXPECT_EQ(range.upper, 0U);
    EXPECT_EQ(search_range(0xFFFF'FFFF'FFFF'0000, 0).upper, 0xFFFF'FFFF'FFFF'FFFFU) << "the top is not aligned";
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

TEST(TrampolineStub, JumpsThroughTheDestinationStoredRightAfterIt)
{
    EXPECT_THAT(absolute_jump_stub(0x0123'4567'89AB'CDEF),
                ElementsAre(0xFF, 0x25, 0x00, 0x00, 0x00, 0x00, 0xEF, 0xCD, 0xAB, 0x89, 0x67, 0x45, 0x23, 0x01));
}

TEST(TrampolineBranchEncoding, CountsTheDisplacementFromTheEndOfTheInstruction)
{
    EXPECT_EQ(branch_displacement(0x1000, 0x2000), 0xFFB);
    EXPECT_EQ(branch_displacement(0x2000, 0x1000), -0x1005);
    EXPECT_EQ(branch_displacement(0x1000, 0x1005), 0);

    EXPECT_THAT(relative_branch(0xE8, -0x1005), ElementsAre(0xE8, 0xFB, 0xEF, 0xFF, 0xFF));
    EXPECT_THAT(relative_branch(0xE9, 0x7FFF'FFFF), ElementsAre(0xE9, 0xFF, 0xFF, 0xFF, 0x7F));
}

TEST(TrampolineBranchEncoding, RejectsTargetsBeyondTheReachOfRel32)
{
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
