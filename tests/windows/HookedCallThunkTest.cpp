#include "HookedCall.h"
#include "Settings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>

// Stand-ins for the game function the hooked call reached: they record what
// arrived and answer in RAX or XMM0.
extern "C" {
std::int64_t receivedIntegers[6];
double receivedDoubles[4];

__attribute__((noinline)) std::int64_t FormerTargetIntegers(std::int64_t a, std::int64_t b, std::int64_t c,
                                                            std::int64_t d, std::int64_t e, std::int64_t f)
{
    const std::int64_t values[] = {a, b, c, d, e, f};
    for (int i = 0; i < 6; ++i) {
        receivedIntegers[i] = values[i];
    }
    return 0x1122334455667788;
}

__attribute__((noinline)) double FormerTargetDoubles(double a, double b, double c, double d)
{
    receivedDoubles[0] = a;
    receivedDoubles[1] = b;
    receivedDoubles[2] = c;
    receivedDoubles[3] = d;
    return -2.5;
}

}

namespace {

// The thunk runs the decision between the game's call and the former target;
// the decision is free to use every volatile register, so what reaches the
// target proves the thunk kept them.
class HookedCallThunkPassThrough : public ::testing::Test {
protected:
    void SetUp() override { Settings.bLogging = false; }
    void TearDown() override
    {
        HookedCallTarget = nullptr;
        Settings = SettingsRecord{};
    }

    template <class Function>
    static Function Thunk(Function formerTarget)
    {
        HookedCallTarget = reinterpret_cast<void*>(formerTarget);
        return reinterpret_cast<Function>(&HookedCallThunk);
    }
};

TEST_F(HookedCallThunkPassThrough, KeepsIntegerRegistersAndStackArgumentsAndReturnsRax)
{
    const auto call = Thunk(&FormerTargetIntegers);
    EXPECT_EQ(call(-1, 2, 0x7FFFFFFFFFFFFFFF, 4, 0x5555, -6), 0x1122334455667788);
    // The fifth and sixth arguments lie on the caller's stack.
    EXPECT_THAT(receivedIntegers, ::testing::ElementsAre(-1, 2, 0x7FFFFFFFFFFFFFFF, 4, 0x5555, -6));
}

TEST_F(HookedCallThunkPassThrough, KeepsFloatingPointRegistersAndReturnsXmm0)
{
    const auto call = Thunk(&FormerTargetDoubles);
    EXPECT_EQ(call(1.25, -3.5, 1e300, 0.0625), -2.5);
    EXPECT_THAT(receivedDoubles, ::testing::ElementsAre(1.25, -3.5, 1e300, 0.0625));
}

}  // namespace
