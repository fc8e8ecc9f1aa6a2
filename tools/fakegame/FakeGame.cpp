#include "FakeGame.h"

#include "REL/ID.h"
#include "hud/CachedGameObjects.h"
#include "hud/HUDState.h"
#include "hud/KeyState.h"
#include "settings/Settings.h"

#ifdef _WIN32
#include "AddressLibraryWriter.h"
#include "REL/Module.h"

#include <windows.h>
#else
#include "REL/NativeAddresses.h"
#endif

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string_view>

// The per-frame game function whose call the plugin hooks: like the game's, it
// reaches the next per-frame function through a 5-byte `call rel32` at offset
// 0x6F (game_facts::kPerFrameCallOffset), so that the patched call and the
// plugin's thunk run for real. The
// argument and the result pass through untouched; FakeGameFrame counts the
// frame and answers from the argument, so a caller can tell the thunk kept
// both. The 4-byte stack adjustment plus 0x6B filler bytes put the call at
// 0x6F; FakeGame checks the byte there before any test relies on it. The
// call's target is preceded by int3 padding, as the game's compiler pads
// between functions, so a thunk that continues one byte off traps.
extern "C" {
std::uint64_t FakeMainLoopFunction(std::uint64_t token);
std::uint64_t FakeGameFrame(std::uint64_t token);
}

#ifdef _WIN32
asm(R"(
    .text
    .p2align 4
    .globl FakeMainLoopFunction
    .def FakeMainLoopFunction; .scl 2; .type 32; .endef
    .seh_proc FakeMainLoopFunction
FakeMainLoopFunction:
    subq $40, %rsp
    .seh_stackalloc 40
    .seh_endprologue
    .fill 0x6B, 1, 0x90
    call FakeGameFrameEntry
    addq $40, %rsp
    ret
    .seh_endproc
    .p2align 4
    .fill 15, 1, 0xCC
FakeGameFrameEntry:
    jmp FakeGameFrame
)");
#else
asm(R"(
    .text
    .p2align 4
    .globl FakeMainLoopFunction
    .type FakeMainLoopFunction, @function
FakeMainLoopFunction:
    subq $40, %rsp
    .fill 0x6B, 1, 0x90
    call FakeGameFrameEntry
    addq $40, %rsp
    ret
    .size FakeMainLoopFunction, .-FakeMainLoopFunction
    .p2align 4
    .fill 15, 1, 0xCC
FakeGameFrameEntry:
    jmp FakeGameFrame
)");
#endif

static_assert(4 + 0x6B == game_facts::kPerFrameCallOffset, "the filler of FakeMainLoopFunction puts its call there");

namespace {

std::atomic<std::uint64_t> framesReached{0};

}  // namespace

std::uint64_t FakeGameFrame(std::uint64_t token)
{
    framesReached.fetch_add(1, std::memory_order_relaxed);
    return FakeGame::FrameAnswer(token);
}

namespace {

FakeGame* installed = nullptr;
constexpr int kExitAfterFaults = 3;

// ---- The game's globals: pointers the plugin reads at the IDs' addresses.
RE::UI* gameUIPointer = nullptr;
RE::Actor* gamePlayerPointer = nullptr;
RE::AutoAim* gameAutoAimPointer = nullptr;
// Passed to the sound function as is; never read.
std::array<std::byte, 16> uiSoundObject{};
// Stand-ins for the game's event sources.
std::array<std::array<std::byte, 16>, 7> eventSources{};

constexpr auto& kEventSourceIDs = game_facts::kEventSourceIDs;

// The virtual tables of the target lists: one word each, compared by address
// only. The last two IDs of list A share the address of an ID of list B and
// of list C, so that the rule for a table in two lists can be tested.
constexpr std::size_t kListA = game_facts::kReferenceTablesA.size();
constexpr std::size_t kListB = game_facts::kReferenceTablesB.size();
constexpr std::size_t kListC = game_facts::kReferenceTablesC.size();
std::array<std::uintptr_t, kListA + kListB + kListC> referenceVTables{};

std::size_t VirtualTableIndex(std::uint64_t id)
{
    const auto& a = game_facts::kReferenceTablesA;
    const auto& b = game_facts::kReferenceTablesB;
    const auto& c = game_facts::kReferenceTablesC;
    if (id == a[kListA - 2]) {
        return kListA + kListB - 1;  // the address of list B's last ID
    }
    if (id == a[kListA - 1]) {
        return kListA + kListB + kListC - 1;  // the address of list C's last ID
    }
    if (const auto found = std::find(a.begin(), a.end(), id); found != a.end()) {
        return static_cast<std::size_t>(found - a.begin());
    }
    if (const auto found = std::find(b.begin(), b.end(), id); found != b.end()) {
        return kListA + static_cast<std::size_t>(found - b.begin());
    }
    if (const auto found = std::find(c.begin(), c.end(), id); found != c.end()) {
        return kListA + kListB + static_cast<std::size_t>(found - c.begin());
    }
    std::fprintf(stderr, "FakeGame: %llu is no ID of the target virtual-table lists\n",
                 static_cast<unsigned long long>(id));
    std::abort();
}

// ---- The clock.
Clock::Nanoseconds clockNow = 0;
Clock::Nanoseconds clockStep = 0;

Clock::Nanoseconds FakeClockReading()
{
    const Clock::Nanoseconds reading = clockNow;
    clockNow += clockStep;
    return reading;
}

// ---- Keys.
void SetKeyDown(int virtualKey, bool down)
{
#ifdef _WIN32
    // SetKeyboardState sets the key state of the calling thread, which is what
    // GetKeyState reads (also under Wine).
    std::array<BYTE, 256> state{};
    GetKeyboardState(state.data());
    state[static_cast<std::size_t>(virtualKey)] = down ? 0x80 : 0;
    SetKeyboardState(state.data());
#else
    SetNativeKeyDown(virtualKey, down);
#endif
}

void ReleaseAllKeys()
{
#ifdef _WIN32
    std::array<BYTE, 256> state{};
    SetKeyboardState(state.data());
#else
    for (int key = 0; key < 256; ++key) {
        SetNativeKeyDown(key, false);
    }
#endif
}

// ---- The game's functions, with the signatures the game calls them by.

// The forms this game holds; it may be told to lose one (SetFormMissing).
bool IsGameForm(std::uint32_t formID)
{
    return formID == game_facts::kMQ305FormID || formID == game_facts::kMQ301FormID ||
           formID == game_facts::kHealthFormID || formID == game_facts::kOxygenFormID ||
           formID == game_facts::kBoostPackFormID;
}

// A game string handle is one pointer to a string-pool entry, in memory the
// caller owns.
const void* HandleEntry(const RE::GameString* handle)
{
    const void* entry = nullptr;
    std::memcpy(&entry, static_cast<const void*>(handle), sizeof(entry));
    return entry;
}

void SetHandleEntry(RE::GameString* handle, const void* entry)
{
    std::memcpy(static_cast<void*>(handle), &entry, sizeof(entry));
}

RE::TESForm* FakeLookupFormByID(std::uint32_t formID)
{
    auto& game = FakeGame::Current();
    ++game.calls.lookupForm;
    game.formLookups.push_back(formID);
    if (!IsGameForm(formID)) {
        char text[96];
        std::snprintf(text, sizeof(text), "LookupFormByID(0x%X): the game has no such form", formID);
        game.Fault(text);
    }
    return game.FormByID(formID);
}

bool FakeIsStageDone(RE::TESQuest* quest, std::uint16_t stage)
{
    auto& game = FakeGame::Current();
    ++game.calls.isStageDone;
    return game.StageDone(quest, stage);
}

void RequirePlayer(FakeGame& game, const RE::Actor* actor, const char* function)
{
    if (actor != game.player.get()) {
        game.Fault(std::string(function) + " called on an actor that is not the player");
    }
}

bool FakeIsSneaking(RE::Actor* actor)
{
    auto& game = FakeGame::Current();
    ++game.calls.isSneaking;
    RequirePlayer(game, actor, "IsSneaking");
    return game.sneaking;
}

bool FakeIsJumping(RE::Actor* actor)
{
    auto& game = FakeGame::Current();
    ++game.calls.isJumping;
    RequirePlayer(game, actor, "IsJumping");
    return game.jumping;
}

bool FakeIsOverencumbered(RE::Actor* actor)
{
    auto& game = FakeGame::Current();
    ++game.calls.isOverencumbered;
    RequirePlayer(game, actor, "IsOverencumbered");
    return game.overencumbered;
}

bool FakeHostileActorsNear()
{
    auto& game = FakeGame::Current();
    ++game.calls.hostileActorsNear;
    return game.hostilesNear;
}

// The game writes the result through the last argument; it expects the
// address of a variable holding the player and a float set to 0.0.
void CheckPlayerOutCall(FakeGame& game, RE::Actor** player, const float* out, const char* function)
{
    if (player == nullptr || *player != game.player.get()) {
        game.Fault(std::string(function) + " without the address of a variable holding the player");
    }
    if (out == nullptr || *out != 0.0F) {
        game.Fault(std::string(function) + " without the address of a float set to 0.0");
    }
}

void FakeGetActorValuePercent(RE::Actor** player, RE::ActorValueInfo* actorValue, std::uint64_t zero, float* percent)
{
    auto& game = FakeGame::Current();
    ++game.calls.actorValuePercent;
    CheckPlayerOutCall(game, player, percent, "GetActorValuePercent");
    if (zero != 0) {
        game.Fault("GetActorValuePercent with a non-zero third argument");
    }
    if (percent != nullptr) {
        *percent = game.ActorValuePercent(actorValue);
    }
}

void FakeGetPlayerVehicleValue(RE::Actor** player, std::uint64_t zero1, std::uint64_t zero2, float* value)
{
    auto& game = FakeGame::Current();
    ++game.calls.vehicleValue;
    CheckPlayerOutCall(game, player, value, "GetPlayerVehicleValue");
    if (zero1 != 0 || zero2 != 0) {
        game.Fault("GetPlayerVehicleValue with non-zero middle arguments");
    }
    if (value != nullptr) {
        *value = game.vehicleValue;
    }
}

bool FakeIsGameMenuPaused()
{
    auto& game = FakeGame::Current();
    ++game.calls.isGameMenuPaused;
    return game.gameMenuPaused;
}

bool FakeIsMenuOpen(RE::UI* object, const RE::GameString* name)
{
    auto& game = FakeGame::Current();
    ++game.calls.isMenuOpen;
    const fake::UI* ui = fake::UI::Find(object);
    if (ui == nullptr) {
        game.Fault("IsMenuOpen on an object that is not the UI");
        return false;
    }
    const char* text = name == nullptr ? nullptr : game.LiveString(HandleEntry(name));
    if (text == nullptr) {
        game.Fault("IsMenuOpen with a game string that was never made or is already released");
        return false;
    }
    game.RecordMenuQuestion(text);
    return ui->HasMenuNamed(text);
}

void FakeMakeGameString(RE::GameString* handle, const char* text, std::uint64_t zero)
{
    auto& game = FakeGame::Current();
    if (handle == nullptr || text == nullptr || zero != 0) {
        game.Fault("MakeGameString needs a handle, a text and 0");
        return;
    }
    SetHandleEntry(handle, game.MakeString(text));
}

void FakeReleaseGameString(RE::GameString* handle)
{
    auto& game = FakeGame::Current();
    if (handle == nullptr || !game.ReleaseString(HandleEntry(handle))) {
        game.Fault("ReleaseGameString on a string that is not live");
        return;
    }
    SetHandleEntry(handle, nullptr);
}

void FakeSetHUDMenusVisible(void* zero1, void* zero2, void* zero3, bool show)
{
    auto& game = FakeGame::Current();
    if (zero1 != nullptr || zero2 != nullptr || zero3 != nullptr) {
        game.Fault("SetHUDMenusVisible with non-zero leading arguments");
    }
    game.hudVisibleCalls.push_back(show);
    if (fake::UI* ui = fake::UI::Find(gameUIPointer)) {
        ui->SetHUDShown(show);
    }
}

void FakePlayUISound(std::uint32_t* out, const char* soundEditorID, void* soundObject, double volume)
{
    auto& game = FakeGame::Current();
    if (out == nullptr || *out != 0) {
        game.Fault("PlayUISound without an output integer set to 0");
    }
    if (soundObject != uiSoundObject.data()) {
        game.Fault("PlayUISound without the game's sound object");
    }
    game.sounds.emplace_back(soundEditorID == nullptr ? "<null>" : soundEditorID);
    game.soundVolumes.push_back(volume);
}

bool IsEventSource(const void* source);

void FakeRegisterSink(void* source, void* sink)
{
    auto& game = FakeGame::Current();
    if (!IsEventSource(source)) {
        game.Fault("RegisterSink with a source that is no event source of the game");
    }
    if (sink == nullptr) {
        game.Fault("RegisterSink without a sink");
    }
    game.registeredSinks.emplace_back(source, sink);
}

template <std::size_t Index>
void* FakeEventSource()
{
    return eventSources[Index].data();
}

// The menu's virtual function in its name slot. The fake's menu object keeps
// the name right after its virtual-table pointer.
struct MenuObjectView {
    const std::uintptr_t* vtable;
    const char* name;
};
const char* FakeMenuName(void* menu)
{
    return static_cast<const MenuObjectView*>(menu)->name;
}

bool FakeActorIsInCombat(void* object)
{
    auto& game = FakeGame::Current();
    ++game.calls.isInCombat;
    const fake::Actor* actor = fake::Actor::Find(object);
    if (actor == nullptr) {
        game.Fault("in-combat slot called on an object that is not an actor");
        return false;
    }
    return actor->inCombat;
}

// Every other slot of the fake's virtual tables: the game has functions
// there, but none that the plugin has any business calling.
bool UnexpectedActorCall(void*)
{
    FakeGame::Current().Fault("a virtual function of an actor other than its in-combat slot was called");
    return false;
}

const char* UnexpectedMenuCall(void*)
{
    FakeGame::Current().Fault("a virtual function of a menu other than its name slot was called");
    return nullptr;
}

template <class Function>
std::uintptr_t AddressOfFunction(Function* function)
{
    return reinterpret_cast<std::uintptr_t>(function);
}

// Tables reach some slots beyond the one used, so that a neighbouring slot is
// a fault the game reports rather than a read past the table.
constexpr std::size_t kSlotsBeyond = 16;

const std::array<std::uintptr_t, game_facts::kMenuNameSlot + kSlotsBeyond> kMenuVTable = [] {
    std::array<std::uintptr_t, game_facts::kMenuNameSlot + kSlotsBeyond> table{};
    table.fill(AddressOfFunction(&UnexpectedMenuCall));
    table[game_facts::kMenuNameSlot] = AddressOfFunction(&FakeMenuName);
    return table;
}();

const std::array<std::uintptr_t, game_facts::kActorIsInCombatSlot + kSlotsBeyond> kActorVTable = [] {
    std::array<std::uintptr_t, game_facts::kActorIsInCombatSlot + kSlotsBeyond> table{};
    table.fill(AddressOfFunction(&UnexpectedActorCall));
    table[game_facts::kActorIsInCombatSlot] = AddressOfFunction(&FakeActorIsInCombat);
    return table;
}();

template <class T>
std::uintptr_t AddressOfObject(T& object)
{
    return reinterpret_cast<std::uintptr_t>(&object);
}

// Every ID of the game's facts with the address it stands for in this executable.
std::vector<std::pair<std::uint64_t, std::uintptr_t>> GameAddresses()
{
    namespace id = game_facts;
    std::vector<std::pair<std::uint64_t, std::uintptr_t>> addresses{
        {id::kUIPointerID, AddressOfObject(gameUIPointer)},
        {id::kPlayerPointerID, AddressOfObject(gamePlayerPointer)},
        {id::kAutoAimPointerID, AddressOfObject(gameAutoAimPointer)},
        {id::kUISoundObjectID, AddressOfObject(uiSoundObject)},
        {id::kLookupFormByIDID, AddressOfFunction(&FakeLookupFormByID)},
        {id::kIsStageDoneID, AddressOfFunction(&FakeIsStageDone)},
        {id::kIsSneakingID, AddressOfFunction(&FakeIsSneaking)},
        {id::kIsJumpingID, AddressOfFunction(&FakeIsJumping)},
        {id::kIsOverencumberedID, AddressOfFunction(&FakeIsOverencumbered)},
        {id::kHostileActorsNearID, AddressOfFunction(&FakeHostileActorsNear)},
        {id::kActorValuePercentID, AddressOfFunction(&FakeGetActorValuePercent)},
        {id::kVehicleValueID, AddressOfFunction(&FakeGetPlayerVehicleValue)},
        {id::kIsGameMenuPausedID, AddressOfFunction(&FakeIsGameMenuPaused)},
        {id::kIsMenuOpenID, AddressOfFunction(&FakeIsMenuOpen)},
        {id::kMakeGameStringID, AddressOfFunction(&FakeMakeGameString)},
        {id::kReleaseGameStringID, AddressOfFunction(&FakeReleaseGameString)},
        {id::kSetHUDMenusVisibleID, AddressOfFunction(&FakeSetHUDMenusVisible)},
        {id::kPlayUISoundID, AddressOfFunction(&FakePlayUISound)},
        {id::kRegisterSinkID, AddressOfFunction(&FakeRegisterSink)},
        {id::kPerFrameFunctionID, AddressOfFunction(&FakeMainLoopFunction)},
        {kEventSourceIDs[0], AddressOfFunction(&FakeEventSource<0>)},
        {kEventSourceIDs[1], AddressOfFunction(&FakeEventSource<1>)},
        {kEventSourceIDs[2], AddressOfFunction(&FakeEventSource<2>)},
        {kEventSourceIDs[3], AddressOfFunction(&FakeEventSource<3>)},
        {kEventSourceIDs[4], AddressOfFunction(&FakeEventSource<4>)},
        {kEventSourceIDs[5], AddressOfFunction(&FakeEventSource<5>)},
        {kEventSourceIDs[6], AddressOfFunction(&FakeEventSource<6>)},
    };
    for (const auto& list :
         {std::span<const std::uint64_t>(id::kReferenceTablesA), std::span<const std::uint64_t>(id::kReferenceTablesB),
          std::span<const std::uint64_t>(id::kReferenceTablesC)}) {
        for (const std::uint64_t vtable : list) {
            addresses.emplace_back(vtable, FakeGame::VirtualTableOf(vtable));
        }
    }
    std::sort(addresses.begin(), addresses.end());
    return addresses;
}

#ifdef _WIN32
// The address library loads once per process, from the file present at the
// first resolution, and its decoded table is shared by name with every other
// process of the Wine session that loads the same game version. So the file
// is written once, always with the same content (offsets from this
// executable's base), in a scratch game folder that is the current directory
// only while the library loads.
void InstallAddressLibrary()
{
    static const bool done = [] {
        const auto addresses = GameAddresses();
        const auto previous = std::filesystem::current_path();
        const auto folder =
            std::filesystem::temp_directory_path() / ("lumenveil-fakegame-" + std::to_string(GetCurrentProcessId()));
        FakeGame::WriteAddressLibrary(folder);
        std::filesystem::current_path(folder);
        REL::IDDatabase::get().load_once();
        std::filesystem::current_path(previous);
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);

        for (const auto& [id, address] : addresses) {
            if (REL::ID(id).address() != address) {
                std::fprintf(stderr,
                             "FakeGame: ID %llu resolves elsewhere: the address library was loaded before the fake "
                             "game installed its own, or another process shares a different table\n",
                             static_cast<unsigned long long>(id));
                std::abort();
            }
        }
        return true;
    }();
    (void)done;
}
#endif

void InstallAddresses()
{
#ifdef _WIN32
    InstallAddressLibrary();
#else
    for (const auto& [id, address] : GameAddresses()) {
        REL::native::set_address(id, address);
    }
#endif
}

std::vector<fake::UI*>& LiveUIs()
{
    static std::vector<fake::UI*> uis;
    return uis;
}

std::vector<fake::Actor*>& LiveActors()
{
    static std::vector<fake::Actor*> actors;
    return actors;
}

bool IsEventSource(const void* source)
{
    for (const auto& eventSource : eventSources) {
        if (source == eventSource.data()) {
            return true;
        }
    }
    return std::any_of(LiveUIs().begin(), LiveUIs().end(),
                       [source](fake::UI* ui) { return source == ui->MenuOpenCloseSource(); });
}

// A plugin that ends the process (as it does with std::exit(0) when it finds
// a game object missing) must not take the game's faults with it: a process
// that ends while the game has seen a call it would not survive fails.
void ReportFaultsAtExit()
{
    if (installed == nullptr || installed->faults().empty()) {
        return;
    }
    std::fprintf(stderr, "FakeGame: the process ends after calls the game would not survive:\n");
    for (const std::string& fault : installed->faults()) {
        std::fprintf(stderr, "  %s\n", fault.c_str());
    }
    std::fflush(stderr);
    std::_Exit(kExitAfterFaults);
}

Clock::Source previousClock = nullptr;

}  // namespace

namespace fake {

MenuEntry MenuEntry::Null()
{
    MenuEntry entry("");
    entry.name.reset();
    entry.nullEntry = true;
    return entry;
}

MenuEntry MenuEntry::Nameless()
{
    MenuEntry entry("");
    entry.name.reset();
    return entry;
}

UI::UI()
{
    LiveUIs().push_back(this);
    SetMenus({});
}

UI::~UI()
{
    std::erase(LiveUIs(), this);
}

void UI::SetMenus(std::vector<MenuEntry> stack)
{
    static_assert(sizeof(MenuObject) == sizeof(MenuObjectView));
    entries_ = stack;
    names_.clear();
    menus_.clear();
    stack_.clear();
    for (const MenuEntry& entry : stack) {
        if (entry.nullEntry) {
            stack_.push_back(nullptr);
            continue;
        }
        const char* name = nullptr;
        if (entry.name) {
            name = names_.emplace_back(*entry.name).c_str();
        }
        MenuObject& menu = menus_.emplace_back(MenuObject{kMenuVTable.data(), name});
        stack_.push_back(static_cast<void*>(&menu));
    }
    bytes_.write(game_facts::kUIMenuStackSizeOffset, static_cast<std::uint32_t>(stack_.size()));
    bytes_.write(game_facts::kUIMenuStackDataOffset, stack_.empty() ? nullptr : stack_.data());
}

void UI::OpenMenu(const char* name)
{
    auto stack = entries_;
    stack.emplace_back(name);
    SetMenus(std::move(stack));
}

void UI::CloseMenu(const char* name)
{
    auto stack = entries_;
    const auto top = std::find_if(stack.rbegin(), stack.rend(),
                                  [name](const MenuEntry& entry) { return entry.name && *entry.name == name; });
    if (top != stack.rend()) {
        stack.erase(std::next(top).base());
        SetMenus(std::move(stack));
    }
}

bool UI::HasMenuNamed(const char* name) const
{
    return std::any_of(menus_.begin(), menus_.end(), [name](const MenuObject& menu) {
        return menu.name != nullptr && std::string_view(menu.name) == name;
    });
}

void UI::SetHUDShown(bool shown) noexcept
{
    bytes_.write(game_facts::kUIHUDShownOffset, static_cast<std::uint8_t>(shown ? 1 : 0));
}

bool UI::HUDShown() const noexcept
{
    return bytes_.read<std::uint8_t>(game_facts::kUIHUDShownOffset) != 0;
}

const void* UI::MenuOpenCloseSource() const noexcept
{
    return static_cast<const std::byte*>(bytes_.data()) + game_facts::kUIMenuEventSourceOffset;
}

UI* UI::Find(const RE::UI* object)
{
    for (UI* ui : LiveUIs()) {
        if (ui->get() == object) {
            return ui;
        }
    }
    return nullptr;
}

Actor::Actor()
{
    LiveActors().push_back(this);
    bytes_.write(0, kActorVTable.data());
}

void Actor::SetWeaponState(std::uint32_t state) noexcept
{
    bytes_.write(game_facts::kActorWeaponStateOffset, state);
}

void Actor::SetInCell(bool inCell) noexcept
{
    bytes_.write(game_facts::kActorParentCellOffset, inCell ? cell_.data() : nullptr);
}

Actor* Actor::Find(const void* object)
{
    for (Actor* actor : LiveActors()) {
        if (actor->get() == object) {
            return actor;
        }
    }
    return nullptr;
}

Reference::Reference()
{
    RemoveBaseObject();
}

void Reference::SetVirtualTable(std::uintptr_t address) noexcept
{
    bytes_.write(0, address);
}

void Reference::SetFlags(std::uint32_t flags) noexcept
{
    bytes_.write(game_facts::kReferenceFlagsOffset, flags);
}

void Reference::SetBaseFormType(std::uint8_t formType) noexcept
{
    base_.write(game_facts::kFormTypeOffset, formType);
    bytes_.write(game_facts::kReferenceBaseObjectOffset, base_.data());
}

void Reference::RemoveBaseObject() noexcept
{
    bytes_.write(game_facts::kReferenceBaseObjectOffset, static_cast<const void*>(nullptr));
}

}  // namespace fake

const std::uint64_t FakeGame::kTableInListsAAndB = game_facts::kReferenceTablesA[kListA - 2];
const std::uint64_t FakeGame::kTableInListsAAndC = game_facts::kReferenceTablesA[kListA - 1];

FakeGame::FakeGame(Addresses addresses)
{
    if (installed != nullptr) {
        std::fprintf(stderr, "FakeGame: only one game at a time\n");
        std::abort();
    }
    installed = this;
    static const bool reportsFaultsAtExit = std::atexit(&ReportFaultsAtExit) == 0;
    (void)reportsFaultsAtExit;
    if (*reinterpret_cast<const std::uint8_t*>(PerFrameCallSite()) != game_facts::kCallRel32Opcode) {
        std::fprintf(stderr, "FakeGame: the per-frame function has no call at its hooked offset\n");
        std::abort();
    }
    if (addresses == Addresses::InThisProcess) {
        InstallAddresses();
    }

    previousClock = Clock::source;
    clockNow = kStartTime;
    clockStep = 0;
    Clock::source = &FakeClockReading;
    ReleaseAllKeys();

    Settings = SettingsRecord{};
    HUDState = HUDStateRecord{};

    ui.SetMenus({"HUDMenu"});
    ui.SetHUDShown(true);
    player.SetInCell(true);
    SetStageDone(MQ301(), 0, true);
    for (auto* actorValue : {HealthAV(), OxygenAV(), BoostPackAV()}) {
        SetActorValuePercent(actorValue, 100.0F);
    }
    SetAutoAimData(true);
    SetAutoAimTarget(nullptr);

    gameUIPointer = ui.get();
    gamePlayerPointer = player.get();
    gameAutoAimPointer = AutoAim();
    SetCachedPointers();

    // Room for what a test records, so that recording allocates nothing in a
    // measured loop.
    hudVisibleCalls.reserve(64);
    formLookups.reserve(64);
}

FakeGame::~FakeGame()
{
    ClearCachedPointers();
    gameUIPointer = nullptr;
    gamePlayerPointer = nullptr;
    gameAutoAimPointer = nullptr;
    Settings = SettingsRecord{};
    HUDState = HUDStateRecord{};
    ReleaseAllKeys();
    Clock::source = previousClock;
    installed = nullptr;
}

FakeGame& FakeGame::Current()
{
    if (installed == nullptr) {
        std::fprintf(stderr, "FakeGame: a game function was called with no game installed\n");
        std::abort();
    }
    return *installed;
}

Clock::Nanoseconds FakeGame::Now() const noexcept
{
    return clockNow;
}

void FakeGame::SetNow(Clock::Nanoseconds now) noexcept
{
    clockNow = now;
}

void FakeGame::AdvanceMs(std::int64_t milliseconds) noexcept
{
    clockNow += Clock::FromMilliseconds(milliseconds);
}

void FakeGame::AdvanceNs(Clock::Nanoseconds nanoseconds) noexcept
{
    clockNow += nanoseconds;
}

void FakeGame::SetStepPerReading(Clock::Nanoseconds step) noexcept
{
    clockStep = step;
}

void FakeGame::PressKey(int virtualKey)
{
    pressedKeys_.insert(virtualKey);
    SetKeyDown(virtualKey, true);
}

void FakeGame::ReleaseKey(int virtualKey)
{
    pressedKeys_.erase(virtualKey);
    SetKeyDown(virtualKey, false);
}

void FakeGame::SetGameUIPointer(RE::UI* object) noexcept
{
    gameUIPointer = object;
}

void FakeGame::SetGamePlayerPointer(RE::Actor* object) noexcept
{
    gamePlayerPointer = object;
}

void FakeGame::SetGameAutoAimPointer(RE::AutoAim* object) noexcept
{
    gameAutoAimPointer = object;
}

void FakeGame::ClearCachedPointers() noexcept
{
    UISingleton = nullptr;
    PlayerChar = nullptr;
    ::MQ305 = nullptr;
    ::MQ301 = nullptr;
    ::HealthAV = nullptr;
    ::OxygenAV = nullptr;
    ::BoostPackAV = nullptr;
    autoAimData = nullptr;
}

void FakeGame::SetCachedPointers() noexcept
{
    UISingleton = ui.get();
    PlayerChar = player.get();
    ::MQ305 = MQ305();
    ::MQ301 = MQ301();
    ::HealthAV = HealthAV();
    ::OxygenAV = OxygenAV();
    ::BoostPackAV = BoostPackAV();
    autoAimData = AutoAim();
}

void FakeGame::SetFormMissing(std::uint32_t formID, bool missing)
{
    if (missing) {
        missingForms_.insert(formID);
    } else {
        missingForms_.erase(formID);
    }
}

RE::TESForm* FakeGame::FormByID(std::uint32_t formID)
{
    if (missingForms_.contains(formID)) {
        return nullptr;
    }
    switch (formID) {
        case fake::kMQ305FormID:
            return mq305_.as<RE::TESForm>();
        case fake::kMQ301FormID:
            return mq301_.as<RE::TESForm>();
        case fake::kHealthFormID:
            return health_.as<RE::TESForm>();
        case fake::kOxygenFormID:
            return oxygen_.as<RE::TESForm>();
        case fake::kBoostPackFormID:
            return boostPack_.as<RE::TESForm>();
        default:
            return nullptr;
    }
}

void FakeGame::SetStageDone(RE::TESQuest* quest, std::uint16_t stage, bool done)
{
    if (done) {
        doneStages_.emplace(quest, stage);
    } else {
        doneStages_.erase({quest, stage});
    }
}

bool FakeGame::StageDone(const RE::TESQuest* quest, std::uint16_t stage) const
{
    return doneStages_.contains({quest, stage});
}

void FakeGame::SetActorValuePercent(const RE::ActorValueInfo* actorValue, float percent)
{
    percents_[actorValue] = percent;
}

float FakeGame::ActorValuePercent(const RE::ActorValueInfo* actorValue) const
{
    const auto found = percents_.find(actorValue);
    return found == percents_.end() ? 0.0F : found->second;
}

void FakeGame::SetAutoAimData(bool present) noexcept
{
    autoAim_.write(game_facts::kAutoAimDataOffset, present ? autoAimData_.data() : nullptr);
}

void FakeGame::SetAutoAimTarget(RE::TESObjectREFR* target) noexcept
{
    autoAimData_.write(game_facts::kAutoAimDataTargetOffset, target);
}

std::uintptr_t FakeGame::VirtualTableOf(std::uint64_t id)
{
    return reinterpret_cast<std::uintptr_t>(&referenceVTables[VirtualTableIndex(id)]);
}

const void* FakeGame::EventSource(std::uint64_t id)
{
    const auto found = std::find(kEventSourceIDs.begin(), kEventSourceIDs.end(), id);
    return found == kEventSourceIDs.end()
               ? nullptr
               : eventSources[static_cast<std::size_t>(found - kEventSourceIDs.begin())].data();
}

const void* FakeGame::MenuOpenCloseSource() noexcept
{
    return ui.MenuOpenCloseSource();
}

int FakeGame::RaiseEvent(std::uint64_t sourceID)
{
    const void* source = EventSource(sourceID);
    if (source == nullptr) {
        Fault("RaiseEvent: " + std::to_string(sourceID) + " is no event source ID");
        return 0;
    }
    // The plugin reads none of these events: any readable bytes will do.
    static const std::array<std::byte, 16> event{};
    return RaiseEventAt(source, event.data());
}

int FakeGame::RaiseMenuEvent(const char* menu, bool opening)
{
    return RaiseMenuEventWithOpeningByte(menu, static_cast<std::uint8_t>(opening ? 1 : 0));
}

int FakeGame::RaiseMenuEventWithOpeningByte(const char* menu, std::uint8_t opening)
{
    if (opening != 0) {
        ui.OpenMenu(menu);
    } else {
        ui.CloseMenu(menu);
    }
    // Every second menu event names its menu through a pool entry that refers
    // on to the one holding the characters, as the game's entries may.
    const bool refersOn = menuEventsRaised_++ % 2 == 1;
    const void* name = refersOn ? MakeReferringString(menu) : MakeString(menu);
    fake::ObjectBytes<game_facts::kMenuEventSize> event;
    event.write(game_facts::kMenuEventNameOffset, name);
    event.write(game_facts::kMenuEventOpeningOffset, opening);
    const int called = RaiseEventAt(MenuOpenCloseSource(), event.data());
    ReleaseString(name);
    return called;
}

int FakeGame::RaiseEventAt(const void* source, const void* event)
{
    using ProcessEvent = std::uint32_t (*)(void* sink, const void* event, const void* source);
    // A copy: a sink may register another while the event is delivered.
    const auto sinks = registeredSinks;
    int called = 0;
    for (const auto& [registeredSource, sink] : sinks) {
        if (registeredSource != source) {
            continue;
        }
        const auto* vtable = *static_cast<const std::uintptr_t* const*>(sink);
        const auto process = reinterpret_cast<ProcessEvent>(vtable[game_facts::kSinkProcessEventSlot]);
        if (process(const_cast<void*>(sink), event, source) != game_facts::kSinkContinue) {
            Fault("a sink asked the game to stop delivering an event");
        }
        ++called;
    }
    return called;
}

std::uint64_t FakeGame::RunFrame(std::uint64_t token)
{
    return FakeMainLoopFunction(token);
}

std::uint64_t FakeGame::RunFrameTargetDirectly(std::uint64_t token)
{
    return FakeGameFrame(token);
}

std::uint64_t FakeGame::FramesReached() noexcept
{
    return framesReached.load(std::memory_order_relaxed);
}

std::uintptr_t FakeGame::PerFrameFunction() noexcept
{
    return AddressOfFunction(&FakeMainLoopFunction);
}

std::uintptr_t FakeGame::PerFrameCallSite() noexcept
{
    return PerFrameFunction() + game_facts::kPerFrameCallOffset;
}

#ifdef _WIN32
void FakeGame::SetPerFrameCallOpcode(std::uint8_t opcode)
{
    auto* site = reinterpret_cast<std::uint8_t*>(PerFrameCallSite());
    DWORD protection = 0;
    if (VirtualProtect(site, 1, PAGE_EXECUTE_READWRITE, &protection) == 0) {
        std::fprintf(stderr, "FakeGame: the per-frame call site cannot be made writable\n");
        std::abort();
    }
    *site = opcode;
    VirtualProtect(site, 1, protection, &protection);
}

void FakeGame::WriteAddressLibrary(const std::filesystem::path& gameFolder,
                                   std::optional<std::uint64_t> perFrameFunctionOffset)
{
    const auto& module = REL::Module::get();
    const REL::Version version = module.version();
    addresslib::Writer writer({version[0], version[1], version[2], version[3]});
    for (const auto& [id, address] : GameAddresses()) {
        const bool moved = id == game_facts::kPerFrameFunctionID && perFrameFunctionOffset;
        writer.add(id, moved ? *perFrameFunctionOffset : address - module.base());
    }
    const auto plugins = gameFolder / "Data" / "Zorvik" / "Plugins";
    std::filesystem::create_directories(plugins);
    // Both store builds' names: the Steam runtime may be loaded by a test.
    writer.write(plugins / ("versionlib-" + version.string("-") + ".bin"));
    writer.write(plugins / ("versionlib-" + version.string("-") + "-1.bin"));
}
#endif

const void* FakeGame::UISoundObject() noexcept
{
    return uiSoundObject.data();
}

void FakeGame::ClearRecords()
{
    calls = {};
    registeredSinks.clear();
    hudVisibleCalls.clear();
    sounds.clear();
    soundVolumes.clear();
    formLookups.clear();
    menuQuestionCount_ = 0;
}

std::vector<std::string> FakeGame::MenusAskedAbout() const
{
    std::vector<std::string> names;
    for (std::size_t i = 0; i < std::min(menuQuestionCount_, menuQuestions_.size()); ++i) {
        names.emplace_back(menuQuestions_[i].data());
    }
    return names;
}

void FakeGame::RecordMenuQuestion(const char* name)
{
    if (menuQuestionCount_ < menuQuestions_.size()) {
        auto& slot = menuQuestions_[menuQuestionCount_];
        slot.fill('\0');
        std::string_view(name).copy(slot.data(), slot.size() - 1);
    }
    ++menuQuestionCount_;
}

// The game keeps its strings in its own memory: a fixed pool here, so that a
// pass allocates nothing on the plugin's heap for them.
FakeGame::GameStringEntry* FakeGame::FreeStringEntry()
{
    for (auto& entry : strings_) {
        if (!entry.live) {
            entry.bytes = {};
            return &entry;
        }
    }
    Fault("more live game strings than the fake game holds: strings are not released");
    return nullptr;
}

const void* FakeGame::MakeString(const char* text)
{
    const std::string_view view(text);
    if (view.size() >= sizeof(GameStringEntry::bytes) - kStringCharacters) {
        Fault("MakeGameString with a text too long for the fake game");
        return nullptr;
    }
    GameStringEntry* entry = FreeStringEntry();
    if (entry == nullptr) {
        return nullptr;
    }
    view.copy(static_cast<char*>(entry->bytes.data()) + kStringCharacters, view.size());
    entry->live = true;
    ++stringsMade_;
    return entry->bytes.data();
}

const void* FakeGame::MakeReferringString(const char* text)
{
    const void* target = MakeString(text);
    GameStringEntry* entry = target == nullptr ? nullptr : FreeStringEntry();
    if (entry == nullptr) {
        ReleaseString(target);
        return nullptr;
    }
    entry->bytes.write(game_facts::kEntryFlagsOffset, game_facts::kEntryRefersOn);
    entry->bytes.write(game_facts::kEntryNextOffset, target);
    entry->live = true;
    ++stringsMade_;
    return entry->bytes.data();
}

FakeGame::GameStringEntry* FakeGame::LiveStringEntry(const void* entry)
{
    for (auto& slot : strings_) {
        if (slot.bytes.data() == entry && slot.live) {
            return &slot;
        }
    }
    return nullptr;
}

const FakeGame::GameStringEntry* FakeGame::LiveStringEntry(const void* entry) const
{
    return const_cast<FakeGame*>(this)->LiveStringEntry(entry);
}

bool FakeGame::ReleaseString(const void* entry)
{
    GameStringEntry* slot = LiveStringEntry(entry);
    if (slot == nullptr) {
        return false;
    }
    slot->live = false;
    ++stringsReleased_;
    if ((slot->bytes.read<std::uint8_t>(game_facts::kEntryFlagsOffset) & game_facts::kEntryRefersOn) != 0) {
        ReleaseString(slot->bytes.read<const void*>(game_facts::kEntryNextOffset));
    }
    return true;
}

const char* FakeGame::LiveString(const void* entry) const
{
    const GameStringEntry* slot = LiveStringEntry(entry);
    while (slot != nullptr &&
           (slot->bytes.read<std::uint8_t>(game_facts::kEntryFlagsOffset) & game_facts::kEntryRefersOn) != 0) {
        slot = LiveStringEntry(slot->bytes.read<const void*>(game_facts::kEntryNextOffset));
    }
    return slot == nullptr ? nullptr : static_cast<const char*>(slot->bytes.data()) + kStringCharacters;
}

int FakeGame::LiveGameStrings() const noexcept
{
    return static_cast<int>(std::count_if(strings_.begin(), strings_.end(), [](const auto& s) { return s.live; }));
}

void FakeGame::Fault(std::string message)
{
    faults_.push_back(std::move(message));
}
