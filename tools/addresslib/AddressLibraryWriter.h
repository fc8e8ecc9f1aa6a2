#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace addresslib {

// How one entry is packed: the ID mode (0 to 7), the offset mode (0 to 7) and
// the scale flag. Without a request the writer picks the shortest encoding.
struct Encoding {
    unsigned idMode = 0;
    unsigned offsetMode = 0;
    bool scaled = false;
};

// Writes address-library files in the packed format: for tests, benchmarks,
// fuzz seeds and the simulated game. Entries are packed in the order added,
// each against the previous one, exactly as the reader decodes them.
class Writer {
public:
    explicit Writer(std::array<std::uint32_t, 4> version, std::uint32_t pointerSize = 8);

    // Adds an entry in the shortest encoding, scaled when that is shorter.
    Writer& add(std::uint64_t id, std::uint64_t offset);
    // Adds an entry in the requested encoding; throws std::invalid_argument
    // when that encoding cannot express the entry.
    Writer& add(std::uint64_t id, std::uint64_t offset, Encoding encoding);
    // A type byte with an ID mode the format does not have (8 to 15).
    Writer& add_invalid_type(std::uint8_t type);

    // Header fields a test may set to anything.
    std::uint32_t format = 2;
    std::string name = "lumenveil-test";
    // The count written in the header; by default the number of entries added.
    std::optional<std::uint32_t> addressCount;

    [[nodiscard]] std::vector<std::byte> bytes() const;
    void write(const std::filesystem::path& path) const;

    [[nodiscard]] std::size_t entry_count() const noexcept { return count_; }

private:
    void put_operand(unsigned mode, std::uint64_t value, std::uint64_t previous);

    std::array<std::uint32_t, 4> version_;
    std::uint32_t pointerSize_;
    std::vector<std::byte> entries_;
    std::size_t count_ = 0;
    std::uint64_t previousId_ = 0;
    std::uint64_t previousOffset_ = 0;
};

}  // namespace addresslib
