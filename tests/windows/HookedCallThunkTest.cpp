#include "entry/HookedCall.h"
#include "settings/Settings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>

// Stand-ins for the game function the hooked call reached: they record what
// arrived and answer in RAX.
extern "C" {
std::int64_t receivedIntegers[6];

__attribute__((noinline)) std::int64_t FormerTargetIntegers(std::int64_t a, std::int64_t b, std::int64_t c,
                                                            std::int64_t d, std::int64_t e, std::int64_t f)
{
    const std::int64_t values[] = {a, b, c, d, e, f};
    for (int i = 0; i < 6; ++i) {
        receivedIntegers[i] = values[i];
    }
    return 0x1122334455667788;
}
}

namespace {

// The thunk runs the decision between the game's call and the former target;
// the decision is free to use every volatile register, so what reaches the
// target proves the thunk kept them. The fifth and sixth arguments lie on the
// caller's stack.
TEST(HookedCallThunk, PassesRegisterAndStackArgumentsAndTheResultThrough)
{
    Settings.bLogging = false;
    HookedCallTarget = reinterpret_cast<void*>(&FormerTargetIntegers);
    const auto call = reinterpret_cast<decltype(&FormerTargetIntegers)>(&HookedCallThunk);
    EXPECT_EQ(call(-1, 2, 0x7FFFFFFFFFFFFFFF, 4, 0x5555, -6), 0x1122334455667788);
    EXPECT_THAT(receivedIntegers, ::testing::ElementsAre(-1, 2, 0x7FFFFFFFFFFFFFFF, 4, 0x5555, -6));
    HookedCallTarget = nullptr;
    Settings.RestoreInitialValues();
}

}  // namespace
