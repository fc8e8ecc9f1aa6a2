#pragma once

#include "CallCount.h"
#include "Clock.h"
#include "GameFacts.h"
#include "GameObjects.h"
#include "ObjectBytes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

// The executable that links this plays the game (a test, a benchmark or the
// simulated game): its own free functions stand for the game's functions, its
// own byte buffers for the game's objects, laid out at the game's offsets.
// Every address-library ID of the game (GameFacts.h) resolves to one of them,
// natively through REL::native and under Wine through an address-library file
// written for this executable. The game's facts are the fake's own: it never
// asks the plugin where a field lies or what an ID is.

// The installed game for one test, one benchmark or one simulated session. Construction installs the
// game functions' addresses and the clock, and starts from a player standing
// idle in the world an hour after the game started: every object present, HUD
// shown, "HUDMenu" on the menu stack, nothing asking for the HUD. Settings are
// those of a fresh process (nothing of the settings file read yet), the HUD
// state record and the gamepad polls are fresh, and the eight
// cached pointers point at the fake objects as LoadStaticVariables would set
// them. Destruction clears the cached pointers, the state and the keys.
class FakeGame {
public:
    // Where the plugin's IDs resolve: in this process, for a plugin linked
    // into it; or nowhere yet, for a plugin DLL that loads the address
    // library the simulated game writes into its game folder.
    enum class Addresses { InThisProcess, LeftToThePluginDll };

    explicit FakeGame(Addresses addresses = Addresses::InThisProcess);
    ~FakeGame();
    FakeGame(const FakeGame&) = delete;
    FakeGame& operator=(const FakeGame&) = delete;

    // --- The clock: the decision reads only this; nothing sleeps.
    static constexpr Clock::Nanoseconds kStartTime = Clock::FromMilliseconds(3'600'000);
    [[nodiscard]] Clock::Nanoseconds Now() const noexcept;
    void SetNow(Clock::Nanoseconds now) noexcept;
    void AdvanceMs(std::int64_t milliseconds) noexcept;
    void AdvanceNs(Clock::Nanoseconds nanoseconds) noexcept;
    // Each reading moves the clock on by `step` once it is taken, as a real
    // clock moves between two readings of one pass.
    void SetStepPerReading(Clock::Nanoseconds step) noexcept;

    // --- Keys (Windows virtual-key codes), as the calling thread sees them.
    void PressKey(int virtualKey);
    void ReleaseKey(int virtualKey);

    // --- Game globals: what the pointers at the UI, player and auto-aim IDs hold.
    void SetGameUIPointer(RE::UI* ui) noexcept;
    void SetGamePlayerPointer(RE::Actor* player) noexcept;
    void SetGameAutoAimPointer(RE::AutoAim* autoAim) noexcept;
    // The cached pointers of LoadStaticVariables, all null.
    void ClearCachedPointers() noexcept;
    // Sets them to this game's objects, by LoadStaticVariables itself (every
    // form must be present: a missing one ends the process as in the game).
    void SetCachedPointers();

    // --- Forms by form ID; a missing one makes LookupFormByID give null.
    void SetFormMissing(std::uint32_t formID, bool missing = true);
    [[nodiscard]] RE::TESQuest* MQ305() noexcept { return mq305_.as<RE::TESQuest>(); }
    [[nodiscard]] RE::TESQuest* MQ301() noexcept { return mq301_.as<RE::TESQuest>(); }
    [[nodiscard]] RE::ActorValueInfo* HealthAV() noexcept { return health_.as<RE::ActorValueInfo>(); }
    [[nodiscard]] RE::ActorValueInfo* OxygenAV() noexcept { return oxygen_.as<RE::ActorValueInfo>(); }
    [[nodiscard]] RE::ActorValueInfo* BoostPackAV() noexcept { return boostPack_.as<RE::ActorValueInfo>(); }
    [[nodiscard]] RE::AutoAim* AutoAim() noexcept { return static_cast<RE::AutoAim*>(autoAim_.data()); }

    // --- Quests: stages done. Idle world: MQ301 stage 0 done, MQ305 stage 2000 not.
    void SetStageDone(RE::TESQuest* quest, std::uint16_t stage, bool done);

    // --- The player's state behind the game's functions.
    void SetActorValuePercent(const RE::ActorValueInfo* actorValue, float percent);
    float vehicleValue = 0.0F;
    std::uint8_t gameMenuPaused = 0;  // the game's byte: any value but 0 pauses
    bool sneaking = false;
    bool jumping = false;
    bool overencumbered = false;
    bool hostilesNear = false;

    // --- The auto-aim object: its data (present or null) and the data's target.
    void SetAutoAimData(bool present) noexcept;
    void SetAutoAimTarget(RE::TESObjectREFR* target) noexcept;

    // The address an ID of the target virtual-table lists resolves to. Two
    // addresses are deliberately shared between lists, so that a reference can
    // be in list A and also in list B or C: kTableInListsAAndB, kTableInListsAAndC.
    [[nodiscard]] static std::uintptr_t VirtualTableOf(std::uint64_t id);
    static const std::uint64_t kTableInListsAAndB;  // an ID of list A, same address as one of list B
    static const std::uint64_t kTableInListsAAndC;  // an ID of list A, same address as one of list C
    // The event source that the source function of an ID returns.
    [[nodiscard]] static const void* EventSource(std::uint64_t id);
    // The UI's menu open/close event source, inside the UI object.
    [[nodiscard]] const void* MenuOpenCloseSource() noexcept;

    // --- Events, raised as the game does: slot 1 of every sink registered
    // with the source, called with (sink, event address, source), in the
    // order of registration. Returns how many sinks were called.
    // An event of one of the seven sources by their IDs; the plugin reads
    // none of these events' contents.
    int RaiseEvent(std::uint64_t sourceID);
    // A menu opening or closing: the menu stack changes first, then the event
    // carries the name as a game string handle, released afterwards.
    int RaiseMenuEvent(const char* menu, bool opening);
    // The same with the opening flag as the raw byte the game writes: any
    // non-zero value opens.
    int RaiseMenuEventWithOpeningByte(const char* menu, std::uint8_t opening);
    // Only the event, on the calling thread, as the game's UI thread delivers
    // it: the menu stack is left as it is.
    int DeliverMenuEvent(const char* menu, bool opening);

    // --- Several of the game's threads at once. A test that plays them turns
    // this on before they start: the game then gives each thread game
    // strings of its own, counts calls without ordering the threads, and
    // keeps no record of each call's arguments (the lists below stay empty).
    // Nothing in the fake then synchronises the threads, so that a race of
    // the plugin's is not hidden by a lock of the fake's.
    void SetThreadsCallAtOnce(bool on) noexcept
    {
        threadsCallAtOnce_ = on;
        fake::CallCount::SetThreadsCountAtOnce(on);
    }
    [[nodiscard]] bool RecordsEachCall() const noexcept { return !threadsCallAtOnce_; }

    // --- The per-frame game function (game_facts::kPerFrameFunctionID), called
    // as the game calls it once per frame. Its call at kPerFrameCallOffset reaches
    // the next per-frame function, which counts frames and answers
    // FrameAnswer(token), also through the plugin's thunk once patched.
    static std::uint64_t RunFrame(std::uint64_t token);
    // The function behind the call, called directly: what a frame costs the
    // game without the plugin's hook.
    static std::uint64_t RunFrameTargetDirectly(std::uint64_t token);
    [[nodiscard]] static constexpr std::uint64_t FrameAnswer(std::uint64_t token) noexcept
    {
        return (token * 3) ^ 0x5A5A'5A5A'5A5A'5A5AULL;
    }
    // Frames that reached the per-frame function behind the call.
    [[nodiscard]] static std::uint64_t FramesReached() noexcept;
    [[nodiscard]] static std::uintptr_t PerFrameFunction() noexcept;
    // The 5-byte call inside it that reaches the frame.
    [[nodiscard]] static std::uintptr_t PerFrameCallSite() noexcept;

#ifdef _WIN32
    // Writes this executable's address library (every ID of the game's facts,
    // both store builds' file names) into a game folder's Data\Zorvik\Plugins.
    // `perFrameFunctionOffset` gives the per-frame function another offset
    // from the executable's base, as a damaged or foreign library may.
    static void WriteAddressLibrary(const std::filesystem::path& gameFolder,
                                    std::optional<std::uint64_t> perFrameFunctionOffset = std::nullopt);
    // What another plugin or another build of the game may leave at the call
    // site: `opcode` in its first byte (0xE9 for a jump), the displacement
    // kept. game_facts::kCallRel32Opcode puts the call back.
    static void SetPerFrameCallOpcode(std::uint8_t opcode);
#endif
    // The address of the sound object passed to the sound function.
    [[nodiscard]] static const void* UISoundObject() noexcept;

    // --- What the plugin asked of the game.
    struct Calls {
        fake::CallCount isGameMenuPaused = 0;
        fake::CallCount isMenuOpen = 0;
        fake::CallCount isSneaking = 0;
        fake::CallCount isJumping = 0;
        fake::CallCount isOverencumbered = 0;
        fake::CallCount hostileActorsNear = 0;
        fake::CallCount isInCombat = 0;
        fake::CallCount actorValuePercent = 0;
        fake::CallCount vehicleValue = 0;
        fake::CallCount isStageDone = 0;
        fake::CallCount lookupForm = 0;
    };
    Calls calls;
    void ClearRecords();
    // Sources passed to RegisterSink with their sinks, in order.
    std::vector<std::pair<const void*, const void*>> registeredSinks;
    // Arguments of SetHUDMenusVisible, in order.
    std::vector<bool> hudVisibleCalls;
    // Editor IDs passed to the sound function, and the volumes.
    std::vector<std::string> sounds;
    std::vector<double> soundVolumes;
    // Form IDs passed to LookupFormByID, in order.
    std::vector<std::uint32_t> formLookups;
    // Names asked about through IsMenuOpen, in order (a copy; the record
    // itself allocates nothing).
    [[nodiscard]] std::vector<std::string> MenusAskedAbout() const;
    [[nodiscard]] int GameStringsMade() const noexcept
    {
        return stringsMade_;
    }
    [[nodiscard]] int GameStringsReleased() const noexcept
    {
        return stringsReleased_;
    }
    [[nodiscard]] int LiveGameStrings() const noexcept;
    // Calls the game would not survive: wrong arguments, a released string used.
    [[nodiscard]] const std::vector<std::string>& faults() const noexcept
    {
        return faults_;
    }

    fake::UI ui;
    fake::Actor player;

    // The installed game, for the game functions. Inline: every game
    // function asks for it, and the benchmarks measure the plugin, not this.
    [[nodiscard]] static FakeGame& Current()
    {
        if (installed_ == nullptr) {
            NoGameInstalled();
        }
        return *installed_;
    }
    // The same, or null: the exit guard runs whether a game is installed or not.
    [[nodiscard]] static FakeGame* Installed() noexcept
    {
        return installed_;
    }

    // Used by the game functions. A game string handle points to a
    // string-pool entry laid out as the game's (GameFacts.h): the characters,
    // or the flag that it refers on to another entry.
    static constexpr std::size_t kStringCharacters = game_facts::kEntryCharactersOffset;
    struct GameStringEntry {
        bool live = false;
        fake::ObjectBytes<kStringCharacters + 64> bytes;
    };
    [[nodiscard]] const void* MakeString(const char* text);
    bool ReleaseString(const void* entry);
    // The text of a live entry, or null.
    [[nodiscard]] const char* LiveString(const void* entry) const;
    // An entry that refers on to a new entry holding the text; releasing it
    // releases both.
    [[nodiscard]] const void* MakeReferringString(const char* text);
    void RecordMenuQuestion(const char* name);
    void Fault(std::string message);
    [[nodiscard]] RE::TESForm* FormByID(std::uint32_t formID);
    [[nodiscard]] bool StageDone(const RE::TESQuest* quest, std::uint16_t stage) const;
    [[nodiscard]] float ActorValuePercent(const RE::ActorValueInfo* actorValue) const;

private:
    fake::Form mq305_;
    fake::Form mq301_;
    fake::Form health_;
    fake::Form oxygen_;
    fake::Form boostPack_;
    fake::ObjectBytes<0x08> autoAim_;
    fake::ObjectBytes<0xE0> autoAimData_;

    std::set<std::uint32_t> missingForms_;
    std::set<std::pair<const void*, std::uint16_t>> doneStages_;
    std::map<const void*, float> percents_;
    std::set<int> pressedKeys_;

    std::array<GameStringEntry, 16> strings_{};
    fake::CallCount stringsMade_ = 0;
    fake::CallCount stringsReleased_ = 0;
    fake::CallCount liveThreadStrings_ = 0;
    std::array<std::array<char, 32>, 64> menuQuestions_{};
    std::size_t menuQuestionCount_ = 0;

    int menuEventsRaised_ = 0;

    std::array<GameStringEntry, 16>& StringPool();
    GameStringEntry* FreeStringEntry();
    GameStringEntry* LiveStringEntry(const void* entry);
    const GameStringEntry* LiveStringEntry(const void* entry) const;
    int RaiseEventAt(const void* source, const void* event);
    int DeliverMenuEventWithOpeningByte(const char* menu, std::uint8_t opening);

    std::vector<std::string> faults_;

    bool threadsCallAtOnce_ = false;

    static inline FakeGame* installed_ = nullptr;
    [[noreturn]] static void NoGameInstalled();
};
