#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace Zorvik {

// A version packed the way the loader reads it: major in bits 24-31, minor in
// 16-23, patch in 4-15, build in 0-3.
struct PackedVersion {
    std::uint32_t major;
    std::uint32_t minor;
    std::uint32_t patch;
    std::uint32_t build;

    [[nodiscard]] constexpr std::uint32_t pack() const noexcept
    {
        return ((major & 0xFF) << 24) | ((minor & 0xFF) << 16) | ((patch & 0xFFF) << 4) | (build & 0xF);
    }

    [[nodiscard]] static constexpr PackedVersion unpack(std::uint32_t packed) noexcept
    {
        return {packed >> 24, (packed >> 16) & 0xFF, (packed >> 4) & 0xFFF, packed & 0xF};
    }

    friend constexpr bool operator==(const PackedVersion&, const PackedVersion&) = default;
};

// The record the loader reads from the plugin's export before loading it. Its
// layout belongs to the loader, hence the offset checks below.
struct PluginVersionData {
    static constexpr std::uint32_t kRecordVersion = 1;

    std::uint32_t recordVersion;
    std::uint32_t pluginVersion;
    std::array<char, 256> name;
    std::array<char, 256> author;
    std::uint32_t addressIndependence;
    std::uint32_t structureCompatibility;
    std::array<std::uint32_t, 16> compatibleVersions;
    std::uint32_t minimumLoaderVersion;
    std::uint32_t reservedNonBreaking;
    std::uint32_t reservedBreaking;

    // A fixed-size, zero-padded text field from a literal; a text that does not
    // fit with its terminator does not compile in a constant initialiser.
    [[nodiscard]] static constexpr std::array<char, 256> text_field(std::string_view text)
    {
        if (text.size() >= 256) {
            throw "text field too long";
        }
        std::array<char, 256> field{};
        for (std::size_t i = 0; i < text.size(); ++i) {
            field[i] = text[i];
        }
        return field;
    }
};

static_assert(sizeof(PluginVersionData) == 604);
static_assert(offsetof(PluginVersionData, recordVersion) == 0x000);
static_assert(offsetof(PluginVersionData, pluginVersion) == 0x004);
static_assert(offsetof(PluginVersionData, name) == 0x008);
static_assert(offsetof(PluginVersionData, author) == 0x108);
static_assert(offsetof(PluginVersionData, addressIndependence) == 0x208);
static_assert(offsetof(PluginVersionData, structureCompatibility) == 0x20C);
static_assert(offsetof(PluginVersionData, compatibleVersions) == 0x210);
static_assert(offsetof(PluginVersionData, minimumLoaderVersion) == 0x250);
static_assert(offsetof(PluginVersionData, reservedNonBreaking) == 0x254);
static_assert(offsetof(PluginVersionData, reservedBreaking) == 0x258);

}  // namespace Zorvik
