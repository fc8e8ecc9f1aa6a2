#include "settings/Settings.h"
#include "settings/SettingsFileWatch.h"
#include "support/SettingsFileStandIn.h"
#include "support/SettingsFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class Reload : public SettingsFixture {
protected:
    // One reload with these values in the file; keys missing from the map
    // have no value.
    static void ReloadWith(std::map<std::string, std::string> values)
    {
        const SettingsFileStandIn file(std::move(values));
        ReloadINI();
    }
};

// Each reload starts from the reload defaults: a key no longer in the file
// goes back to its default.
TEST_F(Reload, AKeyWithoutValueTakesItsReloadDefault)
{
    ReloadWith({{"iKeepHUDShownMS", "500"}, {"bShowInCombat", "0"}, {"iVehicleAimKeyDown", "2"}, {"bLogging", "1"}});
    ASSERT_EQ(Settings->iKeepHUDShownMS, 500);
    ReloadWith({});

    EXPECT_FALSE(Settings.bLogging);
    EXPECT_EQ(Settings->iVehicleAimKeyDown, 0) << "initially 2, but 0 after a reload";
    EXPECT_TRUE(Settings->bShowInCombat);
    EXPECT_FALSE(Settings->bShowIfJumping);
    EXPECT_EQ(Settings->iKeepHUDShownMS, 2000);
    EXPECT_EQ(Settings->iKeepHUDShownLongMS, 7500);
    EXPECT_EQ(Settings->fShowBelowHealthPercent, -1.0F);
    EXPECT_TRUE(Settings->iMenuOverriderShipHUDMenu);
    EXPECT_EQ(Settings->iHUDToggle, 0);
    EXPECT_EQ(Settings->iHUDToggleMinRequiredTimeSinceLastTogglePress, 300);
    EXPECT_EQ(Settings->iHUDToggleMinHoldTime, 300);
}

// A pass on another thread may read the settings while a reload reads the
// file: until the reload is done it finds the settings in force, never the
// defaults the reload starts from nor half of the new file. The reader below
// looks at the settings each time it is asked for a key.
std::vector<std::string> seenWhileReading;

std::string ReadNewValuesLookingAtTheSettings(std::string, std::string, std::string key)
{
    seenWhileReading.push_back(std::to_string(Settings->iKeepHUDShownMS) + " " +
                               std::to_string(Settings->iVehicleAimKeyDown) + " " +
                               std::to_string(static_cast<int>(Settings->bShowInCombat)));
    const std::map<std::string, std::string> file{
        {"iKeepHUDShownMS", "700"}, {"iVehicleAimKeyDown", "5"}, {"bShowInCombat", "1"}};
    const auto found = file.find(key);
    return found == file.end() ? std::string() : found->second;
}

TEST_F(Reload, WhileTheFileIsReadTheSettingsInForceStay)
{
    ReloadWith({{"iKeepHUDShownMS", "5000"}, {"iVehicleAimKeyDown", "4"}, {"bShowInCombat", "0"}});
    seenWhileReading.clear();
    ReloadINI(&ReadNewValuesLookingAtTheSettings);

    ASSERT_FALSE(seenWhileReading.empty());
    EXPECT_THAT(seenWhileReading, ::testing::Each(std::string("5000 4 0")));
    EXPECT_EQ(Settings->iKeepHUDShownMS, 700);
    EXPECT_EQ(Settings->iVehicleAimKeyDown, 5);
    EXPECT_TRUE(Settings->bShowInCombat);
}

// A key's initial value and its reload default are written in two places;
// they agree but for the two that the first reload changes on purpose.
TEST_F(Reload, ReloadDefaultsAreTheInitialValuesButForLoggingAndTheVehicleAimKey)
{
    ReloadWith({});
    SettingsRecord expected{};
    expected.iVehicleAimKeyDown = 0;
    EXPECT_TRUE(*Settings == expected);
    EXPECT_FALSE(Settings.bLogging);
}

TEST_F(Reload, LogsEveryKeyInOrderWithItsLabelAndStoredValue)
{
    ReloadWith({{"bLogging", "1"},
                {"fShowBelowHealthPercent", "25"},
                {"iHUDToggle", "0x70"},
                {"iMenuOverriderHandscannerMenu", "0"}});

    EXPECT_THAT(
        log.lines(),
        ElementsAre(
            "[info] [ReloadINI] bLogging -> 1", "[info] [ReloadINI] bShowInCombat   --->   1",
            "[info] [ReloadINI] bShowWhileSneaking -> 1", "[info] [ReloadINI] bShowWhileWeaponDrawn -> 1",
            "[info] [ReloadINI] bShowInSubtitles -> 1", "[info] [ReloadINI] bShowLocationDiscovered -> 1",
            "[info] [ReloadINI] bShowPlanetTraitDiscovered -> 1", "[info] [ReloadINI] bShowMissionActive -> 1",
            "[info] [ReloadINI] bShowIfOverencumbered -> 0", "[info] [ReloadINI] bShowIfJumping -> 0",
            "[info] [ReloadINI] bShowWhenHostilesAreNearby -> 0", "[info] [ReloadINI] iKeepHUDShownMS -> 2000",
            "[info] [ReloadINI] iKeepHUDShownLongMS -> 7500", "[info] [ReloadINI] fShowBelowHealthPercent -> 25.000000",
            "[info] [ReloadINI] fShowBelowOxygenPercent -> -1.000000",
            "[info] [ReloadINI] fShowBelowBoostPackPercent -> -1.000000",
            "[info] [ReloadINI] iMenuOverriderShipHUDMenu -> 1",
            "[info] [ReloadINI] iMenuOverriderHandscannerMenu -> 0", "[info] [ReloadINI] bShowInLandVehicle -> 0",
            "[info] [ReloadINI] iHUDToggle -> 112", "[info] [ReloadINI] iHUDToggleGamepad -> 0",
            "[info] [ReloadINI] iHUDToggleMinRequiredTimeSinceLastTogglePress -> 300",
            "[info] [ReloadINI] iHUDToggleMinHoldTime -> 300", "[info] [ReloadINI] iVehicleAimKeyDown -> 0",
            "[info] [ReloadINI] bPlayUIFeedbackSounds -> 1",
            "[info] [ReloadINI] bShowIfAutoAimTargetIsNotActivatable -> 0",
            "[info] [ReloadINI] bShowIfAutoAimTargetIsHarvestedFlora -> 0",
            "[info] [ReloadINI] bReloadSettingsOnChange -> 1"));
}

TEST_F(Reload, TurningLoggingOffLogsTheReloadThenFallsSilent)
{
    ReloadWith({{"bLogging", "0"}});
    const auto lines = log.lines();
    ASSERT_EQ(lines.size(), 29U) << "every key, then the switch";
    EXPECT_EQ(lines[28], "[info] [ReloadINI] logging was requested to be turned off");

    log.clear();
    ReloadWith({{"bLogging", "0"}, {"iKeepHUDShownMS", "10"}});
    EXPECT_THAT(log.lines(), IsEmpty());
    EXPECT_EQ(Settings->iKeepHUDShownMS, 10);
}

TEST_F(Reload, TurningLoggingOnWritesOnlyTheTurnedOnLine)
{
    Settings.bLogging = false;
    ReloadWith({{"bLogging", "1"}});
    EXPECT_THAT(log.lines(), ElementsAre("[info] [ReloadINI] logging was requested to be turned on"));
    EXPECT_TRUE(Settings.bLogging);

    log.clear();
    ReloadWith({{"bLogging", "1"}});
    EXPECT_EQ(log.lines().size(), 28U) << "logging stays on: the key lines, no switch line";
}

struct ValueCase {
    const char* key;
    const char* text;
    const char* logged;  // the stored value as the key's log line shows it

    friend std::ostream& operator<<(std::ostream& out, const ValueCase& value)
    {
        return out << value.key << "=" << value.text;
    }
};

class ValueOfKey : public Reload, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(ValueOfKey, IsStoredOnlyWhenValidAndInRange)
{
    const auto& [key, text, logged] = GetParam();
    ReloadWith({{"bLogging", "1"}, {key, text}});
    bool found = false;
    for (const auto& line : log.lines()) {
        if (line.find(std::string("] ") + key + " ") != std::string::npos) {
            found = true;
            EXPECT_TRUE(line.ends_with(std::string(" ") + logged)) << line;
        }
    }
    EXPECT_TRUE(found) << key;
}

// The range and the kind of each key; the parsers' own cases are theirs.
INSTANTIATE_TEST_SUITE_P(
    Ranges, ValueOfKey,
    ::testing::Values(
        ValueCase{"bShowInCombat", "1", "1"}, ValueCase{"bShowInCombat", "true", "0"},
        ValueCase{"bShowInCombat", "", "1"}, ValueCase{"iKeepHUDShownMS", "0", "0"},
        ValueCase{"iKeepHUDShownMS", "10000", "10000"}, ValueCase{"iKeepHUDShownMS", "10001", "2000"},
        ValueCase{"iKeepHUDShownLongMS", "0", "0"}, ValueCase{"iKeepHUDShownLongMS", "15000", "15000"},
        ValueCase{"iKeepHUDShownLongMS", "15001", "7500"}, ValueCase{"iHUDToggleMinHoldTime", "65536", "65536"},
        ValueCase{"iHUDToggleMinHoldTime", "0", "300"}, ValueCase{"iHUDToggleMinHoldTime", "65537", "300"},
        ValueCase{"iHUDToggleMinRequiredTimeSinceLastTogglePress", "1", "1"},
        ValueCase{"iHUDToggleMinRequiredTimeSinceLastTogglePress", "0", "300"},
        ValueCase{"fShowBelowHealthPercent", "100", "100.000000"},
        ValueCase{"fShowBelowHealthPercent", "0", "0.000000"},
        ValueCase{"fShowBelowHealthPercent", "100.5", "-1.000000"}, ValueCase{"iMenuOverriderShipHUDMenu", "0", "0"},
        ValueCase{"iMenuOverriderShipHUDMenu", "2", "1"}, ValueCase{"iMenuOverriderHandscannerMenu", "-1", "1"},
        ValueCase{"iHUDToggle", "70", "112"}, ValueCase{"iHUDToggle", "100", "0"}, ValueCase{"iHUDToggle", "FF", "255"},
        ValueCase{"iHUDToggle", "-FFFFFFFF", "1"}, ValueCase{"iVehicleAimKeyDown", "02", "2"},
        ValueCase{"iVehicleAimKeyDown", "-1", "0"}, ValueCase{"iHUDToggleGamepad", "0021", "33"},
        ValueCase{"iHUDToggleGamepad", "0x8000", "32768"}, ValueCase{"iHUDToggleGamepad", "FFFF", "65535"},
        ValueCase{"iHUDToggleGamepad", "10000", "0"}, ValueCase{"iHUDToggleGamepad", "0", "0"},
        ValueCase{"iHUDToggleGamepad", "-1", "0"}, ValueCase{"iHUDToggleGamepad", "G1", "0"}));

}  // namespace
