#include "GamePointers.h"
#include "GameQueries.h"
#include "Helpers.h"
#include "Settings.h"
#include "game/IDs.h"
#include "support/FakeGameTest.h"

#include <fmt/format.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <spdlog/sinks/ostream_sink.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <string>

namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

// ---- LoadStaticVariables

class StaticVariables : public FakeGameTest {
protected:
    void SetUp() override { game.ClearCachedPointers(); }
};

TEST_F(StaticVariables, FillsTheEightPointersFromTheGame)
{
    EXPECT_TRUE(LoadStaticVariables());

    EXPECT_EQ(UISingleton, game.ui.get());
    EXPECT_EQ(PlayerChar, game.player.get());
    EXPECT_EQ(MQ305, game.MQ305());
    EXPECT_EQ(MQ301, game.MQ301());
    EXPECT_EQ(HealthAV, game.HealthAV());
    EXPECT_EQ(OxygenAV, game.OxygenAV());
    EXPECT_EQ(BoostPackAV, game.BoostPackAV());
    EXPECT_EQ(autoAimData, game.AutoAim());
    EXPECT_THAT(game.formLookups, ElementsAre(fake::kMQ305FormID, fake::kMQ301FormID, fake::kHealthFormID,
                                              fake::kOxygenFormID, fake::kBoostPackFormID));
    EXPECT_THAT(log.lines(), IsEmpty());
}

TEST_F(StaticVariables, EveryCallReadsTheGameAgain)
{
    ASSERT_TRUE(LoadStaticVariables());
    fake::UI otherUI;
    fake::Actor otherPlayer;
    game.SetGameUIPointer(otherUI.get());
    game.SetGamePlayerPointer(otherPlayer.get());

    EXPECT_TRUE(LoadStaticVariables());
    EXPECT_EQ(UISingleton, otherUI.get());
    EXPECT_EQ(PlayerChar, otherPlayer.get());
    EXPECT_EQ(game.formLookups.size(), 10U);
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

struct MissingObject {
    const char* name;
    std::uint32_t formID;  // 0 for the objects read from game globals
    const char* lookupsBeforeExit;
};

class MissingStaticVariable : public StaticVariables, public ::testing::WithParamInterface<MissingObject> {};

// Each object is stored and checked before the next is looked up: the one
// that is missing ends the game with exit status 0 after its error line, and
// nothing after it is looked up.
TEST_P(MissingStaticVariable, EndsTheGameWithStatusZeroAfterItsErrorLine)
{
    const MissingObject& missing = GetParam();
    const std::string name = missing.name;
    if (name == "UISingleton") {
        game.SetGameUIPointer(nullptr);
    } else if (name == "PlayerChar") {
        game.SetGamePlayerPointer(nullptr);
    } else if (name == "autoAimData") {
        game.SetGameAutoAimPointer(nullptr);
    } else {
        game.SetFormMissing(missing.formID);
    }

    EXPECT_EXIT(
        {
            ReportToStandardError();
            LoadStaticVariables();
        },
        ::testing::ExitedWithCode(0),
        AllOf(HasSubstr("[error] [LoadStaticVariables] " + name + " is nullptr, shutting down"),
              HasSubstr(std::string("forms looked up:") + missing.lookupsBeforeExit + " (end)")));
}

INSTANTIATE_TEST_SUITE_P(
    EachObject, MissingStaticVariable,
    ::testing::Values(MissingObject{"UISingleton", 0, ""}, MissingObject{"PlayerChar", 0, ""},
                      MissingObject{"MQ305", fake::kMQ305FormID, " 0x24ef9c"},
                      MissingObject{"MQ301", fake::kMQ301FormID, " 0x24ef9c 0x3448"},
                      MissingObject{"HealthAV", fake::kHealthFormID, " 0x24ef9c 0x3448 0x2d4"},
                      MissingObject{"OxygenAV", fake::kOxygenFormID, " 0x24ef9c 0x3448 0x2d4 0x2d5"},
                      MissingObject{"BoostPackAV", fake::kBoostPackFormID, " 0x24ef9c 0x3448 0x2d4 0x2d5 0x24021"},
                      MissingObject{"autoAimData", 0, " 0x24ef9c 0x3448 0x2d4 0x2d5 0x24021"}),
    [](const auto& instance) { return std::string(instance.param.name); });

TEST_F(StaticVariables, EndsTheGameSilentlyWhileLoggingIsOff)
{
    Settings.bLogging = false;
    game.SetFormMissing(fake::kMQ301FormID);

    EXPECT_EXIT(
        {
            ReportToStandardError();
            LoadStaticVariables();
        },
        ::testing::ExitedWithCode(0),
        AllOf(HasSubstr("forms looked up: 0x24ef9c 0x3448 (end)"), Not(HasSubstr("MQ301"))));
}

// ---- Queries about the player

using PlayerQueries = FakeGameTest;

TEST_F(PlayerQueries, WeaponIsDrawnInStatesOneToThreeOnly)
{
    for (std::uint32_t state = 0; state < 8; ++state) {
        game.player.SetWeaponState(state);
        EXPECT_EQ(IsWeaponDrawn(game.player.get()), state >= 1 && state <= 3) << "state " << state;
    }
}

TEST_F(PlayerQueries, WeaponStateIsReadFromItsLowThreeBits)
{
    game.player.SetWeaponState(0xFFFF'FFF8U | 2U);
    EXPECT_TRUE(IsWeaponDrawn(game.player.get()));
    game.player.SetWeaponState(0x8000'0000U);
    EXPECT_FALSE(IsWeaponDrawn(game.player.get()));
    game.player.SetWeaponState(0x10U | 4U);
    EXPECT_FALSE(IsWeaponDrawn(game.player.get()));
    EXPECT_FALSE(IsWeaponDrawn(nullptr));
}

TEST_F(PlayerQueries, PlayerPredicatesAskTheGameAboutThePlayer)
{
    game.sneaking = true;
    game.jumping = false;
    game.overencumbered = true;
    game.hostilesNear = true;
    EXPECT_TRUE(IsSneaking());
    EXPECT_FALSE(IsJumping());
    EXPECT_TRUE(IsOverencumbered());
    EXPECT_TRUE(HostileActorsNear());

    game.sneaking = false;
    game.jumping = true;
    game.overencumbered = false;
    game.hostilesNear = false;
    EXPECT_FALSE(IsSneaking());
    EXPECT_TRUE(IsJumping());
    EXPECT_FALSE(IsOverencumbered());
    EXPECT_FALSE(HostileActorsNear());
}

TEST_F(PlayerQueries, WithoutAPlayerTheQueriesAnswerWithoutAskingTheGame)
{
    game.sneaking = game.jumping = game.overencumbered = true;
    game.vehicleValue = 1.0F;
    PlayerChar = nullptr;

    EXPECT_FALSE(IsSneaking());
    EXPECT_FALSE(IsJumping());
    EXPECT_FALSE(IsOverencumbered());
    EXPECT_EQ(GetActorValuePercent(game.HealthAV()), 0.0F);
    EXPECT_EQ(GetPlayerVehicleValue(), -1.0F);

    EXPECT_EQ(game.calls.isSneaking + game.calls.isJumping + game.calls.isOverencumbered, 0);
    EXPECT_EQ(game.calls.actorValuePercent + game.calls.vehicleValue, 0);
}

TEST_F(PlayerQueries, ActorValuePercentIsTheGamesValueUnscaled)
{
    game.SetActorValuePercent(game.HealthAV(), 0.37F);
    game.SetActorValuePercent(game.OxygenAV(), 250.0F);
    EXPECT_EQ(GetActorValuePercent(game.HealthAV()), 0.37F);
    EXPECT_EQ(GetActorValuePercent(game.OxygenAV()), 250.0F);
    EXPECT_EQ(game.calls.actorValuePercent, 2);
}

TEST_F(PlayerQueries, ActorValuePercentOfNoFormIsZeroWithoutAskingTheGame)
{
    EXPECT_EQ(GetActorValuePercent(nullptr), 0.0F);
    EXPECT_EQ(game.calls.actorValuePercent, 0);
}

TEST_F(PlayerQueries, VehicleValueIsWhatTheGameWrites)
{
    game.vehicleValue = 0.0F;
    EXPECT_EQ(GetPlayerVehicleValue(), 0.0F);
    game.vehicleValue = 3.5F;
    EXPECT_EQ(GetPlayerVehicleValue(), 3.5F);
    game.vehicleValue = std::numeric_limits<float>::quiet_NaN();
    EXPECT_TRUE(std::isnan(GetPlayerVehicleValue()));
}

TEST_F(PlayerQueries, StageDoneAsksTheGameAboutThatQuestAndStage)
{
    game.SetStageDone(game.MQ305(), 2000, true);
    EXPECT_TRUE(::IsStageDone(game.MQ305(), 2000));
    EXPECT_FALSE(::IsStageDone(game.MQ305(), 1999));
    EXPECT_FALSE(::IsStageDone(game.MQ301(), 2000));
    EXPECT_TRUE(::IsStageDone(game.MQ301(), 0));
    EXPECT_EQ(game.calls.isStageDone, 4);

    EXPECT_FALSE(::IsStageDone(nullptr, 0));
    EXPECT_EQ(game.calls.isStageDone, 4) << "no quest, no call";
}

// ---- The auto-aim target's reference

using TargetReference = FakeGameTest;

constexpr std::uint8_t kFlora = 46;
constexpr std::uint8_t kNotActivatable = 44;
constexpr std::uint32_t kHarvested = 0x2000;

TEST_F(TargetReference, FloraIsAReferenceWhoseBaseObjectHasFormType46)
{
    fake::Reference reference;
    EXPECT_FALSE(IsFloraRef(reference.get())) << "no base object";
    reference.SetBaseFormType(kFlora);
    EXPECT_TRUE(IsFloraRef(reference.get()));
    reference.SetBaseFormType(kFlora + 1);
    EXPECT_FALSE(IsFloraRef(reference.get()));
    reference.SetBaseFormType(kNotActivatable);
    EXPECT_FALSE(IsFloraRef(reference.get()));
}

TEST_F(TargetReference, HarvestedFloraNeedsBothFloraAndTheHarvestedFlag)
{
    fake::Reference reference;
    reference.SetBaseFormType(kFlora);
    EXPECT_FALSE(IsHarvestedFloraRef(reference.get())) << "flora without the flag";
    reference.SetFlags(kHarvested);
    EXPECT_TRUE(IsHarvestedFloraRef(reference.get()));
    reference.SetFlags(~kHarvested);
    EXPECT_FALSE(IsHarvestedFloraRef(reference.get())) << "every flag but that one";

    reference.SetFlags(kHarvested);
    reference.SetBaseFormType(kNotActivatable);
    EXPECT_FALSE(IsHarvestedFloraRef(reference.get())) << "not flora, with the flag";
    reference.RemoveBaseObject();
    EXPECT_FALSE(IsHarvestedFloraRef(reference.get())) << "no base object, with the flag";
}

TEST_F(TargetReference, NotActivatableIsAReferenceWhoseBaseObjectHasFormType44)
{
    fake::Reference reference;
    EXPECT_FALSE(IsNotActivatableRef(reference.get())) << "no base object";
    reference.SetBaseFormType(kNotActivatable);
    EXPECT_TRUE(IsNotActivatableRef(reference.get()));
    reference.SetBaseFormType(kFlora);
    EXPECT_FALSE(IsNotActivatableRef(reference.get()));
}

class AcceptedTarget : public FakeGameTest {
protected:
    bool AcceptedWithTableOf(std::uint64_t id)
    {
        reference.SetVirtualTable(FakeGame::VirtualTableOf(id));
        return IsAcceptedTargetRef(reference.get());
    }

    fake::Reference reference;
};

TEST_F(AcceptedTarget, IsAReferenceOfAClassInListBOrListC)
{
    EXPECT_TRUE(AcceptedWithTableOf(RE::ID::kTargetVTablesB.front()));
    const std::uintptr_t alsoInListA = FakeGame::VirtualTableOf(FakeGame::kTableInListsAAndB);
    for (const std::uint64_t id : RE::ID::kTargetVTablesB) {
        if (FakeGame::VirtualTableOf(id) != alsoInListA) {
            EXPECT_TRUE(AcceptedWithTableOf(id)) << id;
        }
    }
    for (const std::uint64_t id : RE::ID::kTargetVTablesC) {
        EXPECT_TRUE(AcceptedWithTableOf(id)) << id;
    }
}

TEST_F(AcceptedTarget, IsNoReferenceOfAClassInListAOnly)
{
    EXPECT_FALSE(AcceptedWithTableOf(RE::ID::kTargetVTablesA.front()));
    for (const std::uint64_t id : RE::ID::kTargetVTablesA) {
        if (id != FakeGame::kTableInListsAAndB && id != FakeGame::kTableInListsAAndC) {
            EXPECT_FALSE(AcceptedWithTableOf(id)) << id;
        }
    }
}

// A class in list A is taken only through list C: list B is not consulted.
TEST_F(AcceptedTarget, OfAClassInListAIsDecidedByListCAlone)
{
    EXPECT_FALSE(AcceptedWithTableOf(FakeGame::kTableInListsAAndB));
    EXPECT_TRUE(AcceptedWithTableOf(FakeGame::kTableInListsAAndC));
}

TEST_F(AcceptedTarget, IsNoReferenceOfAnyOtherClass)
{
    int notATable = 0;
    reference.SetVirtualTable(reinterpret_cast<std::uintptr_t>(&notATable));
    EXPECT_FALSE(IsAcceptedTargetRef(reference.get()));
    reference.SetVirtualTable(FakeGame::VirtualTableOf(RE::ID::kTargetVTablesB.front()) + 1);
    EXPECT_FALSE(IsAcceptedTargetRef(reference.get()));
}

}  // namespace
