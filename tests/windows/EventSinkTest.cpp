#include "Clock.h"
#include "Events.h"
#include "HUDState.h"
#include "Settings.h"
#include "support/LogCapture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// How the game calls a sink: through slot 1 of the virtual table at the
// object's start, with the sink, the event's address and its source.
template <class Event>
RE::BSEventNotifyControl CallAsTheGame(RE::BSTEventSink<Event>& sink, const Event* event)
{
    void* object = &sink;
    void* const* table = *static_cast<void* const* const*>(object);
    using ProcessEvent = RE::BSEventNotifyControl (*)(void*, const Event*, void*);
    return reinterpret_cast<ProcessEvent>(table[RE::kSinkProcessEventSlot])(object, event, nullptr);
}

class EventSinks : public ::testing::Test {
protected:
    void SetUp() override
    {
        HUDState = HUDStateRecord{};
        Settings = SettingsRecord{};
        now = Clock::FromMilliseconds(40'000);
        previousClock = Clock::source;
        Clock::source = [] { return now; };
    }
    void TearDown() override
    {
        Clock::source = previousClock;
        HUDState = HUDStateRecord{};
        Settings = SettingsRecord{};
    }

    static inline Clock::Nanoseconds now = 0;
    Clock::Source previousClock = nullptr;
    LogCapture log;
};

TEST_F(EventSinks, AreCalledThroughSlotOneAndAnswerContinue)
{
    const Events::LevelUp_OnWidgetShown levelUp;
    EXPECT_EQ(CallAsTheGame<Events::LevelUp_OnWidgetShown>(Events::levelUpSink, &levelUp),
              RE::BSEventNotifyControl::kContinue);
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestEnable);
    EXPECT_EQ(HUDState.LongHUDMessageTime, now);
    EXPECT_THAT(log.lines(), ElementsAre("[info] [ProcessEvent]  --> LevelUp_OnWidgetShown"));
}

TEST_F(EventSinks, LongMessagesRequestTheHUDOnlyWhenTheirSettingIsOn)
{
    const Events::LocationTextEvent::Event location;
    Settings.bShowLocationDiscovered = false;
    CallAsTheGame<Events::LocationTextEvent::Event>(Events::locationTextSink, &location);
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestNone);
    EXPECT_EQ(HUDState.LongHUDMessageTime, 0);
    EXPECT_THAT(log.lines(), ElementsAre("[info] [ProcessEvent]  --> LocationTextEvent"));

    Settings.bShowLocationDiscovered = true;
    CallAsTheGame<Events::LocationTextEvent::Event>(Events::locationTextSink, &location);
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestEnable);

    HUDState = HUDStateRecord{};
    const Events::TraitDiscoveryTextEvent::Event trait;
    Settings.bShowPlanetTraitDiscovered = false;
    CallAsTheGame<Events::TraitDiscoveryTextEvent::Event>(Events::traitDiscoveryTextSink, &trait);
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestNone);

    const Events::HUDNotification_MissionActiveWidgetUpdate mission;
    CallAsTheGame<Events::HUDNotification_MissionActiveWidgetUpdate>(Events::missionActiveWidgetSink, &mission);
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestEnable);
    EXPECT_EQ(HUDState.LongHUDMessageTime, now);
}

TEST_F(EventSinks, ShowSubtitleMarksASubtitleWhateverTheSettings)
{
    Settings.bShowInSubtitles = false;
    const Events::ShowSubtitleEvent::Event shown;
    CallAsTheGame<Events::ShowSubtitleEvent::Event>(Events::showSubtitleSink, &shown);
    EXPECT_TRUE(HUDState.SubtitlesPlaying);
}

TEST_F(EventSinks, MenuSinkIgnoresANullEventAndTheCursorMenu)
{
    EXPECT_EQ(CallAsTheGame<RE::MenuOpenCloseEvent>(Events::menuOpenCloseSink, nullptr),
              RE::BSEventNotifyControl::kContinue);

    // A string-pool entry: flags at 0x14, characters from 0x18.
    alignas(8) std::array<char, 0x30> entry{};
    std::memcpy(entry.data() + 0x18, "CursorMenu", 11);
    const RE::MenuOpenCloseEvent cursor{{entry.data()}, true};
    CallAsTheGame<RE::MenuOpenCloseEvent>(Events::menuOpenCloseSink, &cursor);
    EXPECT_THAT(log.lines(), IsEmpty());
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestNone);
    EXPECT_EQ(HUDState.LastUpdateTime, 0);
}

TEST_F(EventSinks, CreditsRestartTheGracePeriodWithoutRequestingTheHUD)
{
    alignas(8) std::array<char, 0x30> target{};
    std::memcpy(target.data() + 0x18, "EndGameCreditsMenu", 19);
    // The handle refers on to the entry that holds the characters.
    alignas(8) std::array<char, 0x30> link{};
    link[0x14] = 0x2;
    const void* next = target.data();
    std::memcpy(link.data() + 0x08, &next, sizeof(next));
    const RE::MenuOpenCloseEvent credits{{link.data()}, true};

    CallAsTheGame<RE::MenuOpenCloseEvent>(Events::menuOpenCloseSink, &credits);
    EXPECT_EQ(HUDState.UnityGraceStartTime, now);
    EXPECT_EQ(HUDState.HUDRequest, kHUDRequestNone);
    EXPECT_THAT(log.lines(),
                ElementsAre("[info] [ProcessEvent]  --> MenuOpenCloseEvent [EndGameCreditsMenu] | abOpening [1]"));
}

TEST(GameStrings, ReadAsEmptyWhenTheHandleOrALinkIsNull)
{
    EXPECT_EQ(RE::GameStringText(RE::GameString{}), "");
    alignas(8) std::array<char, 0x30> link{};
    link[0x14] = 0x2 | 0x1;  // refers on, to nothing
    EXPECT_EQ(RE::GameStringText(RE::GameString{link.data()}), "");
    alignas(8) std::array<char, 0x30> plain{};
    plain[0x14] = 0x1;  // other flag bits do not matter
    std::memcpy(plain.data() + 0x18, "HUDMenu", 8);
    EXPECT_EQ(RE::GameStringText(RE::GameString{plain.data()}), "HUDMenu");
}

}  // namespace
