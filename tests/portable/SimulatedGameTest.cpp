// The fake game's own machinery that the hook's tests and the simulated game
// rely on: the per-frame function's call. (Events delivered to sinks are
// exercised by the sinks' own tests.)

#include "FakeGame.h"
#include "Zorvik/BranchTarget.h"
#include "support/FakeGameTest.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <utility>

namespace {

// The byte at the hooked offset and the target of the call it starts.
std::pair<std::uint8_t, std::uintptr_t> CallAtHookedOffset()
{
    const std::uintptr_t site = FakeGame::PerFrameFunction() + 0x6F;  // the game's call site
    std::uint8_t opcode = 0;
    std::memcpy(&opcode, reinterpret_cast<const void*>(site), 1);
    return {opcode, Zorvik::branch_target(site)};
}

class SimulatedGame : public FakeGameTest {};

TEST_F(SimulatedGame, PerFrameFunctionReachesTheFrameThroughItsCallWithArgumentAndResult)
{
    const auto [opcode, target] = CallAtHookedOffset();
    EXPECT_EQ(opcode, 0xE8);
    EXPECT_NE(target, FakeGame::PerFrameFunction());

    const std::uint64_t before = FakeGame::FramesReached();
    for (std::uint64_t token : {0ULL, 1ULL, 0xFFFF'FFFF'FFFFULL}) {
        EXPECT_EQ(FakeGame::RunFrame(token), FakeGame::FrameAnswer(token));
    }
    EXPECT_EQ(FakeGame::FramesReached() - before, 3U);
    EXPECT_NE(FakeGame::FrameAnswer(1), FakeGame::FrameAnswer(2));
}

}  // namespace
