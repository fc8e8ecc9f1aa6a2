#pragma once

extern "C" {

// The function the hooked game call reached before the patch; the thunk
// continues into it.
extern void* HookedCallTarget;

// What the patched call reaches: runs the decision, then continues into
// HookedCallTarget with the caller's registers and stack untouched and returns
// its result unchanged. Its real signature is the game's; declared without one.
void HookedCallThunk();

// The decision as the thunk runs it: nothing may escape into the game's frame.
void RunDecisionFromHook() noexcept;
}
