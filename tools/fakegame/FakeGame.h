#pragma once

#include "Clock.h"
#include "GameFacts.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

// The executable that links this plays the game (a test, a benchmark or the
// simulated game): its own free functions stand for the game's functions, its
// own byte buffers for the game's objects, laid out at the game's offsets.
// Every address-library ID of the game (GameFacts.h) resolves to one of them,
// natively through REL::native and under Wine through an address-library file
// written for this executable. The game's facts are the fake's own: it never
// asks the plugin where a field lies or what an ID is.

// The game's types as the plugin names them; to the game they are only
// addresses of its objects.
namespace RE {
struct TESForm;
struct TESQuest;
struct ActorValueInfo;
struct Actor;
struct TESObjectREFR;
struct UI;
struct AutoAim;
}  // namespace RE

namespace fake {

// The game's form IDs of the objects the plugin looks up.
inline constexpr std::uint32_t kMQ305FormID = game_facts::kMQ305FormID;
inline constexpr std::uint32_t kMQ301FormID = game_facts::kMQ301FormID;
inline constexpr std::uint32_t kHealthFormID = game_facts::kHealthFormID;
inline constexpr std::uint32_t kOxygenFormID = game_facts::kOxygenFormID;
inline constexpr std::uint32_t kBoostPackFormID = game_facts::kBoostPackFormID;

// Bytes of a game object; fields are written and read at the game's offsets.
template <std::size_t Size>
class ObjectBytes {
public:
    template <class T>
    void write(std::size_t offset, T value) noexcept
    {
        static_assert(std::is_trivially_copyable_v<T>);
        static_assert(!std::is_null_pointer_v<T>, "the bytes of nullptr are unspecified: write a typed null");
        RequireInside(offset, sizeof(value));
        std::memcpy(bytes_.data() + offset, &value, sizeof(value));
    }
    template <class T>
    [[nodiscard]] T read(std::size_t offset) const noexcept
    {
        T value;
        RequireInside(offset, sizeof(value));
        std::memcpy(&value, bytes_.data() + offset, sizeof(value));
        return value;
    }
    [[nodiscard]] void* data() noexcept { return bytes_.data(); }
    [[nodiscard]] const void* data() const noexcept { return bytes_.data(); }

private:
    // A field the game keeps outside the object is a fault of the fake itself.
    static void RequireInside(std::size_t offset, std::size_t width) noexcept
    {
        if (offset > Size || width > Size - offset) {
            std::fprintf(stderr, "FakeGame: a field at 0x%zX lies outside an object of 0x%zX bytes\n", offset, Size);
            std::abort();
        }
    }

    alignas(16) std::array<std::byte, Size> bytes_{};
};

// One entry of the UI's menu stack: a menu by name ("HUDMenu" converts), a
// null entry, or a menu whose name function gives null.
struct MenuEntry {
    MenuEntry(const char* menuName) : name(menuName) {}
    [[nodiscard]] static MenuEntry Null();
    [[nodiscard]] static MenuEntry Nameless();

    std::optional<std::string> name;
    bool nullEntry = false;
};

// The game's UI object: the menu stack (count and array of menu pointers) and
// the byte that is non-zero while the HUD menus are shown.
class UI {
public:
    UI();
    ~UI();
    UI(const UI&) = delete;
    UI& operator=(const UI&) = delete;

    [[nodiscard]] RE::UI* get() noexcept { return static_cast<RE::UI*>(bytes_.data()); }

    // Bottom of the stack first.
    void SetMenus(std::vector<MenuEntry> stack);
    [[nodiscard]] bool HasMenuNamed(const char* name) const;
    // A menu opens on top of the stack; closing removes its topmost entry.
    void OpenMenu(const char* name);
    void CloseMenu(const char* name);

    void SetHUDShown(bool shown) noexcept;
    [[nodiscard]] bool HUDShown() const noexcept;
    // The menu open/close event source, inside the UI object.
    [[nodiscard]] const void* MenuOpenCloseSource() const noexcept;

    // The UI object behind a game pointer, or null when it is none of ours.
    [[nodiscard]] static UI* Find(const RE::UI* object);

private:
    // A game menu: its virtual table pointer first, whose name slot gives `name`.
    struct MenuObject {
        const std::uintptr_t* vtable;
        const char* name;
    };

    ObjectBytes<game_facts::kUIObjectSize> bytes_;
    std::vector<MenuEntry> entries_;
    std::deque<std::string> names_;
    std::deque<MenuObject> menus_;
    std::vector<void*> stack_;
};

// An actor: weapon state, parent cell and the virtual table whose in-combat
// slot answers from `inCombat`.
class Actor {
public:
    Actor();
    Actor(const Actor&) = delete;
    Actor& operator=(const Actor&) = delete;

    [[nodiscard]] RE::Actor* get() noexcept { return static_cast<RE::Actor*>(bytes_.data()); }
    void SetWeaponState(std::uint32_t state) noexcept;
    void SetInCell(bool inCell) noexcept;

    bool inCombat = false;

    [[nodiscard]] static Actor* Find(const void* object);

private:
    ObjectBytes<0x100> bytes_;
    ObjectBytes<0x10> cell_;
};

// A reference: virtual-table address in its first word, flags, base object
// with its form type.
class Reference {
public:
    Reference();
    Reference(const Reference&) = delete;
    Reference& operator=(const Reference&) = delete;

    [[nodiscard]] RE::TESObjectREFR* get() noexcept { return static_cast<RE::TESObjectREFR*>(bytes_.data()); }
    void SetVirtualTable(std::uintptr_t address) noexcept;
    void SetFlags(std::uint32_t flags) noexcept;
    // A base object of that form type; RemoveBaseObject leaves the pointer null.
    void SetBaseFormType(std::uint8_t formType) noexcept;
    void RemoveBaseObject() noexcept;

private:
    ObjectBytes<0xA0> bytes_;
    ObjectBytes<0x30> base_;
};

// A form of no particular layout: quests and actor-value forms.
class Form {
public:
    Form() = default;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    template <class T>
    [[nodiscard]] T* as() noexcept
    {
        return static_cast<T*>(bytes_.data());
    }

private:
    ObjectBytes<0x40> bytes_;
};

}  // namespace fake

// The installed game for one test, one benchmark or one simulated session. Construction installs the
// game functions' addresses and the clock, and starts from a player standing
// idle in the world an hour after the game started: every object present, HUD
// shown, "HUDMenu" on the menu stack, nothing asking for the HUD. Settings are
// those of a fresh process, the HUD state record is fresh, and the eight
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
    // Sets them to the fake objects again.
    void SetCachedPointers() noexcept;

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
    bool gameMenuPaused = false;
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
        int isGameMenuPaused = 0;
        int isMenuOpen = 0;
        int isSneaking = 0;
        int isJumping = 0;
        int isOverencumbered = 0;
        int hostileActorsNear = 0;
        int isInCombat = 0;
        int actorValuePercent = 0;
        int vehicleValue = 0;
        int isStageDone = 0;
        int lookupForm = 0;
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

    // The installed game, for the game functions.
    [[nodiscard]] static FakeGame& Current();

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
    int stringsMade_ = 0;
    int stringsReleased_ = 0;
    std::array<std::array<char, 32>, 64> menuQuestions_{};
    std::size_t menuQuestionCount_ = 0;

    int menuEventsRaised_ = 0;

    GameStringEntry* FreeStringEntry();
    GameStringEntry* LiveStringEntry(const void* entry);
    const GameStringEntry* LiveStringEntry(const void* entry) const;
    int RaiseEventAt(const void* source, const void* event);

    std::vector<std::string> faults_;
};
