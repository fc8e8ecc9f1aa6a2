#pragma once

#include "FakeGame.h"
#include "GameFacts.h"
#include "hud/HUDState.h"
#include "hud/UpdateHUD.h"
#include "support/LogCapture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The game's form IDs of the quests MQ305 and MQ301 and of the health,
// oxygen and boost-pack actor values, in the order the plugin looks them up.
inline const std::vector<std::uint32_t> kFormsLookedUp{game_facts::kMQ305FormID, game_facts::kMQ301FormID,
                                                       game_facts::kHealthFormID, game_facts::kOxygenFormID,
                                                       game_facts::kBoostPackFormID};

// A test inside the fake game, with the log captured. Afterwards the game must
// have seen no call it would not survive, and every game string the plugin
// made must be released.
class FakeGameTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        EXPECT_THAT(game.faults(), ::testing::IsEmpty());
        EXPECT_EQ(game.LiveGameStrings(), 0) << "a game string was not released";
        EXPECT_EQ(game.GameStringsMade(), game.GameStringsReleased());
    }

    // One decision pass, 15 ms after the previous clock reading: past the
    // gate when the previous pass was.
    void Pass()
    {
        game.AdvanceMs(15);
        UpdateHUD();
    }

    // A pass that walks the rules: no request of an earlier pass left to
    // carry out first.
    void PassWalkingTheRules()
    {
        HUDState.HUDRequest = kHUDRequestNone;
        Pass();
    }

    // The captured lines that `function` wrote.
    [[nodiscard]] std::vector<std::string> LinesOf(std::string_view function) const
    {
        const std::string tag = "] [" + std::string(function) + "] ";
        std::vector<std::string> found;
        for (auto& line : log.lines()) {
            if (line.find(tag) != std::string::npos) {
                found.push_back(line);
            }
        }
        return found;
    }

    LogCapture log;
    FakeGame game;
};
