#include "GameFacts.h"
#include "Helpers.h"
#include "hud/CachedGameObjects.h"
#include "hud/GameQueries.h"
#include "settings/Settings.h"
#include "support/FakeGameTest.h"

#include <fmt/format.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <spdlog/sinks/ostream_sink.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

using GameQueries = FakeGameTest;

// ---- LoadStaticVariables

TEST_F(GameQueries, LoadStaticVariablesReadsTheEightObjectsFromTheGameOnEveryCall)
{
    game.ClearCachedPointers();
    ASSERT_TRUE(LoadStaticVariables());
    EXPECT_EQ(UISingleton, game.ui.get());
    EXPECT_EQ(PlayerChar, game.player.get());
    EXPECT_EQ(MQ305, game.MQ305());
    EXPECT_EQ(MQ301, game.MQ301());
    EXPECT_EQ(HealthAV, game.HealthAV());
    EXPECT_EQ(OxygenAV, game.OxygenAV());
    EXPECT_EQ(BoostPackAV, game.BoostPackAV());
    EXPECT_EQ(autoAimData, game.AutoAim());
    EXPECT_EQ(game.formLookups, kFormsLookedUp);

    fake::UI otherUI;
    fake::Actor otherPlayer;
    game.SetGameUIPointer(otherUI.get());
    game.SetGamePlayerPointer(otherPlayer.get());
    EXPECT_TRUE(LoadStaticVariables());
    EXPECT_EQ(UISingleton, otherUI.get());
    EXPECT_EQ(PlayerChar, otherPlayer.get());
    EXPECT_EQ(game.formLookups.size(), 10U);
    EXPECT_THAT(log.lines(), IsEmpty());
}

// In the child of a death test: log lines go to standard error, and when the
// process exits through the C runtime's exit the form IDs looked up so far
// follow them, closed by "(end)".
void ReportToStandardError()
{
    auto logger =
        std::make_shared<spdlog::logger>("child", std::make_shared<spdlog::sinks::ostream_sink_st>(std::cerr, true));
    logger->set_pattern("[%l] %v");
    spdlog::set_default_logger(std::move(logger));
    std::atexit([] {
        std::string text = "forms looked up:";
        for (const std::uint32_t formID : FakeGame::Current().formLookups) {
            text += fmt::format(" {:#x}", formID);
        }
        std::fprintf(stderr, "%s (end)\n", text.c_str());
    });
}

// Each object is stored and checked before the next is looked up: the one
// that is missing ends the game with exit status 0 after its error line
// (with logging on), and nothing after it is looked up.
TEST_F(GameQueries, AMissingGameObjectEndsTheGameWithStatusZero)
{
    struct Case {
        const char* name;
        std::size_t formsBefore;  // form look-ups made before the process ends
        bool logging;
    };
    for (const Case& row : {Case{"UISingleton", 0, true}, Case{"PlayerChar", 0, true}, Case{"MQ305", 1, true},
                            Case{"MQ301", 2, true}, Case{"HealthAV", 3, true}, Case{"OxygenAV", 4, true},
                            Case{"BoostPackAV", 5, true}, Case{"autoAimData", 5, true}, Case{"MQ301", 2, false}}) {
        SCOPED_TRACE(row.name);
        const std::string name = row.name;
        std::string lookups = "forms looked up:";
        for (std::size_t i = 0; i < row.formsBefore; ++i) {
            lookups += fmt::format(" {:#x}", kFormsLookedUp[i]);
        }
        ::testing::Matcher<const std::string&> errorLine =
            HasSubstr("[error] [LoadStaticVariables] " + name + " is nullptr, shutting down");
        if (!row.logging) {
            errorLine = Not(HasSubstr(name));
        }
        // The game loses the object in the child process only.
        EXPECT_EXIT(
            {
                ReportToStandardError();
                game.ClearCachedPointers();
                Settings.bLogging = row.logging;
                if (name == "UISingleton") {
                    game.SetGameUIPointer(nullptr);
                } else if (name == "PlayerChar") {
                    game.SetGamePlayerPointer(nullptr);
                } else if (name == "autoAimData") {
                    game.SetGameAutoAimPointer(nullptr);
                } else {
                    game.SetFormMissing(kFormsLookedUp[row.formsBefore - 1]);
                }
                LoadStaticVariables();
            },
            ::testing::ExitedWithCode(0), AllOf(errorLine, HasSubstr(lookups + " (end)")));
    }
}

// ---- Queries

TEST_F(GameQueries, WithoutAPlayerOrFormTheQueriesAnswerWithoutAskingTheGame)
{
    game.sneaking = game.jumping = game.overencumbered = true;
    game.vehicleValue = 1.0F;
    EXPECT_EQ(GetActorValuePercent(nullptr), 0.0F);
    EXPECT_FALSE(::IsStageDone(nullptr, 0));
    EXPECT_FALSE(IsWeaponDrawn(nullptr));
    PlayerChar = nullptr;
    EXPECT_FALSE(IsSneaking() || IsJumping() || IsOverencumbered());
    EXPECT_EQ(GetActorValuePercent(game.HealthAV()), 0.0F);
    EXPECT_EQ(GetPlayerVehicleValue(), -1.0F);
    EXPECT_EQ(game.calls.isSneaking + game.calls.isJumping + game.calls.isOverencumbered + game.calls.isStageDone, 0);
    EXPECT_EQ(game.calls.actorValuePercent + game.calls.vehicleValue, 0);
}

// A reference of a class in list B or C is accepted; one in list A only
// through list C, list B is not consulted for it.
TEST_F(GameQueries, AnAcceptedTargetIsOfAClassInListBOrCAndNotInListAUnlessInC)
{
    fake::Reference reference;
    const auto accepted = [&](std::uintptr_t table) {
        reference.SetVirtualTable(table);
        return IsAcceptedTargetRef(reference.get());
    };
    const std::uintptr_t sharedAB = FakeGame::VirtualTableOf(FakeGame::kTableInListsAAndB);
    const std::uintptr_t sharedAC = FakeGame::VirtualTableOf(FakeGame::kTableInListsAAndC);
    for (const std::uint64_t id : game_facts::kReferenceTablesA) {
        const std::uintptr_t table = FakeGame::VirtualTableOf(id);
        EXPECT_EQ(accepted(table), table == sharedAC) << id;
    }
    for (const std::uint64_t id : game_facts::kReferenceTablesB) {
        EXPECT_EQ(accepted(FakeGame::VirtualTableOf(id)), FakeGame::VirtualTableOf(id) != sharedAB) << id;
    }
    for (const std::uint64_t id : game_facts::kReferenceTablesC) {
        EXPECT_TRUE(accepted(FakeGame::VirtualTableOf(id))) << id;
    }
    int notATable = 0;
    EXPECT_FALSE(accepted(reinterpret_cast<std::uintptr_t>(&notATable)));
    EXPECT_FALSE(accepted(FakeGame::VirtualTableOf(422634) + 1));
}

}  // namespace
