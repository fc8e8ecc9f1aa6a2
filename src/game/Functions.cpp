#include "game/Functions.h"

#include "REL/ID.h"
#include "game/Events.h"
#include "game/IDs.h"

namespace RE {

namespace {

// A game function's address, resolved once: it does not move while the game
// runs, and a per-frame call must not search the address library.
template <class Function>
Function FunctionAt(std::uint64_t id)
{
    return reinterpret_cast<Function>(REL::ID(id).address());
}

template <class Object>
Object* PointerStoredAt(std::uintptr_t address)
{
    return *reinterpret_cast<Object* const*>(address);
}

}  // namespace

UI* GetUISingleton()
{
    static const std::uintptr_t slot = REL::ID(ID::UISingleton).address();
    return PointerStoredAt<UI>(slot);
}

Actor* GetPlayerCharacter()
{
    static const std::uintptr_t slot = REL::ID(ID::PlayerCharacter).address();
    return PointerStoredAt<Actor>(slot);
}

AutoAim* GetAutoAimSingleton()
{
    return PointerStoredAt<AutoAim>(REL::ID(ID::AutoAimSingleton).address());
}

void* GetUISoundObject()
{
    return reinterpret_cast<void*>(REL::ID(ID::UISoundObject).address());
}

std::uintptr_t AddressOf(std::uint64_t id)
{
    return REL::ID(id).address();
}

void* GetEventSource(std::uint64_t id)
{
    return FunctionAt<void* (*)()>(id)();
}

void RegisterSink(void* source, BSTEventDetail::SinkBase* sink)
{
    static const auto function = FunctionAt<void (*)(void*, void*)>(ID::RegisterSink);
    function(source, sink);
}

TESForm* LookupFormByID(std::uint32_t formID)
{
    static const auto function = FunctionAt<TESForm* (*)(std::uint32_t)>(ID::LookupFormByID);
    return function(formID);
}

bool IsStageDone(TESQuest* quest, std::uint16_t stage)
{
    static const auto function = FunctionAt<bool (*)(TESQuest*, std::uint16_t)>(ID::IsStageDone);
    return function(quest, stage);
}

bool IsSneaking(Actor* player)
{
    static const auto function = FunctionAt<bool (*)(Actor*)>(ID::IsSneaking);
    return function(player);
}

bool IsJumping(Actor* player)
{
    static const auto function = FunctionAt<bool (*)(Actor*)>(ID::IsJumping);
    return function(player);
}

bool IsOverencumbered(Actor* player)
{
    static const auto function = FunctionAt<bool (*)(Actor*)>(ID::IsOverencumbered);
    return function(player);
}

bool HostileActorsNear()
{
    static const auto function = FunctionAt<bool (*)()>(ID::HostileActorsNear);
    return function();
}

void GetActorValuePercent(Actor** player, ActorValueInfo* actorValue, std::uint64_t zero, float* percent)
{
    static const auto function =
        FunctionAt<void (*)(Actor**, ActorValueInfo*, std::uint64_t, float*)>(ID::GetActorValuePercent);
    function(player, actorValue, zero, percent);
}

void GetPlayerVehicleValue(Actor** player, std::uint64_t zero1, std::uint64_t zero2, float* value)
{
    static const auto function =
        FunctionAt<void (*)(Actor**, std::uint64_t, std::uint64_t, float*)>(ID::GetPlayerVehicleValue);
    function(player, zero1, zero2, value);
}

bool IsGameMenuPaused()
{
    static const auto function = FunctionAt<bool (*)()>(ID::IsGameMenuPaused);
    return function();
}

bool IsMenuOpen(UI* ui, const GameString* name)
{
    static const auto function = FunctionAt<bool (*)(UI*, const GameString*)>(ID::IsMenuOpen);
    return function(ui, name);
}

void MakeGameString(GameString* handle, const char* text, std::uint64_t zero)
{
    static const auto function = FunctionAt<void (*)(GameString*, const char*, std::uint64_t)>(ID::MakeGameString);
    function(handle, text, zero);
}

void ReleaseGameString(GameString* handle)
{
    static const auto function = FunctionAt<void (*)(GameString*)>(ID::ReleaseGameString);
    function(handle);
}

void SetHUDMenusVisible(void* zero1, void* zero2, void* zero3, bool show)
{
    static const auto function = FunctionAt<void (*)(void*, void*, void*, bool)>(ID::SetHUDMenusVisible);
    function(zero1, zero2, zero3, show);
}

void PlayUISound(std::uint32_t* out, const char* soundEditorID, void* soundObject, double volume)
{
    static const auto function = FunctionAt<void (*)(std::uint32_t*, const char*, void*, double)>(ID::PlayUISound);
    function(out, soundEditorID, soundObject, volume);
}

}  // namespace RE
