#pragma once

// Whether a key (a Windows virtual-key code) is down for the calling thread:
// bit 15 of its key state.
bool IsKeyDown(int virtualKey);

#ifndef _WIN32
// The native build has no keyboard: tests set the state here.
void SetNativeKeyDown(int virtualKey, bool down);
#endif
