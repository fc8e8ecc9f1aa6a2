#include "FakeGame.h"
#include "IdInstallation.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <atomic>
#include <cstdio>
#include <cstdlib>

// The per-frame game function whose call the plugin hooks: like the game's, it
// reaches the next per-frame function through a 5-byte `call rel32` at offset
// 0x6F (game_facts::kPerFrameCallOffset), so that the patched call and the
// plugin's thunk run for real. The
// argument and the result pass through untouched; FakeGameFrame counts the
// frame and answers from the argument, so a caller can tell the thunk kept
// both. The 4-byte stack adjustment plus 0x6B filler bytes put the call at
// 0x6F; FakeGame checks the byte there before any test relies on it. The
// call's target is preceded by int3 padding, as the game's compiler pads
// between functions, so a thunk that continues one byte off traps.
extern "C" {
std::uint64_t FakeMainLoopFunction(std::uint64_t token);
std::uint64_t FakeGameFrame(std::uint64_t token);
}

#ifdef _WIN32
asm(R"(
    .text
    .p2align 4
    .globl FakeMainLoopFunction
    .def FakeMainLoopFunction; .scl 2; .type 32; .endef
    .seh_proc FakeMainLoopFunction
FakeMainLoopFunction:
    subq $40, %rsp
    .seh_stackalloc 40
    .seh_endprologue
    .fill 0x6B, 1, 0x90
    call FakeGameFrameEntry
    addq $40, %rsp
    ret
    .seh_endproc
    .p2align 4
    .fill 15, 1, 0xCC
FakeGameFrameEntry:
    jmp FakeGameFrame
)");
#else
asm(R"(
    .text
    .p2align 4
    .globl FakeMainLoopFunction
    .type FakeMainLoopFunction, @function
FakeMainLoopFunction:
    subq $40, %rsp
    .fill 0x6B, 1, 0x90
    call FakeGameFrameEntry
    addq $40, %rsp
    ret
    .size FakeMainLoopFunction, .-FakeMainLoopFunction
    .p2align 4
    .fill 15, 1, 0xCC
FakeGameFrameEntry:
    jmp FakeGameFrame
)");
#endif

static_assert(4 + 0x6B == game_facts::kPerFrameCallOffset, "the filler of FakeMainLoopFunction puts its call there");

namespace {

std::atomic<std::uint64_t> framesReached{0};

}  // namespace

std::uint64_t FakeGameFrame(std::uint64_t token)
{
    framesReached.fetch_add(1, std::memory_order_relaxed);
    return FakeGame::FrameAnswer(token);
}

std::uint64_t FakeGame::RunFrame(std::uint64_t token)
{
    return FakeMainLoopFunction(token);
}

std::uint64_t FakeGame::RunFrameTargetDirectly(std::uint64_t token)
{
    return FakeGameFrame(token);
}

std::uint64_t FakeGame::FramesReached() noexcept
{
    return framesReached.load(std::memory_order_relaxed);
}

std::uintptr_t FakeGame::PerFrameFunction() noexcept
{
    return fake::detail::AddressOfFunction(&FakeMainLoopFunction);
}

std::uintptr_t FakeGame::PerFrameCallSite() noexcept
{
    return PerFrameFunction() + game_facts::kPerFrameCallOffset;
}

#ifdef _WIN32
void FakeGame::SetPerFrameCallOpcode(std::uint8_t opcode)
{
    auto* site = reinterpret_cast<std::uint8_t*>(PerFrameCallSite());
    DWORD protection = 0;
    if (VirtualProtect(site, 1, PAGE_EXECUTE_READWRITE, &protection) == 0) {
        std::fprintf(stderr, "FakeGame: the per-frame call site cannot be made writable\n");
        std::abort();
    }
    *site = opcode;
    VirtualProtect(site, 1, protection, &protection);
}
#endif
