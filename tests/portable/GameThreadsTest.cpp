// The plugin as the game runs it: the per-frame decision on the game's thread
// (which also reads the settings file again when it changed), the menu sink
// on the UI's, the save/load sink on the loading thread and the subtitle
// sinks (one of which runs a pass itself) on yet another, all at once. Built
// with ThreadSanitizer (preset native-tsan) these tests are the proof that
// the shared state is free of data races; in every build they check that
// what is left afterwards is a state the rules allow.

#include "FakeGame.h"
#include "FakeXInput.h"
#include "GameFacts.h"
#include "Zorvik/LogFileSink.h"
#include "Zorvik/LoggerPortable.h"
#include "events/Events.h"
#include "hud/HUDState.h"
#include "hud/UpdateHUD.h"
#include "settings/Settings.h"
#include "settings/SettingsFileStamp.h"
#include "support/TestThreads.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <spdlog/spdlog.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kToggleKey = 0x70;
constexpr std::uint16_t kToggleButtons = FakeXInput::kBack | FakeXInput::kDPadUp;

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

// ---- The settings a reader takes

// A reader that takes the settings once reads one reload's values, never a
// mix of two, while reloads go on. Here they follow each other as fast as the
// reader lets them, up to two during one look (a save load and a pass that
// found the file changed), far faster than a game ever reloads.
TEST(SettingsAcrossThreads, AReaderTakesOneReloadsValuesNeverAMix)
{
    // Three records that differ in a field at the start, in the middle and at
    // the end, put in force in turn: no count of records kept aside for the
    // readers makes a record come back with the values it last held.
    std::array<SettingsRecord, 3> records{};
    for (std::size_t index = 1; index < records.size(); ++index) {
        const auto step = static_cast<std::int32_t>(index);
        records[index].bShowInCombat = false;
        records[index].iKeepHUDShownMS = 100 * step;
        records[index].fShowBelowHealthPercent = 10.0F * static_cast<float>(step);
        records[index].bReloadSettingsOnChange = index == 1;
    }

    constexpr int kReloads = 20000;
    std::atomic<int> published{0};
    std::atomic<int> looksStarted{0};
    int mixed = 0;
    {
        Threads threads(
            [&] {
                for (int reload = 0; reload < kReloads; ++reload) {
                    while (looksStarted.load() < reload) {
                        std::this_thread::yield();
                    }
                    Settings.Publish(records[static_cast<std::size_t>(reload) % records.size()]);
                    published = reload + 1;
                }
            },
            [&] {
                for (int look = 0; look < kReloads; ++look) {
                    while (published.load() < look) {
                        std::this_thread::yield();
                    }
                    looksStarted = look + 1;
                    // As a pass does: the record taken once, one field read,
                    // the rest later, with time for a reload between.
                    const SettingsRecord& taken = *Settings;
                    const bool combat = taken.bShowInCombat;
                    std::this_thread::yield();
                    SettingsRecord seen = taken;
                    seen.bShowInCombat = combat;
                    mixed += std::ranges::count(records, seen) == 1 ? 0 : 1;
                }
            });
    }
    Settings.RestoreInitialValues();
    EXPECT_EQ(mixed, 0);
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

// Chosen by the loading thread before each save load; read by the reloads,
// and by the game's thread when it looks at the file. Relaxed: an order
// between the threads here would hide a race of the plugin's.
std::atomic<std::size_t> nextSettingsFile{0};

std::size_t NextSettingsFile()
{
    return nextSettingsFile.load(std::memory_order_relaxed);
}

// The file as the file system shows it: each file chosen is a new save.
SettingsFileStamp StampOfNextSettingsFile()
{
    return {.present = true, .lastWriteTime = NextSettingsFile(), .creationTime = 0, .size = 100};
}

bool SettingsFileOpens()
{
    return true;
}

std::string ReadNextSettingsFile(std::string, std::string, std::string key)
{
    const auto& keys = kSettingsFiles[NextSettingsFile() % kSettingsFiles.size()].keys;
    const auto found = keys.find(key);
    return found == keys.end() ? std::string() : found->second;
}

class GameThreadsAtOnce : public ::testing::Test {
protected:
    static constexpr int kRounds = 3;
    static constexpr int kCyclesInTurns = 1500;

    void SetUp() override
    {
        game.SetThreadsCallAtOnce(true);
        Events::RegisterSinks();
        previousReader_ = SettingsFileReader;
        SettingsFileReader = &ReadNextSettingsFile;
        previousFileSystem_ = settingsFileSystem;
        settingsFileSystem = {&StampOfNextSettingsFile, &SettingsFileOpens};
        nextSettingsFile = 0;
        xinput.Connect(0);
    }
    void TearDown() override
    {
        SettingsFileReader = previousReader_;
        settingsFileSystem = previousFileSystem_;
        Settings.RestoreInitialValues();
    }

    // One thing each of the game's threads does, the `n`th time it does it.
    // The game's thread: a frame, a full pass unless `pass` is false; the
    // toggle key is tapped (forcing the HUD) and held (giving it back) in
    // turn, and the controller's toggle buttons held between.
    void Frame(int n, bool pass)
    {
        game.AdvanceMs(16);
        switch (n % 16) {
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
        if (pass) {
            UpdateHUD();
        }
    }
    // The UI's thread: a menu opens, then closes; the credits come last.
    static constexpr std::array<const char*, 6> kMenus{"InventoryMenu",    "MonocleMenu", "DataMenu",
                                                       "SpaceshipHudMenu", "PauseMenu",   "EndGameCreditsMenu"};
    static constexpr int kMenuEventsBeforeCredits = 2 * static_cast<int>(kMenus.size() - 1);
    void MenuEvent(int n)
    {
        game.DeliverMenuEvent(kMenus[static_cast<std::size_t>(n / 2) % kMenus.size()], n % 2 == 0);
    }
    // The loading thread: a save is loaded, with the next settings file.
    void SaveLoaded(int /*n*/)
    {
        nextSettingsFile.fetch_add(1, std::memory_order_relaxed);
        game.RaiseEvent(game_facts::kSaveLoadSourceID);
    }
    // The subtitles' thread: a subtitle shows, a message comes, the subtitle
    // goes (and its sink makes a pass itself).
    void SubtitleEvent(int n)
    {
        static constexpr std::array<std::uint64_t, 4> kEvents{
            game_facts::kSubtitleShownSourceID, game_facts::kLocationTextSourceID, game_facts::kLevelUpWidgetSourceID,
            game_facts::kSubtitleHiddenSourceID};
        const int inCycle = n % 3;
        game.RaiseEvent(inCycle == 0   ? kEvents[0]
                        : inCycle == 1 ? kEvents[1 + static_cast<std::size_t>(n / 3) % 2]
                                       : kEvents[3]);
    }

    // The threads in turns, `cycles` times (a multiple of 3, so that the last
    // subtitle event hides it): every field that two threads share is met by
    // both in some cycle. The frame before a subtitle goes makes no pass, so
    // that the subtitle's own pass is not held back by the gate.
    struct Turns {
        int cycles = 0;
        // A save loaded every so many cycles.
        int cyclesPerSaveLoad = 1;
        // The credits hold every pass off for ten seconds of the game's time
        // after them (625 cycles): in the menus' rotation, the passes of the
        // turns hardly ever walk the rules; once, at the end, they always do
        // before it.
        bool creditsOnceLast = false;
    };
    void PlayInTurns(Turns turns)
    {
        const auto menuInTurn = [turns](int n) {
            const int creditsFrom = turns.cycles - 2;
            if (!turns.creditsOnceLast) {
                return n;
            }
            return n < creditsFrom ? n % kMenuEventsBeforeCredits : kMenuEventsBeforeCredits + n - creditsFrom;
        };
        TakingTurns({[this](int n) { Frame(n, n % 3 != 2); }, [menuInTurn, this](int n) { MenuEvent(menuInTurn(n)); },
                     [turns, this](int n) {
                         if (n % turns.cyclesPerSaveLoad == 0) {
                             SaveLoaded(n);
                         }
                     },
                     [this](int n) { SubtitleEvent(n); }},
                    turns.cycles);
        game.ReleaseKey(kToggleKey);
        xinput.Hold(0, 0);
    }

    // Every thread at once, running freely: `events` events on each event
    // thread, and frames on the game's thread until they are all delivered;
    // here two threads truly meet at the gate and in the middle of a pass.
    void PlayAtOnce(int events)
    {
        // Rounds of threads anew: each start lines the threads up differently.
        for (int round = 0; round < kRounds; ++round) {
            PlayOneRound(events);
        }
    }

    void PlayOneRound(int events)
    {
        std::atomic<int> delivering{3};
        const auto eventThread = [&](auto deliver, int count) {
            return [this, &delivering, deliver, count] {
                for (int n = 0; n < count; ++n) {
                    (this->*deliver)(n);
                }
                --delivering;
            };
        };
        Threads threads(
            [&] {
                for (int frame = 0; delivering.load() > 0 || frame < events; ++frame) {
                    Frame(frame, true);
                }
                game.ReleaseKey(kToggleKey);
                xinput.Hold(0, 0);
            },
            eventThread(&GameThreadsAtOnce::MenuEvent, 2 * events), eventThread(&GameThreadsAtOnce::SaveLoaded, events),
            eventThread(&GameThreadsAtOnce::SubtitleEvent, 3 * events));
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
        EXPECT_EQ(Settings->iKeepHUDShownMS, last.keepShownMs);
        EXPECT_EQ(Settings->iHUDToggle, last.toggleKey);
        EXPECT_EQ(Settings->iHUDToggleGamepad, last.toggleButtons);
        EXPECT_EQ(Settings->iMenuOverriderShipHUDMenu, last.shipHUDOverrider);

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
    SettingsFileSystem previousFileSystem_{};
};

TEST_F(GameThreadsAtOnce, InTheWorldEverySinkAndPassLeavesAStateTheRulesAllow)
{
    PlayInTurns({.cycles = kCyclesInTurns});
    PlayInTurns({.cycles = kCyclesInTurns, .creditsOnceLast = true});
    PlayAtOnce(1500);
    ExpectAStateTheRulesAllow();
}

// With the pause menu open, a save loaded also looks the game's objects up
// again and starts the toggle key over, on the loading thread, while the
// passes read both and the toggle key writes them: in turns first, so that
// each such pair meets whatever the scheduler does. A load there starts the
// toggle key's time gate (300 ms) over: in turns a load every 32 frames
// (512 ms of the game's time), so that the toggle key acts between loads.
TEST_F(GameThreadsAtOnce, AtThePauseMenuLoadsRefreshTheObjectsAndTheToggleKeyAsPassesRun)
{
    game.ui.SetMenus({{"HUDMenu"}, {"PauseMenu"}});
    PlayInTurns({.cycles = kCyclesInTurns, .cyclesPerSaveLoad = 32, .creditsOnceLast = true});
    PlayAtOnce(1500);
    EXPECT_GT(game.calls.lookupForm, 0) << "no save was loaded at the pause menu";
    ExpectAStateTheRulesAllow();
}

// Every thread writing its lines through the plugin's own logger into the log
// file, as in a game where bLogging is on: each line reaches the file whole,
// none cut into by another thread's. (The other tests drop the lines: the
// logger's lock would order the threads and hide a race of the plugin's.)
TEST_F(GameThreadsAtOnce, EveryThreadWritesWholeLinesIntoTheLogFile)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("lumenveil-threads-" + std::to_string(std::random_device{}()));
    const std::filesystem::path logFile = folder / "plugin.log";
    {
        const auto previous = spdlog::default_logger();
        spdlog::set_default_logger(
            Zorvik::log::detail::make_logger({std::make_shared<Zorvik::log::detail::log_file_sink>(logFile)}));
        PlayOneRound(300);
        spdlog::set_default_logger(previous);
    }

    std::ifstream in(logFile, std::ios::binary);
    const std::regex whole(R"(\[\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{6}\] \[Zorvik\] \[(info|warning|error)\] )"
                           R"(\[[\w/]+\.(cpp|h):\d+\] \[(\w+)\] .*)");
    std::map<std::string, int> linesBy;
    int broken = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.ends_with('\r')) {
            line.pop_back();
        }
        std::smatch parts;
        if (!std::regex_match(line, parts, whole) || line.find("[Zorvik]") != line.rfind("[Zorvik]")) {
            ++broken;
            continue;
        }
        ++linesBy[parts[3]];
    }
    in.close();
    std::filesystem::remove_all(folder);
    EXPECT_EQ(broken, 0);
    // Lines of the passes, the sinks and the reloads were among them.
    EXPECT_THAT(linesBy, ::testing::IsSupersetOf({::testing::Key("UpdateHUD"), ::testing::Key("ProcessEvent"),
                                                  ::testing::Key("ReloadINI")}));
}

}  // namespace
