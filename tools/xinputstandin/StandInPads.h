#pragma once

#include "PadBlock.h"

#include <windows.h>

#include <cstdint>
#include <filesystem>

// The controllers of this process as the stand-in xinput1_4.dll reports
// them: every slot empty when the object is made and again when it goes.
class StandInPads {
public:
    StandInPads();
    ~StandInPads();
    StandInPads(const StandInPads&) = delete;
    StandInPads& operator=(const StandInPads&) = delete;

    void Connect(int slot);
    void Disconnect(int slot);
    void Hold(int slot, std::uint16_t buttons);
    // The stand-in's XInputGetState calls for the slot so far.
    [[nodiscard]] int Reads(int slot) const;

    // The folder that the build puts the stand-in into, beside the running
    // program; LoadLibraryW finds it once it is the process's DLL directory.
    [[nodiscard]] static std::filesystem::path Folder();
    static void MakeFindable();

private:
    [[nodiscard]] xinput_stand_in::Slot& At(int slot) const;
};
