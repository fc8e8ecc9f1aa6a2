#include "AddressLibraryWriter.h"

#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>

namespace addresslib {

namespace {

constexpr std::uint8_t kScaleFlag = 0x80;

template <class T>
void put(std::vector<std::byte>& out, T value)
{
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        out.push_back(static_cast<std::byte>(static_cast<std::uint64_t>(value) >> (8 * i)));
    }
}

// What a mode gives for `value` after `previous`, when it can express it.
std::optional<std::uint64_t> operand_for(unsigned mode, std::uint64_t value, std::uint64_t previous)
{
    const std::uint64_t up = value - previous;
    const std::uint64_t down = previous - value;
    switch (mode) {
        case 0:
            return value;
        case 1:
            return up == 1 ? std::optional<std::uint64_t>(0) : std::nullopt;
        case 2:
            return up <= 0xFF ? std::optional(up) : std::nullopt;
        case 3:
            return down <= 0xFF ? std::optional(down) : std::nullopt;
        case 4:
            return up <= 0xFFFF ? std::optional(up) : std::nullopt;
        case 5:
            return down <= 0xFFFF ? std::optional(down) : std::nullopt;
        case 6:
            return value <= 0xFFFF ? std::optional(value) : std::nullopt;
        case 7:
            return value <= 0xFFFFFFFF ? std::optional(value) : std::nullopt;
        default:
            return std::nullopt;
    }
}

constexpr std::size_t kOperandSize[] = {8, 0, 1, 1, 2, 2, 2, 4};

unsigned shortest_mode(std::uint64_t value, std::uint64_t previous)
{
    unsigned best = 0;
    for (unsigned mode = 1; mode < 8; ++mode) {
        if (operand_for(mode, value, previous) && kOperandSize[mode] < kOperandSize[best]) {
            best = mode;
        }
    }
    return best;
}

}  // namespace

Writer::Writer(std::array<std::uint32_t, 4> version, std::uint32_t pointerSize)
    : version_(version), pointerSize_(pointerSize)
{
}

Writer& Writer::add(std::uint64_t id, std::uint64_t offset)
{
    Encoding encoding{shortest_mode(id, previousId_), shortest_mode(offset, previousOffset_), false};
    if (pointerSize_ != 0 && offset % pointerSize_ == 0) {
        const unsigned scaledMode = shortest_mode(offset / pointerSize_, previousOffset_ / pointerSize_);
        if (kOperandSize[scaledMode] < kOperandSize[encoding.offsetMode]) {
            encoding.offsetMode = scaledMode;
            encoding.scaled = true;
        }
    }
    return add(id, offset, encoding);
}

Writer& Writer::add(std::uint64_t id, std::uint64_t offset, Encoding encoding)
{
    if (encoding.idMode > 7 || encoding.offsetMode > 7) {
        throw std::invalid_argument("modes run from 0 to 7");
    }
    if (encoding.scaled && (pointerSize_ == 0 || offset % pointerSize_ != 0)) {
        throw std::invalid_argument("a scaled offset must be a multiple of the pointer size");
    }
    const std::uint64_t offsetValue = encoding.scaled ? offset / pointerSize_ : offset;
    const std::uint64_t offsetPrevious = encoding.scaled ? previousOffset_ / pointerSize_ : previousOffset_;
    if (!operand_for(encoding.idMode, id, previousId_) ||
        !operand_for(encoding.offsetMode, offsetValue, offsetPrevious)) {
        throw std::invalid_argument("mode " + std::to_string(encoding.idMode) + "/" +
                                    std::to_string(encoding.offsetMode) + " cannot express entry " +
                                    std::to_string(id));
    }
    entries_.push_back(
        static_cast<std::byte>(encoding.idMode | (encoding.offsetMode << 4) | (encoding.scaled ? kScaleFlag : 0)));
    put_operand(encoding.idMode, id, previousId_);
    put_operand(encoding.offsetMode, offsetValue, offsetPrevious);
    previousId_ = id;
    previousOffset_ = offset;
    ++count_;
    return *this;
}

Writer& Writer::add_invalid_type(std::uint8_t type)
{
    entries_.push_back(static_cast<std::byte>(type));
    ++count_;
    return *this;
}

void Writer::put_operand(unsigned mode, std::uint64_t value, std::uint64_t previous)
{
    const std::uint64_t operand = *operand_for(mode, value, previous);
    switch (kOperandSize[mode]) {
        case 1:
            put(entries_, static_cast<std::uint8_t>(operand));
            break;
        case 2:
            put(entries_, static_cast<std::uint16_t>(operand));
            break;
        case 4:
            put(entries_, static_cast<std::uint32_t>(operand));
            break;
        case 8:
            put(entries_, operand);
            break;
        default:
            break;
    }
}

std::vector<std::byte> Writer::bytes() const
{
    std::vector<std::byte> out;
    out.reserve(32 + name.size() + entries_.size());
    put(out, format);
    for (const auto part : version_) {
        put(out, part);
    }
    put(out, static_cast<std::uint32_t>(name.size()));
    for (const char c : name) {
        out.push_back(static_cast<std::byte>(c));
    }
    put(out, pointerSize_);
    put(out, addressCount.value_or(static_cast<std::uint32_t>(count_)));
    out.insert(out.end(), entries_.begin(), entries_.end());
    return out;
}

void Writer::write(const std::filesystem::path& path) const
{
    if (path.has_parent_path()) {
        std::filesystem::create_directories(path.parent_path());
    }
    const auto data = bytes();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    if (!out) {
        throw std::runtime_error("could not write " + path.string());
    }
}

}  // namespace addresslib
