#pragma once

#include "Zorvik/PluginVersionData.h"

#include <string_view>

inline constexpr std::string_view kPluginDisplayName = "Lumenveil HUD - Zorvik Plugin by Quennart";
inline constexpr std::string_view kPluginVersionString = "3.5";
inline constexpr std::string_view kPluginAuthor = "Quennart";

inline constexpr Zorvik::PackedVersion kPluginVersion{3, 5, 0, 0};
// The one game build this plugin's address-library IDs were checked against.
inline constexpr Zorvik::PackedVersion kCompatibleGameVersion{1, 14, 70, 0};

// Flag words of the version record, published as the loader expects them.
inline constexpr std::uint32_t kAddressIndependenceAddressLibrary = 2;
inline constexpr std::uint32_t kStructureCompatibility = 8;

// What the plugin's record holds; exported by the DLL as ZorvikPlugin_Version.
[[nodiscard]] constexpr Zorvik::PluginVersionData MakePluginVersionRecord()
{
    Zorvik::PluginVersionData record{};
    record.recordVersion = Zorvik::PluginVersionData::kRecordVersion;
    record.pluginVersion = kPluginVersion.pack();
    record.name = Zorvik::PluginVersionData::text_field(kPluginDisplayName);
    record.author = Zorvik::PluginVersionData::text_field(kPluginAuthor);
    record.addressIndependence = kAddressIndependenceAddressLibrary;
    record.structureCompatibility = kStructureCompatibility;
    record.compatibleVersions[0] = kCompatibleGameVersion.pack();
    return record;
}
