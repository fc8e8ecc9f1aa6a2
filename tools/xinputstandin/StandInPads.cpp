#include "StandInPads.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Made once and kept for the life of the process: the stand-in keeps its view
// of the block, and a block made anew under the same name would be another.
xinput_stand_in::PadBlock& ProcessPadBlock()
{
    static xinput_stand_in::PadBlock* const pads = [] {
        HANDLE mapping =
            CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(xinput_stand_in::PadBlock),
                               xinput_stand_in::PadBlockName(GetCurrentProcessId()).c_str());
        void* view = mapping == nullptr
                         ? nullptr
                         : MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(xinput_stand_in::PadBlock));
        if (view == nullptr) {
            std::fprintf(stderr, "StandInPads: the pad block could not be made (error %lu)\n", GetLastError());
            std::abort();
        }
        return static_cast<xinput_stand_in::PadBlock*>(view);
    }();
    return *pads;
}

void EmptyEverySlot()
{
    for (auto& slot : ProcessPadBlock().slots) {
        slot.connected = 0;
        slot.buttons = 0;
        slot.reads = 0;
    }
}

}  // namespace

StandInPads::StandInPads()
{
    EmptyEverySlot();
}

StandInPads::~StandInPads()
{
    EmptyEverySlot();
}

xinput_stand_in::Slot& StandInPads::At(int slot) const
{
    return ProcessPadBlock().slots.at(static_cast<std::size_t>(slot));
}

void StandInPads::Connect(int slot)
{
    At(slot).connected = 1;
}

void StandInPads::Disconnect(int slot)
{
    At(slot).buttons = 0;
    At(slot).connected = 0;
}

void StandInPads::Hold(int slot, std::uint16_t buttons)
{
    At(slot).buttons = buttons;
}

int StandInPads::Reads(int slot) const
{
    return static_cast<int>(At(slot).reads.load());
}

std::filesystem::path StandInPads::Folder()
{
    std::wstring program(32768, L'\0');
    program.resize(GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size())));
    return std::filesystem::path(program).parent_path() / "xinput-stand-in";
}

void StandInPads::MakeFindable()
{
    SetDllDirectoryW(Folder().c_str());
}
