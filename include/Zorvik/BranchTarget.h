#pragma once

#include <cstdint>
#include <cstring>

namespace Zorvik {

// Where a 5-byte relative branch (opcode, then a signed 32-bit displacement)
// at `site` goes: the displacement counts from the instruction's end, and a
// negative one wraps, as the processor computes it.
[[nodiscard]] inline std::uintptr_t branch_target(std::uintptr_t site) noexcept
{
    constexpr std::uintptr_t kBranchSize = 5;
    std::int32_t displacement = 0;
    std::memcpy(&displacement, reinterpret_cast<const void*>(site + 1), sizeof(displacement));
    return site + kBranchSize + static_cast<std::uintptr_t>(static_cast<std::intptr_t>(displacement));
}

}  // namespace Zorvik
