// A stand-in for the system's xinput1_4.dll: XInputGetState answers from the
// controllers that the process wrote into its pad block, and counts the
// calls. Tests and the simulated game make it the process's XInput.

#include "PadBlock.h"

#include <windows.h>

namespace {

// XInput's state of one controller, as the library documents it.
struct Gamepad {
    WORD wButtons;
    BYTE bLeftTrigger;
    BYTE bRightTrigger;
    SHORT sThumbLX;
    SHORT sThumbLY;
    SHORT sThumbRX;
    SHORT sThumbRY;
};
struct State {
    DWORD dwPacketNumber;
    Gamepad Gamepad;
};
constexpr DWORD kUserSlots = 4;

std::atomic<xinput_stand_in::PadBlock*> block{nullptr};
std::atomic<DWORD> packet{0};

// The block once the process has made it; nothing before.
xinput_stand_in::PadBlock* Pads()
{
    if (auto* pads = block.load(); pads != nullptr) {
        return pads;
    }
    HANDLE mapping =
        OpenFileMappingW(FILE_MAP_WRITE, FALSE, xinput_stand_in::PadBlockName(GetCurrentProcessId()).c_str());
    if (mapping == nullptr) {
        return nullptr;
    }
    void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(xinput_stand_in::PadBlock));
    CloseHandle(mapping);
    block.store(static_cast<xinput_stand_in::PadBlock*>(view));
    return block.load();
}

}  // namespace

extern "C" __declspec(dllexport) DWORD WINAPI XInputGetState(DWORD userIndex, State* state)
{
    if (userIndex >= kUserSlots || state == nullptr) {
        return ERROR_BAD_ARGUMENTS;
    }
    auto* pads = Pads();
    if (pads == nullptr) {
        return ERROR_DEVICE_NOT_CONNECTED;
    }
    auto& slot = pads->slots[userIndex];
    ++slot.reads;
    if (slot.connected == 0) {
        return ERROR_DEVICE_NOT_CONNECTED;
    }
    *state = State{};
    state->dwPacketNumber = ++packet;
    state->Gamepad.wButtons = static_cast<WORD>(slot.buttons.load());
    return ERROR_SUCCESS;
}
