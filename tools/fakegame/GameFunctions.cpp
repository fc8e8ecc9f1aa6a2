#include "FakeGame.h"
#include "GameGlobals.h"
#include "IdInstallation.h"

#include <cstdio>
#include <cstring>
#include <string>

// ---- The game's functions, with the signatures the game calls them by.

// Passed by address only: the fake keeps away from the plugin's own
// declaration of the handle.
namespace RE {
struct GameString;
}  // namespace RE

namespace {

using fake::detail::gameUIPointer;
using fake::detail::uiSoundObject;

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
    if (game.RecordsEachCall()) {
        game.formLookups.push_back(formID);
    }
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

std::uint8_t FakeIsGameMenuPaused()
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
    if (game.RecordsEachCall()) {
        game.RecordMenuQuestion(text);
    }
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
    if (game.RecordsEachCall()) {
        game.hudVisibleCalls.push_back(show);
    }
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
    if (game.RecordsEachCall()) {
        game.sounds.emplace_back(soundEditorID == nullptr ? "<null>" : soundEditorID);
        game.soundVolumes.push_back(volume);
    }
}

}  // namespace

fake::detail::IdAddresses fake::detail::FunctionAddresses()
{
    namespace id = game_facts;
    return {
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
    };
}
