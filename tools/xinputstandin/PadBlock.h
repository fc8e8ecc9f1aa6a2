#pragma once

#include <windows.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

// The controllers that the stand-in xinput1_4.dll reports: a block of memory
// named after the process, which a test or the simulated game writes
// (StandInPads) and only the stand-in reads. The stand-in is thus the
// process's XInput without either side linking the other.
namespace xinput_stand_in {

struct Slot {
    std::atomic<std::uint32_t> connected;
    std::atomic<std::uint32_t> buttons;
    std::atomic<std::uint32_t> reads;  // XInputGetState calls for this slot
};

struct PadBlock {
    std::array<Slot, 4> slots;
};

inline std::wstring PadBlockName(DWORD processId)
{
    return L"LumenveilXInputStandIn-" + std::to_wstring(processId);
}

}  // namespace xinput_stand_in
