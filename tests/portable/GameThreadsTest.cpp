// The plugin as the game runs it: the per-frame decision on the game's thread,
// the menu sink on the UI's, the save/load sink on the loading thread and the
// subtitle sinks (one of which runs a pass itself) on yet another, all at
// once. Built with ThreadSanitizer (preset native-tsan) these tests are the
// proof that the shared state is free of data races; in every build they
// check that what is left afterwards is a state the rules allow.

#include "FakeGame.h"
#include "FakeXInput.h"
#include "GameFacts.h"
#include "events/Events.h"
#include "hud/HUDState.h"
#include "hud/UpdateHUD.h"
#include "settings/Settings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <spdlog/spdlog.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kToggleKey = 0x70;
constexpr std::uint16_t kToggleButtons = FakeXInput::kBack | FakeXInput::kDPadUp;

// Runs `work` on its own thread for each entry, all started together.
class Threads {
public:
    template <class... Work>
    explicit Threads(Work&&... work)
    {
        (threads_.emplace_back([this, work] {
            ++ready_;
            while (ready_.load() < static_cast<int>(sizeof...(Work))) {
                std::this_thread::yield();
            }
            work();
        }),
         ...);
    }
    ~Threads()
    {
        for (auto& thread : threads_) {
            thread.join();
        }
    }
    Threads(const Threads&) = delete;
    Threads& operator=(const Threads&) = delete;

private:
    std::atomic<int> ready_{0};
    std::vector<std::thread> threads_;
};

// The plugin asks for its lines as in the game (bLogging is on in some of the
// files loaded), and a logger switched off drops them: the logging library
// orders the threads that write through it, and would hide from
// ThreadSanitizer the races between two such moments.
class LogLinesDropped {
public:
    LogLinesDropped() : previous_(spdlog::default_logger())
    {
        auto dropped = std::make_shared<spdlog::logger>("dropped");
        dropped->set_level(spdlog::level::off);
        spdlog::set_default_logger(std::move(dropped));
    }
    ~LogLinesDropped() { spdlog::set_default_logger(previous_); }
    LogLinesDropped(const LogLinesDropped&) = delete;
    LogLinesDropped& operator=(const LogLinesDropped&) = delete;

private:
    std::shared_ptr<spdlog::logger> previous_;
};

// ---- Two threads at the gate at the same moment

// Each thread's first clock reading of a round waits there until the other
// thread has taken its own: both then meet the gate with the same time and
// the same last-update stamp, as close together as two threads can.
std::atomic<int> clockArrivals{0};
std::atomic<int> currentRound{0};
std::atomic<Clock::Nanoseconds> roundTime{0};
thread_local int roundOfThisThread = -1;

Clock::Nanoseconds MeetingClock()
{
    if (const int round = currentRound.load(); round != roundOfThisThread) {
        roundOfThisThread = round;
        const int arrivals = clockArrivals.fetch_add(1) + 1;
        const int together = 2 * (round + 1);
        while (arrivals < together && clockArrivals.load() < together) {
        }
    }
    return roundTime.load();
}

class GateAcrossThreads : public ::testing::Test {
protected:
    void SetUp() override
    {
        game.SetThreadsCallAtOnce(true);
        previousClock_ = Clock::source;
        Clock::source = &MeetingClock;
    }
    void TearDown() override { Clock::source = previousClock_; }

    LogLinesDropped log;
    FakeGame game;

private:
    Clock::Source previousClock_ = nullptr;
};

// Both threads are past the 15 ms gate: one makes the pass and the other
// leaves as a call within 15 ms does. Every full pass asks the game first
// whether a game menu pauses it, so the game's count of that question is the
// count of passes.
TEST_F(GateAcrossThreads, TwoThreadsRacingGetOnePass)
{
    constexpr int kRounds = 400;
    clockArrivals = 0;
    std::atomic<int> released{-1};
    std::atomic<int> finished{0};
    const auto racer = [&] {
        for (int round = 0; round < kRounds; ++round) {
            while (released.load() < round) {
                std::this_thread::yield();
            }
            UpdateHUD();
            ++finished;
        }
    };

    std::vector<int> passesPerRound;
    {
        Threads racers(racer, racer);
        for (int round = 0; round < kRounds; ++round) {
            roundTime = game.Now() + Clock::FromMilliseconds(20 * (round + 1));
            HUDState.LastUpdateTime = roundTime - Clock::FromMilliseconds(16);
            HUDState.HUDRequest = kHUDRequestNone;
            const int passesBefore = game.calls.isGameMenuPaused;
            currentRound = round;
            released = round;
            while (finished.load() < 2 * (round + 1)) {
                std::this_thread::yield();
            }
            passesPerRound.push_back(game.calls.isGameMenuPaused - passesBefore);
        }
    }
    EXPECT_THAT(passesPerRound, ::testing::Each(1));
}

// ---- Every thread of the game at once

// The settings file of the next save loaded, as the loading thread changes it
// between loads: logging, the toggle key, the controller's toggle buttons,
// the delays, the menu overriders and the subtitle switch each in both states.
struct SettingsFile {
    std::map<std::string, std::string> keys;
    bool logging;
    std::int32_t keepShownMs;
    std::int32_t toggleKey;
    std::int32_t toggleButtons;
    bool shipHUDOverrider;
};

const std::array<SettingsFile, 3> kSettingsFiles{{
    {{{"bLogging", "1"},
      {"iHUDToggle", "70"},
      {"iKeepHUDShownMS", "0"},
      {"iKeepHUDShownLongMS", "0"},
      {"iHUDToggleMinHoldTime", "100"},
      {"iHUDToggleGamepad", "0021"}},
     true,
     0,
     kToggleKey,
     kToggleButtons,
     true},
    {{{"bLogging", "0"},
      {"iHUDToggle", "70"},
      {"iKeepHUDShownMS", "40"},
      {"iMenuOverriderShipHUDMenu", "0"},
      {"bShowInSubtitles", "0"}},
     false,
     40,
     kToggleKey,
     0,
     false},
    {{{"bLogging", "1"},
      {"iHUDToggle", "0"},
      {"iHUDToggleGamepad", "21"},
      {"iKeepHUDShownMS", "10000"},
      {"iMenuOverriderHandscannerMenu", "0"}},
     true,
     10000,
     0,
     kToggleButtons,
     true},
}};

// Read only by the loading thread, which alone reloads the settings.
std::atomic<std::size_t> nextSettingsFile{0};

std::string ReadNextSettingsFile(std::string, std::string, std::string key)
{
    const auto& keys = kSettingsFiles[nextSettingsFile.load() % kSettingsFiles.size()].keys;
    const auto found = keys.find(key);
    return found == keys.end() ? std::string() : found->second;
}

class GameThreadsAtOnce : public ::testing::Test {
protected:
    static constexpr int kRounds = 3;

    void SetUp() override
    {
        game.SetThreadsCallAtOnce(true);
        Events::RegisterSinks();
        previousReader_ = SettingsFileReader;
        SettingsFileReader = &ReadNextSettingsFile;
        nextSettingsFile = 0;
        xinput.Connect(0);
    }
    void TearDown() override
    {
        SettingsFileReader = previousReader_;
        Settings = SettingsRecord{};
    }

    // Every thread at once: `events` rounds of events on each event thread,
    // and frames on the game's thread until they are all delivered, each a
    // full pass unless a subtitle's pass just made one. The toggle key is
    // tapped (forcing the HUD) and held (giving it back) in turn, and the
    // controller's toggle buttons held between.
    void PlayAtOnce(int events)
    {
        // Rounds of threads anew: ThreadSanitizer sees a race only where the
        // two threads' accesses happen to meet, and more rounds meet more.
        for (int round = 0; round < kRounds; ++round) {
            PlayOneRound(events);
        }
    }

    void PlayOneRound(int events)
    {
        std::atomic<int> delivering{3};
        const auto gameThread = [&] {
            for (int frame = 0; delivering.load() > 0 || frame < events; ++frame) {
                game.AdvanceMs(16);
                switch (frame % 16) {
                    case 0:
                    case 4:
                        game.PressKey(kToggleKey);
                        break;
                    case 1:
                    case 12:
                        game.ReleaseKey(kToggleKey);
                        break;
                    case 6:
                        xinput.Hold(0, kToggleButtons);
                        break;
                    case 8:
                        xinput.Hold(0, 0);
                        break;
                    default:
                        break;
                }
                UpdateHUD();
            }
            game.ReleaseKey(kToggleKey);
            xinput.Hold(0, 0);
        };
        const auto uiThread = [&] {
            static constexpr std::array<const char*, 6> kMenus{"InventoryMenu",    "MonocleMenu", "DataMenu",
                                                               "SpaceshipHudMenu", "PauseMenu",   "EndGameCreditsMenu"};
            for (int event = 0; event < events; ++event) {
                const char* menu = kMenus[static_cast<std::size_t>(event) % kMenus.size()];
                game.DeliverMenuEvent(menu, true);
                game.DeliverMenuEvent(menu, false);
            }
            --delivering;
        };
        const auto loadingThread = [&] {
            for (int event = 0; event < events; ++event) {
                ++nextSettingsFile;
                game.RaiseEvent(game_facts::kSaveLoadSourceID);
            }
            --delivering;
        };
        const auto subtitleThread = [&] {
            for (int event = 0; event < events; ++event) {
                game.RaiseEvent(game_facts::kSubtitleShownSourceID);
                game.RaiseEvent(event % 2 == 0 ? game_facts::kLocationTextSourceID
                                               : game_facts::kLevelUpWidgetSourceID);
                game.RaiseEvent(game_facts::kSubtitleHiddenSourceID);
            }
            --delivering;
        };
        Threads threads(gameThread, uiThread, loadingThread, subtitleThread);
    }

    // What the threads left must be a state the rules allow, and the quiet
    // that follows must bring the HUD to what they say: hidden in an idle
    // world, unless the toggle key forces it.
    void ExpectAStateTheRulesAllow()
    {
        EXPECT_THAT(game.faults(), ::testing::IsEmpty());
        EXPECT_EQ(game.LiveGameStrings(), 0);
        EXPECT_THAT(static_cast<int>(HUDState.HUDRequest),
                    ::testing::AnyOf(kHUDRequestNone, kHUDRequestDisableQueued, kHUDRequestEnable));
        EXPECT_EQ(HUDState.ToggleKeyHoldTime % 50, 0);
        EXPECT_GE(HUDState.ToggleKeyHoldTime, 0);
        EXPECT_FALSE(HUDState.SubtitlesPlaying) << "the last subtitle event hid it";

        // The loading thread reloaded last from the file it chose last.
        const SettingsFile& last = kSettingsFiles[nextSettingsFile.load() % kSettingsFiles.size()];
        EXPECT_EQ(Settings.bLogging, last.logging);
        EXPECT_EQ(Settings.iKeepHUDShownMS, last.keepShownMs);
        EXPECT_EQ(Settings.iHUDToggle, last.toggleKey);
        EXPECT_EQ(Settings.iHUDToggleGamepad, last.toggleButtons);
        EXPECT_EQ(Settings.iMenuOverriderShipHUDMenu, last.shipHUDOverrider);

        game.ui.SetMenus({{"HUDMenu"}});
        for (int pass = 0; pass < 2000; ++pass) {
            game.AdvanceMs(15);
            UpdateHUD();
        }
        const bool shown = HUDState.HUDToggleOverride && HUDState.bShowHUD;
        EXPECT_EQ(game.ui.HUDShown(), shown)
            << "override " << HUDState.HUDToggleOverride << ", bShowHUD " << HUDState.bShowHUD;
    }

    LogLinesDropped log;
    FakeGame game;
    FakeXInput xinput;

private:
    IniValueReader previousReader_ = nullptr;
};

TEST_F(GameThreadsAtOnce, InTheWorldEverySinkAndPassLeavesAStateTheRulesAllow)
{
    PlayAtOnce(1500);
    ExpectAStateTheRulesAllow();
}

// With the pause menu open, a save loaded also looks the game's objects up
// again and starts the toggle key over, on the loading thread, while the
// passes read both.
TEST_F(GameThreadsAtOnce, AtThePauseMenuLoadsRefreshTheObjectsAndTheToggleKeyAsPassesRun)
{
    game.ui.SetMenus({{"HUDMenu"}, {"PauseMenu"}});
    PlayAtOnce(1500);
    EXPECT_GT(game.calls.lookupForm, 0) << "no save was loaded at the pause menu";
    ExpectAStateTheRulesAllow();
}

}  // namespace
