#include "REL/Module.h"
#include "Zorvik/Trampoline.h"
#include "support/LogCapture.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <spdlog/sinks/ostream_sink.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>

// The test executable plays the game: a function of its own code makes a
// 5-byte call that the tests redirect, and a run of int3 in its code serves as
// branch sources that never run.
extern "C" {
int trampoline_test_original_callee();
int trampoline_test_new_callee();
int trampoline_test_call_site();
void trampoline_test_call();
void trampoline_test_sources();
}

int trampoline_test_original_callee()
{
    return 1;
}

int trampoline_test_new_callee()
{
    return 2;
}

// The Windows x64 ABI wants 32 bytes of shadow space and a 16-byte aligned
// stack at the call.
asm(R"(
    .text
    .p2align 4
    .globl trampoline_test_call_site
trampoline_test_call_site:
    subq $40, %rsp
    .globl trampoline_test_call
trampoline_test_call:
    call trampoline_test_original_callee
    addq $40, %rsp
    ret
    .p2align 4
    .globl trampoline_test_sources
trampoline_test_sources:
    .fill 64, 1, 0xCC
)");

namespace {

constexpr std::size_t kStub = 14;
constexpr std::size_t kBlock = 256;

template <class Function>
std::uintptr_t AddressOf(Function* function)
{
    return reinterpret_cast<std::uintptr_t>(function);
}

const std::uint8_t* Bytes(std::uintptr_t address)
{
    return reinterpret_cast<const std::uint8_t*>(address);
}

std::uintptr_t SourceAt(std::size_t offset)
{
    return AddressOf(&trampoline_test_sources) + offset;
}

// Where the 5-byte branch at `source` goes.
std::uintptr_t BranchTarget(std::uintptr_t source)
{
    std::int32_t displacement = 0;
    std::memcpy(&displacement, Bytes(source + 1), sizeof(displacement));
    return source + 5 + static_cast<std::uintptr_t>(static_cast<std::intptr_t>(displacement));
}

std::uint64_t StubDestination(std::uintptr_t stub)
{
    std::uint64_t destination = 0;
    std::memcpy(&destination, Bytes(stub + 6), sizeof(destination));
    return destination;
}

std::uintptr_t Data(const Zorvik::Trampoline& trampoline)
{
    return reinterpret_cast<std::uintptr_t>(trampoline.data());
}

// The end of the test executable's image, above all of its code: the
// trampoline's blocks go within reach of it, as they go near the game's.
std::uintptr_t ExecutableEnd()
{
    const auto base = reinterpret_cast<std::uintptr_t>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + static_cast<std::uintptr_t>(dos->e_lfanew));
    return base + nt->OptionalHeader.SizeOfImage;
}

MEMORY_BASIC_INFORMATION Region(const void* address)
{
    MEMORY_BASIC_INFORMATION region{};
    VirtualQuery(address, &region, sizeof(region));
    return region;
}

// A fatal report's critical line goes to standard error, where a death test
// looks for the message.
void LogToStandardError()
{
    spdlog::set_default_logger(
        std::make_shared<spdlog::logger>("stderr", std::make_shared<spdlog::sinks::ostream_sink_mt>(std::cerr, true)));
}

// Puts patched code back before the trampoline it jumps into goes away.
class SavedCode {
public:
    explicit SavedCode(std::uintptr_t address) : address_(reinterpret_cast<void*>(address))
    {
        std::memcpy(bytes_.data(), address_, bytes_.size());
    }
    ~SavedCode()
    {
        DWORD protection = 0;
        VirtualProtect(address_, bytes_.size(), PAGE_EXECUTE_READWRITE, &protection);
        std::memcpy(address_, bytes_.data(), bytes_.size());
        VirtualProtect(address_, bytes_.size(), protection, &protection);
    }
    SavedCode(const SavedCode&) = delete;
    SavedCode& operator=(const SavedCode&) = delete;

private:
    void* address_;
    std::array<std::uint8_t, 5> bytes_{};
};

// A trampoline of its own 256-byte block within reach of the executable.
class TrampolineNearExecutable : public ::testing::Test {
protected:
    void SetUp() override
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        trampoline.create(kBlock, ExecutableEnd());
        ASSERT_NE(trampoline.data(), nullptr);
    }

    Zorvik::Trampoline trampoline{"Test Trampoline"};
};

TEST_F(TrampolineNearExecutable, RedirectsACallInTheExecutableToTheDestination)
{
    const std::uintptr_t call = AddressOf(&trampoline_test_call);
    ASSERT_EQ(Bytes(call)[0], 0xE8);
    ASSERT_EQ(BranchTarget(call), AddressOf(&trampoline_test_original_callee));
    ASSERT_EQ(trampoline_test_call_site(), 1);
    const DWORD protection = Region(Bytes(call)).Protect;

    const SavedCode saved(call);
    trampoline.write_5branch(call, AddressOf(&trampoline_test_new_callee), 0xE8);

    EXPECT_EQ(Bytes(call)[0], 0xE8);
    EXPECT_EQ(BranchTarget(call), Data(trampoline)) << "the call goes to the stub";
    EXPECT_EQ(trampoline_test_call_site(), 2) << "and the stub on to the destination";
    EXPECT_EQ(Region(Bytes(call)).Protect, protection) << "the code's protection comes back";
}

TEST_F(TrampolineNearExecutable, SharesOneStubPerDestinationAndLeavesTheRestAsInt3)
{
    const std::uintptr_t first = 0x1111'2222'3333'4444;
    const std::uintptr_t second = 0x5555'6666'7777'8888;

    trampoline.write_5branch(SourceAt(0), first, 0xE8);
    trampoline.write_5branch(SourceAt(8), first, 0xE9);
    EXPECT_EQ(trampoline.allocated_size(), kStub);
    EXPECT_EQ(BranchTarget(SourceAt(0)), Data(trampoline));
    EXPECT_EQ(BranchTarget(SourceAt(8)), Data(trampoline));
    EXPECT_EQ(Bytes(SourceAt(8))[0], 0xE9) << "the opcode is the caller's";

    trampoline.write_5branch(SourceAt(16), second, 0xE8);
    EXPECT_EQ(trampoline.allocated_size(), 2 * kStub);
    EXPECT_EQ(BranchTarget(SourceAt(16)), Data(trampoline) + kStub);

    EXPECT_EQ(StubDestination(Data(trampoline)), first);
    EXPECT_EQ(StubDestination(Data(trampoline) + kStub), second);
    const std::uint8_t* unused = Bytes(Data(trampoline) + 2 * kStub);
    EXPECT_TRUE(std::all_of(unused, Bytes(Data(trampoline) + kBlock), [](std::uint8_t b) { return b == 0xCC; }));
}

TEST_F(TrampolineNearExecutable, HoldsEighteenStubsAndEndsTheProcessAtTheNineteenth)
{
    for (std::uintptr_t i = 0; i < 18; ++i) {
        trampoline.write_5branch(SourceAt(0), 0x1000 * (i + 1), 0xE8);
        EXPECT_EQ(BranchTarget(SourceAt(0)), Data(trampoline) + kStub * i) << "stubs follow one another";
    }
    EXPECT_EQ(trampoline.allocated_size(), 18 * kStub);

    EXPECT_EXIT(
        {
            LogToStandardError();
            trampoline.write_5branch(SourceAt(0), 0x1000 * 19, 0xE8);
        },
        ::testing::ExitedWithCode(1), "Failed to handle allocation request");
}

}  // namespace
