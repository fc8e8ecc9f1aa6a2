#include "FakeXInput.h"

#include "hud/GamepadState.h"

#include <cstdio>
#include <cstdlib>

namespace {

FakeXInput* installed = nullptr;
Gamepads::System previous{};

}  // namespace

FakeXInput::FakeXInput()
{
    if (installed != nullptr) {
        std::fprintf(stderr, "FakeXInput: only one at a time\n");
        std::abort();
    }
    installed = this;
    previous = Gamepads::system;
    Gamepads::system.load = [] {
        installed->loads_.fetch_add(1, std::memory_order_relaxed);
        return !installed->missing_.load(std::memory_order_relaxed);
    };
    Gamepads::system.read = [](std::uint32_t slot) {
        if (slot >= static_cast<std::uint32_t>(kSlots)) {
            std::fprintf(stderr, "FakeXInput: XInputGetState asked for user slot %u of 0 to 3\n", slot);
            std::abort();
        }
        Slot& pad = installed->slots_[slot];
        pad.reads.fetch_add(1, std::memory_order_relaxed);
        return pad.connected.load(std::memory_order_relaxed)
                   ? Gamepads::Reading{true, pad.buttons.load(std::memory_order_relaxed)}
                   : Gamepads::Reading{};
    };
}

FakeXInput::~FakeXInput()
{
    Gamepads::system = previous;
    installed = nullptr;
}

void FakeXInput::Connect(int slot, std::uint16_t held) noexcept
{
    slots_.at(static_cast<std::size_t>(slot)).buttons.store(held, std::memory_order_relaxed);
    slots_.at(static_cast<std::size_t>(slot)).connected.store(true, std::memory_order_relaxed);
}

void FakeXInput::Disconnect(int slot) noexcept
{
    slots_.at(static_cast<std::size_t>(slot)).connected.store(false, std::memory_order_relaxed);
    slots_.at(static_cast<std::size_t>(slot)).buttons.store(0, std::memory_order_relaxed);
}

void FakeXInput::Hold(int slot, std::uint16_t buttons) noexcept
{
    slots_.at(static_cast<std::size_t>(slot)).buttons.store(buttons, std::memory_order_relaxed);
}

int FakeXInput::Reads(int slot) const noexcept
{
    return slots_.at(static_cast<std::size_t>(slot)).reads.load(std::memory_order_relaxed);
}

void FakeXInput::ClearReads() noexcept
{
    for (Slot& pad : slots_) {
        pad.reads.store(0, std::memory_order_relaxed);
    }
}
