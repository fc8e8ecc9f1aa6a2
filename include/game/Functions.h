#pragma once

#include "REL/ID.h"
#include "game/IDs.h"
#include "game/Objects.h"

#include <cstdint>

// The game's functions and globals, each declared once: its address-library
// ID (game/IDs.h) and the signature the plugin calls it with, the arguments
// and results it relies on. Every call goes to the running game.
namespace RE {

// A game function. Its address is resolved on the first call and kept: it
// does not move while the game runs, and a per-frame call must not search
// the address library.
template <std::uint64_t ID, class Signature>
struct GameFunction;

template <std::uint64_t ID, class Result, class... Args>
struct GameFunction<ID, Result(Args...)> {
    Result operator()(Args... args) const
    {
        static const auto function = reinterpret_cast<Result (*)(Args...)>(REL::ID(ID).address());
        return function(args...);
    }
};

// A game global holding a pointer to one of the game's objects, read anew on
// every call: the game may replace the object.
enum class Resolution { OnFirstUse, OnEveryCall };

template <std::uint64_t ID, class Object, Resolution When>
struct GameGlobal {
    [[nodiscard]] Object* operator()() const { return *reinterpret_cast<Object* const*>(Address()); }

private:
    static std::uintptr_t Address()
    {
        if constexpr (When == Resolution::OnFirstUse) {
            static const std::uintptr_t address = REL::ID(ID).address();
            return address;
        } else {
            return REL::ID(ID).address();
        }
    }
};

inline constexpr GameGlobal<ID::UISingleton, UI, Resolution::OnFirstUse> GetUISingleton{};
inline constexpr GameGlobal<ID::PlayerCharacter, Actor, Resolution::OnFirstUse> GetPlayerCharacter{};
inline constexpr GameGlobal<ID::AutoAimSingleton, AutoAim, Resolution::OnEveryCall> GetAutoAimSingleton{};

inline constexpr GameFunction<ID::LookupFormByID, TESForm*(std::uint32_t formID)> LookupFormByID{};
inline constexpr GameFunction<ID::IsStageDone, bool(TESQuest* quest, std::uint16_t stage)> IsStageDone{};
inline constexpr GameFunction<ID::IsSneaking, bool(Actor* player)> IsSneaking{};
inline constexpr GameFunction<ID::IsJumping, bool(Actor* player)> IsJumping{};
inline constexpr GameFunction<ID::IsOverencumbered, bool(Actor* player)> IsOverencumbered{};
inline constexpr GameFunction<ID::HostileActorsNear, bool()> HostileActorsNear{};
inline constexpr GameFunction<ID::GetActorValuePercent,
                              void(Actor** player, ActorValueInfo* actorValue, std::uint64_t zero, float* percent)>
    GetActorValuePercent{};
inline constexpr GameFunction<ID::GetPlayerVehicleValue,
                              void(Actor** player, std::uint64_t zero1, std::uint64_t zero2, float* value)>
    GetPlayerVehicleValue{};
// A byte, non-zero while a game menu pauses the game: not a C++ bool, whose
// only values are 0 and 1.
inline constexpr GameFunction<ID::IsGameMenuPaused, std::uint8_t()> IsGameMenuPaused{};
inline constexpr GameFunction<ID::IsMenuOpen, bool(UI* ui, const GameString* name)> IsMenuOpen{};
inline constexpr GameFunction<ID::MakeGameString, void(GameString* handle, const char* text, std::uint64_t zero)>
    MakeGameString{};
inline constexpr GameFunction<ID::ReleaseGameString, void(GameString* handle)> ReleaseGameString{};
inline constexpr GameFunction<ID::SetHUDMenusVisible, void(void* zero1, void* zero2, void* zero3, bool show)>
    SetHUDMenusVisible{};
inline constexpr GameFunction<ID::PlayUISound,
                              void(std::uint32_t* out, const char* soundEditorID, void* soundObject, double volume)>
    PlayUISound{};
// Registers a sink with an event source of the game.
inline constexpr GameFunction<ID::RegisterSink, void(void* source, void* sink)> RegisterSink{};
// The game's functions that give its event sources, one per ID.
template <std::uint64_t SourceFunctionID>
inline constexpr GameFunction<SourceFunctionID, void*()> EventSourceGivenBy{};

// The sound object passed to PlayUISound: an object of the game, not a pointer to one.
[[nodiscard]] void* GetUISoundObject();
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
