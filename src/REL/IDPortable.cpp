#include "REL/ID.h"
#include "Zorvik/Logger.h"

#include <algorithm>
#include <fstream>

namespace REL::database {

namespace {

constexpr std::size_t kNameCapacity = sizeof(header_t::name) - 1;

// The operand of an ID or offset mode, applied to the previous value. All
// arithmetic wraps modulo 2^64.
std::uint64_t apply_mode(unsigned mode, std::uint64_t previous, istream_t& input)
{
    switch (mode) {
        case 0:
            return input.read<std::uint64_t>();
        case 1:
            return previous + 1;
        case 2:
            return previous + input.read<std::uint8_t>();
        case 3:
            return previous - input.read<std::uint8_t>();
        case 4:
            return previous + input.read<std::uint16_t>();
        case 5:
            return previous - input.read<std::uint16_t>();
        case 6:
            return input.read<std::uint16_t>();
        default:
            return input.read<std::uint32_t>();
    }
}

}  // namespace

istream_t::istream_t(const std::filesystem::path& path, std::ios_base::openmode mode)
{
    std::ifstream file(path, mode | std::ios_base::binary | std::ios_base::in | std::ios_base::ate);
    if (!file.is_open()) {
        return;
    }
    open_ = true;
    // One read of the whole file: a library of a million entries is a few
    // megabytes, and decoding from memory is what makes loading fast.
    const std::streamoff size = file.tellg();
    if (size <= 0) {
        return;
    }
    bytes_.resize(static_cast<std::size_t>(size));
    file.seekg(0);
    file.read(reinterpret_cast<char*>(bytes_.data()), size);
    bytes_.resize(static_cast<std::size_t>(file.gcount()));
}

istream_t::istream_t(std::vector<std::byte> bytes) noexcept : bytes_(std::move(bytes)), open_(true) {}

void istream_t::fail()
{
    throw std::ios_base::failure("unexpected end of the address library file");
}

void header_t::read(istream_t& input)
{
    const auto format = input.read<std::uint32_t>();
    if (format != kFormat) {
        Zorvik::report_fatal(fmt::format(
            "Unsupported address library format: {}\nCompiled IDDatabase version: {}\nThis means this script "
            "extender plugin is incompatible with the address library available for this version of the game, and "
            "thus does not support it.",
            format, kFormat));
    }
    for (std::size_t part = 0; part < 4; ++part) {
        version[part] = static_cast<Version::value_type>(input.read<std::uint32_t>() & 0xFFFF);
    }
    const auto nameLength = input.read<std::uint32_t>();
    const std::size_t kept = std::min<std::size_t>(nameLength, kNameCapacity);
    name = {};
    input.read_bytes(name.data(), kept);
    input.ignore(nameLength - kept);
    pointerSize = input.read<std::uint32_t>();
    addressCount = input.read<std::uint32_t>();
}

std::string missing_id_message(std::uint64_t id)
{
    return fmt::format(
        "Failed to find the id within the address library: {}\nCompiled IDDatabase version: {}\nThis means this "
        "script extender plugin is incompatible with the address library for this version of the game, and thus "
        "does not support it.",
        id, kFormat);
}

void unpack(istream_t& input, const header_t& header, std::span<mapping_t> table)
{
    constexpr std::uint8_t kScaleFlag = 0x80;
    std::uint64_t previousId = 0;
    std::uint64_t previousOffset = 0;
    for (auto& entry : table) {
        const auto type = input.read<std::uint8_t>();
        const unsigned idMode = type & 0x0Fu;
        const unsigned offsetMode = (type >> 4) & 0x07u;
        const bool scaled = (type & kScaleFlag) != 0;
        if (idMode > 7) {
            Zorvik::report_fatal("unhandled type");
        }
        if (scaled && header.pointerSize == 0) {
            Zorvik::report_fatal("Unsupported address library: an offset is scaled by a pointer size of 0");
        }

        const std::uint64_t id = apply_mode(idMode, previousId, input);
        std::uint64_t offset =
            apply_mode(offsetMode, scaled ? previousOffset / header.pointerSize : previousOffset, input);
        if (scaled) {
            offset *= header.pointerSize;
        }
        entry = {id, offset};
        previousId = id;
        previousOffset = offset;
    }
}

void sort_table(std::span<mapping_t> table)
{
    // Keep the entries that extend the sorted run in place; set the others
    // (entries stored out of order) apart.
    std::vector<mapping_t> strays;
    std::size_t kept = 0;
    for (const auto& entry : table) {
        if (kept == 0 || entry.id >= table[kept - 1].id) {
            table[kept++] = entry;
        } else {
            strays.push_back(entry);
        }
    }
    if (strays.empty()) {
        return;
    }
    const auto byId = [](const mapping_t& a, const mapping_t& b) { return a.id < b.id; };
    std::sort(strays.begin(), strays.end(), byId);
    // Merge from the back, so that nothing kept is overwritten before it moves.
    std::size_t write = table.size();
    std::size_t fromKept = kept;
    std::size_t fromStrays = strays.size();
    while (fromStrays > 0) {
        if (fromKept > 0 && table[fromKept - 1].id > strays[fromStrays - 1].id) {
            table[--write] = table[--fromKept];
        } else {
            table[--write] = strays[--fromStrays];
        }
    }
}

const mapping_t* find(std::span<const mapping_t> table, std::uint64_t id) noexcept
{
    const auto found = std::lower_bound(table.begin(), table.end(), id,
                                        [](const mapping_t& entry, std::uint64_t wanted) { return entry.id < wanted; });
    return found != table.end() && found->id == id ? &*found : nullptr;
}

void lookup_index::build(std::span<const mapping_t> table)
{
    samples_.clear();
    samples_.reserve(table.size() / kStride + 1);
    for (std::size_t i = 0; i < table.size(); i += kStride) {
        samples_.push_back(table[i].id);
    }
}

const mapping_t* lookup_index::find(std::span<const mapping_t> table, std::uint64_t id) const noexcept
{
    if (samples_.empty()) {
        return database::find(table, id);
    }
    // The first sample not less than `id` bounds the first such entry: it
    // lies in the block before that sample, or is the sample itself.
    const auto sample =
        static_cast<std::size_t>(std::lower_bound(samples_.begin(), samples_.end(), id) - samples_.begin());
    const std::size_t first = sample == 0 ? 0 : (sample - 1) * kStride;
    const std::size_t last = std::min(table.size(), sample * kStride + 1);
    return database::find(table.subspan(first, last - first), id);
}

}  // namespace REL::database
