// The fake game's own machinery that the simulated game relies on: the
// per-frame function's call and events delivered to registered sinks as the
// game delivers them.

#include "FakeGame.h"
#include "game/Events.h"
#include "game/Functions.h"
#include "game/IDs.h"
#include "support/FakeGameTest.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

using ::testing::ElementsAre;
using ::testing::Pair;

struct SaveLoaded {};

// A sink as the game sees one: slot 1 of its virtual table takes the event's
// address and the source.
class MenuSink : public RE::BSTEventSink<RE::MenuOpenCloseEvent> {
public:
    RE::BSEventNotifyControl ProcessEvent(const RE::MenuOpenCloseEvent* event,
                                          RE::BSTEventSource<RE::MenuOpenCloseEvent>* source) override
    {
        seen.emplace_back(std::string(RE::GameStringText(event->menuName)), event->opening);
        sources.push_back(source);
        return RE::BSEventNotifyControl::kContinue;
    }
    std::vector<std::pair<std::string, bool>> seen;
    std::vector<const void*> sources;
};

class SaveLoadSink : public RE::BSTEventSink<SaveLoaded> {
public:
    RE::BSEventNotifyControl ProcessEvent(const SaveLoaded*, RE::BSTEventSource<SaveLoaded>*) override
    {
        ++count;
        return RE::BSEventNotifyControl::kContinue;
    }
    int count = 0;
};

// The byte at the hooked offset and the target of the call it starts.
std::pair<std::uint8_t, std::uintptr_t> CallAtHookedOffset()
{
    const std::uintptr_t site = FakeGame::PerFrameFunction() + RE::ID::kMainLoopCallOffset;
    std::uint8_t opcode = 0;
    std::int32_t displacement = 0;
    std::memcpy(&opcode, reinterpret_cast<const void*>(site), 1);
    std::memcpy(&displacement, reinterpret_cast<const void*>(site + 1), sizeof(displacement));
    return {opcode, site + 5 + static_cast<std::uintptr_t>(static_cast<std::intptr_t>(displacement))};
}

class SimulatedGame : public FakeGameTest {};

TEST_F(SimulatedGame, PerFrameFunctionReachesTheFrameThroughItsCallWithArgumentAndResult)
{
    const auto [opcode, target] = CallAtHookedOffset();
    EXPECT_EQ(opcode, 0xE8);
    EXPECT_NE(target, FakeGame::PerFrameFunction());

    const std::uint64_t before = FakeGame::FramesReached();
    for (std::uint64_t token : {0ULL, 1ULL, 0xFFFF'FFFF'FFFFULL}) {
        EXPECT_EQ(FakeGame::RunFrame(token), FakeGame::FrameAnswer(token));
    }
    EXPECT_EQ(FakeGame::FramesReached() - before, 3U);
    EXPECT_NE(FakeGame::FrameAnswer(1), FakeGame::FrameAnswer(2));
}

TEST_F(SimulatedGame, MenuEventsReachOnlyTheMenuSinksWithTheNameAndChangeTheStack)
{
    MenuSink menus;
    SaveLoadSink saves;
    RE::RegisterSink(RE::MenuOpenCloseSource(game.ui.get()), &menus);
    RE::RegisterSink(RE::GetEventSource(RE::ID::SaveLoadEventSource), &saves);
    EXPECT_THAT(game.registeredSinks, ElementsAre(Pair(game.MenuOpenCloseSource(), &menus),
                                                  Pair(FakeGame::EventSource(RE::ID::SaveLoadEventSource), &saves)));

    EXPECT_EQ(game.RaiseMenuEvent("InventoryMenu", true), 1);
    EXPECT_TRUE(game.ui.HasMenuNamed("InventoryMenu"));
    EXPECT_EQ(game.RaiseMenuEvent("InventoryMenu", false), 1);
    EXPECT_FALSE(game.ui.HasMenuNamed("InventoryMenu"));
    EXPECT_TRUE(game.ui.HasMenuNamed("HUDMenu"));

    EXPECT_THAT(menus.seen, ElementsAre(Pair("InventoryMenu", true), Pair("InventoryMenu", false)));
    EXPECT_THAT(menus.sources, ElementsAre(game.MenuOpenCloseSource(), game.MenuOpenCloseSource()));
    EXPECT_EQ(saves.count, 0);
}

TEST_F(SimulatedGame, SourceEventsReachEverySinkOfTheirSourceOnly)
{
    SaveLoadSink first;
    SaveLoadSink second;
    SaveLoadSink other;
    RE::RegisterSink(RE::GetEventSource(RE::ID::SaveLoadEventSource), &first);
    RE::RegisterSink(RE::GetEventSource(RE::ID::LocationTextEventSource), &other);
    RE::RegisterSink(RE::GetEventSource(RE::ID::SaveLoadEventSource), &second);

    EXPECT_EQ(game.RaiseEvent(RE::ID::SaveLoadEventSource), 2);
    EXPECT_EQ(first.count, 1);
    EXPECT_EQ(second.count, 1);
    EXPECT_EQ(other.count, 0);
    EXPECT_EQ(game.RaiseEvent(RE::ID::LevelUpWidgetEventSource), 0);
}

}  // namespace
