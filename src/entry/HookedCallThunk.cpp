#include "entry/HookedCall.h"
#include "hud/UpdateHUD.h"

extern "C" {

void* HookedCallTarget = nullptr;

void RunDecisionFromHook() noexcept
{
    try {
        UpdateHUD();
    } catch (...) {
        // An exception unwinding into the game's code would end the game.
    }
}
}

// The former target's signature is unknown, so the thunk keeps every argument
// register (RCX, RDX, R8, R9, XMM0-XMM3) and the caller's stack as they came,
// runs the decision, and leaves by a tail jump: the target returns straight
// to the game, in RAX or XMM0 alike. 0x88 bytes keep the stack 16-byte
// aligned for the call and hold the shadow space and the saved registers.
// The unwind data lets the system walk through the thunk during the call.
asm(R"(
    .text
    .p2align 4
    .globl HookedCallThunk
    .def HookedCallThunk; .scl 2; .type 32; .endef
    .seh_proc HookedCallThunk
HookedCallThunk:
    subq $0x88, %rsp
    .seh_stackalloc 0x88
    .seh_endprologue
    movq %rcx, 0x20(%rsp)
    movq %rdx, 0x28(%rsp)
    movq %r8, 0x30(%rsp)
    movq %r9, 0x38(%rsp)
    movdqa %xmm0, 0x40(%rsp)
    movdqa %xmm1, 0x50(%rsp)
    movdqa %xmm2, 0x60(%rsp)
    movdqa %xmm3, 0x70(%rsp)
    call RunDecisionFromHook
    movq 0x20(%rsp), %rcx
    movq 0x28(%rsp), %rdx
    movq 0x30(%rsp), %r8
    movq 0x38(%rsp), %r9
    movdqa 0x40(%rsp), %xmm0
    movdqa 0x50(%rsp), %xmm1
    movdqa 0x60(%rsp), %xmm2
    movdqa 0x70(%rsp), %xmm3
    addq $0x88, %rsp
    jmp *HookedCallTarget(%rip)
    .seh_endproc
)");
