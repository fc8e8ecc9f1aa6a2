#pragma once

#include <array>
#include <atomic>
#include <cstdint>

// The system's XInput for one test, in place of the real library while the
// object lives: present or missing, four user slots each empty or holding a
// controller with buttons held. It states XInput's facts itself and counts
// what the plugin asked of it. Only one at a time.
class FakeXInput {
public:
    // XInput's buttons, as its header documents them.
    static constexpr std::uint16_t kDPadUp = 0x0001;
    static constexpr std::uint16_t kDPadDown = 0x0002;
    static constexpr std::uint16_t kStart = 0x0010;
    static constexpr std::uint16_t kBack = 0x0020;
    static constexpr std::uint16_t kLeftShoulder = 0x0100;
    static constexpr std::uint16_t kA = 0x1000;
    static constexpr std::uint16_t kY = 0x8000;
    static constexpr int kSlots = 4;

    FakeXInput();
    ~FakeXInput();
    FakeXInput(const FakeXInput&) = delete;
    FakeXInput& operator=(const FakeXInput&) = delete;

    // Neither library is on the system: loading fails.
    void SetMissing(bool missing) noexcept { missing_.store(missing, std::memory_order_relaxed); }
    void Connect(int slot, std::uint16_t held = 0) noexcept;
    void Disconnect(int slot) noexcept;
    void Hold(int slot, std::uint16_t buttons) noexcept;

    [[nodiscard]] int Loads() const noexcept { return loads_.load(std::memory_order_relaxed); }
    // Calls of XInputGetState for one slot, connected or not.
    [[nodiscard]] int Reads(int slot) const noexcept;
    void ClearReads() noexcept;

private:
    // Relaxed: the game's threads read the pads at once, and an order between
    // them here would hide a race of the plugin's from ThreadSanitizer.
    struct Slot {
        std::atomic<bool> connected{false};
        std::atomic<std::uint16_t> buttons{0};
        std::atomic<int> reads{0};
    };
    std::atomic<bool> missing_{false};
    std::atomic<int> loads_{0};
    std::array<Slot, kSlots> slots_;
};
