#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

// The arithmetic of the branch trampoline, free of Win32: where to look for
// its block and the machine code it writes.
namespace Zorvik::detail {

// A rel32 branch reaches 2 GiB either way from the end of its instruction.
inline constexpr std::uint64_t kBranchReach = 0x80000000;

inline constexpr std::size_t kStubSize = 14;
inline constexpr std::size_t kBranchSize = 5;

// Both give 0 for a granularity of 0, as the system never reports one.
[[nodiscard]] std::uint64_t align_up(std::uint64_t value, std::uint64_t granularity) noexcept;
[[nodiscard]] std::uint64_t align_down(std::uint64_t value, std::uint64_t granularity) noexcept;

// The addresses between which a block within reach of `anchor` is looked for;
// the walk starts at `lower` and stops once it is no longer below `upper`.
struct SearchRange {
    std::uint64_t lower = 0;
    std::uint64_t upper = 0;
};
[[nodiscard]] SearchRange search_range(std::uint64_t anchor, std::uint64_t granularity) noexcept;

// Where a block of `size` bytes may start in the free region
// [regionBase, regionEnd): at the region's granularity-aligned base, when the
// block still fits before the region ends.
[[nodiscard]] std::optional<std::uint64_t> block_start_in_free_region(std::uint64_t regionBase, std::uint64_t regionEnd,
                                                                      std::uint64_t size,
                                                                      std::uint64_t granularity) noexcept;

// JMP [RIP+0] followed by the 64-bit destination: reaches anywhere.
[[nodiscard]] std::array<std::uint8_t, kStubSize> absolute_jump_stub(std::uint64_t destination) noexcept;

// The rel32 of a 5-byte branch at `source` to `target`, or nothing when the
// target lies out of its reach.
[[nodiscard]] std::optional<std::int32_t> branch_displacement(std::uint64_t source, std::uint64_t target) noexcept;

// The opcode byte followed by the little-endian displacement.
[[nodiscard]] std::array<std::uint8_t, kBranchSize> relative_branch(std::uint8_t opcode,
                                                                    std::int32_t displacement) noexcept;

}  // namespace Zorvik::detail
