#include "Plugin.h"

#include <gtest/gtest.h>

namespace {

constexpr Zorvik::PluginVersionData kRecord = MakePluginVersionRecord();

TEST(VersionPacking, RoundTripsThePluginAndGameVersions)
{
    EXPECT_EQ(kRecord.pluginVersion, 0x03050000U);
    EXPECT_EQ(Zorvik::PackedVersion::unpack(kRecord.pluginVersion), (Zorvik::PackedVersion{3, 5, 0, 0}));
    EXPECT_EQ(kRecord.compatibleVersions[0], 0x010E0460U);
    EXPECT_EQ(Zorvik::PackedVersion::unpack(kRecord.compatibleVersions[0]), (Zorvik::PackedVersion{1, 14, 70, 0}));
    EXPECT_EQ((Zorvik::PackedVersion{15, 255, 4095, 15}.pack()), 0x0FFFFFFFU);
}

}  // namespace
