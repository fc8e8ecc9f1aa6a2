#include "Zorvik/TrampolinePortable.h"

#include <limits>

namespace Zorvik::detail {

namespace {

template <std::size_t N>
void put_little_endian(std::array<std::uint8_t, N>& bytes, std::size_t offset, std::uint64_t value,
                       std::size_t width) noexcept
{
    for (std::size_t i = 0; i < width; ++i) {
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

}  // namespace

std::uint64_t align_up(std::uint64_t value, std::uint64_t granularity) noexcept
{
    if (granularity == 0) {
        return 0;
    }
    const std::uint64_t remainder = value % granularity;
    return remainder == 0 ? value : value - remainder + granularity;
}

std::uint64_t align_down(std::uint64_t value, std::uint64_t granularity) noexcept
{
    if (granularity == 0) {
        return 0;
    }
    return value - value % granularity;
}

SearchRange search_range(std::uint64_t anchor, std::uint64_t granularity) noexcept
{
    // Near either end of the address space the reach is cut off there
    // instead of wrapping around.
    constexpr std::uint64_t kTop = std::numeric_limits<std::uint64_t>::max();
    SearchRange range;
    range.lower = anchor >= kBranchReach ? align_up(anchor - kBranchReach, granularity) : 0;
    range.upper = anchor < kTop - kBranchReach ? align_down(anchor + kBranchReach, granularity) : kTop;
    return range;
}

std::optional<std::uint64_t> block_start_in_free_region(std::uint64_t regionBase, std::uint64_t regionEnd,
                                                        std::uint64_t size, std::uint64_t granularity) noexcept
{
    // The system reserves only at multiples of its allocation granularity.
    const std::uint64_t start = align_up(regionBase, granularity);
    if (start < regionEnd && regionEnd - start >= size) {
        return start;
    }
    return std::nullopt;
}

std::array<std::uint8_t, kStubSize> absolute_jump_stub(std::uint64_t destination) noexcept
{
    std::array<std::uint8_t, kStubSize> stub{0xFF, 0x25, 0x00, 0x00, 0x00, 0x00};
    put_little_endian(stub, 6, destination, 8);
    return stub;
}

std::optional<std::int32_t> branch_displacement(std::uint64_t source, std::uint64_t target) noexcept
{
    // Unsigned arithmetic wraps, and the conversion to signed is modular:
    // the signed distance whichever address is the higher.
    const auto displacement = static_cast<std::int64_t>(target - (source + kBranchSize));
    if (displacement < std::numeric_limits<std::int32_t>::min() ||
        displacement > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(displacement);
}

std::array<std::uint8_t, kBranchSize> relative_branch(std::uint8_t opcode, std::int32_t displacement) noexcept
{
    std::array<std::uint8_t, kBranchSize> branch{opcode};
    put_little_endian(branch, 1, static_cast<std::uint32_t>(displacement), 4);
    return branch;
}

}  // namespace Zorvik::detail
