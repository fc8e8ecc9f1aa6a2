#pragma once

#include "game/Objects.h"

#include <cstdint>

// The game's functions and globals, each reached through its address-library
// ID (game/IDs.h). Signatures are the arguments and results the plugin relies
// on; every call goes to the running game.
namespace RE {

// Globals: the pointer stored at the ID's address, read on every call.
[[nodiscard]] UI* GetUISingleton();
[[nodiscard]] Actor* GetPlayerCharacter();
[[nodiscard]] AutoAim* GetAutoAimSingleton();

[[nodiscard]] TESForm* LookupFormByID(std::uint32_t formID);
[[nodiscard]] bool IsStageDone(TESQuest* quest, std::uint16_t stage);
[[nodiscard]] bool IsSneaking(Actor* player);
[[nodiscard]] bool IsJumping(Actor* player);
[[nodiscard]] bool IsOverencumbered(Actor* player);
[[nodiscard]] bool HostileActorsNear();
void GetActorValuePercent(Actor** player, ActorValueInfo* actorValue, std::uint64_t zero, float* percent);
void GetPlayerVehicleValue(Actor** player, std::uint64_t zero1, std::uint64_t zero2, float* value);
[[nodiscard]] bool IsGameMenuPaused();
[[nodiscard]] bool IsMenuOpen(UI* ui, const GameString* name);
void MakeGameString(GameString* handle, const char* text, std::uint64_t zero);
void ReleaseGameString(GameString* handle);
void SetHUDMenusVisible(void* zero1, void* zero2, void* zero3, bool show);
void PlayUISound(std::uint32_t* out, const char* soundEditorID, void* soundObject, double volume);
[[nodiscard]] void* GetUISoundObject();
// An event source of the game: the function at `id` returns it.
[[nodiscard]] void* GetEventSource(std::uint64_t id);
[[nodiscard]] std::uintptr_t AddressOf(std::uint64_t id);

// A game string made from a text for the length of a scope, released in
// every case.
class ScopedGameString {
public:
    explicit ScopedGameString(const char* text) { MakeGameString(&handle_, text, 0); }
    ~ScopedGameString() { ReleaseGameString(&handle_); }
    ScopedGameString(const ScopedGameString&) = delete;
    ScopedGameString& operator=(const ScopedGameString&) = delete;

    [[nodiscard]] const GameString* get() const noexcept { return &handle_; }

private:
    GameString handle_;
};

}  // namespace RE
