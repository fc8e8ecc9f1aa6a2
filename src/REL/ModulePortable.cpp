#include "REL/ModulePortable.h"

#include <cstring>
#include <limits>

namespace REL::detail {

namespace {

// Offsets in the PE format, read from memory without the system headers so
// that this builds and is tested natively too.
constexpr std::size_t kNtHeadersOffsetField = 0x3C;
constexpr std::size_t kSectionCountField = 6;
constexpr std::size_t kOptionalHeaderSizeField = 20;
constexpr std::size_t kSectionTableAfterOptionalHeader = 24;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kSectionNameSize = 8;
constexpr std::size_t kSectionVirtualSizeField = 8;
constexpr std::size_t kSectionVirtualAddressField = 12;
constexpr std::size_t kSectionCharacteristicsField = 36;

constexpr std::uint32_t kMemoryExecute = 0x20000000;
constexpr std::uint32_t kMemoryWrite = 0x80000000;

struct SegmentRule {
    std::string_view name;
    std::uint32_t requiredCharacteristics;
};

// In SegmentKind order; the first rule a section matches decides its kind.
constexpr std::array<SegmentRule, kSegmentKindCount> kSegmentRules{{
    {".text", kMemoryExecute},
    {".idata", 0},
    {".rdata", 0},
    {".data", 0},
    {".pdata", 0},
    {".tls", 0},
    {".text", kMemoryWrite},
    {".gfids", 0},
}};

template <class T>
T read_at(std::uint64_t address)
{
    T value;
    std::memcpy(&value, reinterpret_cast<const void*>(static_cast<std::uintptr_t>(address)), sizeof(value));
    return value;
}

}  // namespace

std::array<Segment, kSegmentKindCount> read_segments(std::uint64_t base)
{
    std::array<Segment, kSegmentKindCount> segments{};
    const auto ntHeaders = base + static_cast<std::uint64_t>(read_at<std::int32_t>(base + kNtHeadersOffsetField));
    const auto sectionCount = read_at<std::uint16_t>(ntHeaders + kSectionCountField);
    const auto optionalHeaderSize = read_at<std::uint16_t>(ntHeaders + kOptionalHeaderSizeField);
    const auto sectionTable = ntHeaders + kSectionTableAfterOptionalHeader + optionalHeaderSize;

    const std::size_t examined = std::min<std::size_t>(sectionCount, kSegmentKindCount);
    for (std::size_t i = 0; i < examined; ++i) {
        const auto header = sectionTable + i * kSectionHeaderSize;
        const auto name = read_at<std::array<char, kSectionNameSize>>(header);
        const auto characteristics = read_at<std::uint32_t>(header + kSectionCharacteristicsField);
        for (std::size_t kind = 0; kind < kSegmentRules.size(); ++kind) {
            const auto& rule = kSegmentRules[kind];
            if (std::string_view(name.data(), rule.name.size()) == rule.name &&
                (characteristics & rule.requiredCharacteristics) == rule.requiredCharacteristics) {
                segments[kind] = Segment{base, base + read_at<std::uint32_t>(header + kSectionVirtualAddressField),
                                         read_at<std::uint32_t>(header + kSectionVirtualSizeField)};
                break;
            }
        }
    }
    return segments;
}

std::optional<Version> parse_product_version(std::wstring_view text)
{
    Version version;
    for (std::size_t part = 0; part < 4 && !text.empty(); ++part) {
        const auto dot = text.find(L'.');
        const std::wstring_view piece = text.substr(0, dot);
        text = dot == std::wstring_view::npos ? std::wstring_view{} : text.substr(dot + 1);

        // As the C library reads a signed decimal: blanks, a sign, then
        // digits up to the first other character.
        std::size_t at = 0;
        while (at < piece.size() && (piece[at] == L' ' || (piece[at] >= L'\t' && piece[at] <= L'\r'))) {
            ++at;
        }
        const bool negative = at < piece.size() && piece[at] == L'-';
        if (at < piece.size() && (piece[at] == L'-' || piece[at] == L'+')) {
            ++at;
        }
        if (at == piece.size() || piece[at] < L'0' || piece[at] > L'9') {
            return std::nullopt;
        }
        std::int64_t magnitude = 0;
        for (; at < piece.size() && piece[at] >= L'0' && piece[at] <= L'9'; ++at) {
            magnitude = magnitude * 10 + (piece[at] - L'0');
            if (magnitude > static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1) {
                return std::nullopt;
            }
        }
        const std::int64_t value = negative ? -magnitude : magnitude;
        if (value > std::numeric_limits<std::int32_t>::max()) {
            return std::nullopt;
        }
        version[part] = static_cast<Version::value_type>(static_cast<std::uint64_t>(value) & 0xFFFF);
    }
    return version;
}

}  // namespace REL::detail
