#include "REL/Module.h"
#include "Zorvik/BranchTarget.h"
#include "Zorvik/Trampoline.h"
#include "support/ExpectFatal.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

// The test executable plays the game: a run of int3 in its code serves as
// branch sources that never run. (The hooked call of the game, run through its
// stub, is the plugin load test's.)
extern "C" void trampoline_test_sources();

asm(R"(
    .text
    .p2align 4
    .globl trampoline_test_sources
trampoline_test_sources:
    .fill 64, 1, 0xCC
)");

namespace {

constexpr std::size_t kStub = 14;
constexpr std::size_t kBlock = 256;
constexpr std::uintptr_t kNeverRun = 0x1234'5678;  // a destination no test jumps to

std::uintptr_t Address(const void* data)
{
    return reinterpret_cast<std::uintptr_t>(data);
}

const std::uint8_t* Bytes(std::uintptr_t address)
{
    return reinterpret_cast<const std::uint8_t*>(address);
}

bool AllInt3(std::uintptr_t begin, std::uintptr_t end)
{
    return std::all_of(Bytes(begin), Bytes(end), [](std::uint8_t b) { return b == 0xCC; });
}

std::uintptr_t SourceAt(std::size_t offset)
{
    return reinterpret_cast<std::uintptr_t>(&trampoline_test_sources) + offset;
}

std::uint64_t StubDestination(std::uintptr_t stub)
{
    std::uint64_t destination = 0;
    std::memcpy(&destination, Bytes(stub + 6), sizeof(destination));
    return destination;
}

// The end of the test executable's image, above all of its code: blocks go
// within reach of it, as they go near the game's code.
std::uintptr_t ExecutableEnd()
{
    const auto base = reinterpret_cast<std::uintptr_t>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + static_cast<std::uintptr_t>(dos->e_lfanew));
    return base + nt->OptionalHeader.SizeOfImage;
}

DWORD RegionState(const void* address)
{
    MEMORY_BASIC_INFORMATION region{};
    VirtualQuery(address, &region, sizeof(region));
    return region.State;
}

// A trampoline with a 256-byte block of its own within reach of the executable.
class TrampolineNearExecutable : public ::testing::Test {
protected:
    void SetUp() override
    {
        trampoline.create(kBlock, ExecutableEnd());
        ASSERT_NE(trampoline.data(), nullptr);
    }

    [[nodiscard]] std::uintptr_t Stub(std::size_t index) const { return Address(trampoline.data()) + kStub * index; }

    Zorvik::Trampoline trampoline{"Test Trampoline"};
};

TEST_F(TrampolineNearExecutable, SharesOneStubPerDestinationAndLeavesTheRestAsInt3)
{
    const std::uintptr_t first = 0x1111'2222'3333'4444;
    const std::uintptr_t second = 0x5555'6666'7777'8888;

    EXPECT_TRUE(trampoline.write_5branch(SourceAt(0), first, 0xE8));
    EXPECT_TRUE(trampoline.write_5branch(SourceAt(8), first, 0xE9));
    EXPECT_EQ(trampoline.allocated_size(), kStub);
    EXPECT_EQ(Zorvik::branch_target(SourceAt(0)), Stub(0));
    EXPECT_EQ(Zorvik::branch_target(SourceAt(8)), Stub(0));
    EXPECT_EQ(Bytes(SourceAt(8))[0], 0xE9) << "the opcode is the caller's";

    EXPECT_TRUE(trampoline.write_5branch(SourceAt(16), second, 0xE8));
    EXPECT_EQ(trampoline.allocated_size(), 2 * kStub);
    EXPECT_EQ(Zorvik::branch_target(SourceAt(16)), Stub(1));
    EXPECT_EQ(StubDestination(Stub(0)), first);
    EXPECT_EQ(StubDestination(Stub(1)), second);
    EXPECT_TRUE(AllInt3(Stub(2), Stub(0) + kBlock));
}

TEST_F(TrampolineNearExecutable, HoldsEighteenStubsAndEndsTheProcessAtTheNineteenth)
{
    for (std::size_t i = 0; i < 18; ++i) {
        EXPECT_TRUE(trampoline.write_5branch(SourceAt(0), kNeverRun + i, 0xE8));
        EXPECT_EQ(Zorvik::branch_target(SourceAt(0)), Stub(i)) << "stubs follow one another";
    }
    EXPECT_EQ(trampoline.allocated_size(), 18 * kStub);

    EXPECT_FATAL(static_cast<void>(trampoline.write_5branch(SourceAt(0), kNeverRun + 18, 0xE8)),
                 "Failed to handle allocation request");
}

TEST(TrampolineReach, EndsTheProcessForASourceOutOfReachOfItsBlock)
{
    // The highest free address: far from the executable and from what is
    // allocated bottom-up.
    void* top = VirtualAlloc(nullptr, kBlock, MEM_COMMIT | MEM_RESERVE | MEM_TOP_DOWN, PAGE_EXECUTE_READWRITE);
    ASSERT_GT(Address(top) - SourceAt(0), 0x1'0000'0000U);
    Zorvik::Trampoline trampoline("Test Trampoline");
    trampoline.assign_memory(top, kBlock, {});
    EXPECT_FATAL(static_cast<void>(trampoline.write_5branch(SourceAt(0), kNeverRun, 0xE8)),
                 "displacement is out of range");
    VirtualFree(top, 0, MEM_RELEASE);
}

TEST(TrampolineBlock, NeverReleasesABlockGivenWithoutADeleter)
{
    void* given = VirtualAlloc(nullptr, kBlock, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    {
        Zorvik::Trampoline trampoline("Test Trampoline");
        trampoline.assign_memory(given, kBlock, {});
        trampoline.assign_memory(nullptr, 0, {});
        EXPECT_EQ(RegionState(given), static_cast<DWORD>(MEM_COMMIT)) << "after reassignment";
        trampoline.assign_memory(given, kBlock, {});
    }
    EXPECT_EQ(RegionState(given), static_cast<DWORD>(MEM_COMMIT)) << "after destruction";
    VirtualFree(given, 0, MEM_RELEASE);
}

TEST(TrampolineCreate, EndsTheProcessWhenNoFreeRegionWithinReachHoldsTheBlock)
{
    Zorvik::Trampoline trampoline("Test Trampoline");
    constexpr std::size_t kMoreThanUserSpace = std::size_t{1} << 48;
    EXPECT_FATAL(trampoline.create(kMoreThanUserSpace, ExecutableEnd()), "failed to create trampoline");
}

}  // namespace
