#include "hud/GameQueries.h"

#include "game/Functions.h"
#include "game/IDs.h"
#include "hud/CachedGameObjects.h"

#include <algorithm>
#include <array>

bool IsSneaking()
{
    return PlayerChar != nullptr && RE::IsSneaking(PlayerChar);
}
bool IsJumping()
{
    return PlayerChar != nullptr && RE::IsJumping(PlayerChar);
}
bool IsOverencumbered()
{
    return PlayerChar != nullptr && RE::IsOverencumbered(PlayerChar);
}
bool HostileActorsNear()
{
    return RE::HostileActorsNear();
}

float GetActorValuePercent(RE::ActorValueInfo* actorValue)
{
    if (PlayerChar == nullptr || actorValue == nullptr) {
        return 0.0F;
    }
    RE::Actor* player = PlayerChar;
    float percent = 0.0F;
    RE::GetActorValuePercent(&player, actorValue, 0, &percent);
    return percent;
}

float GetPlayerVehicleValue()
{
    if (PlayerChar == nullptr) {
        return -1.0F;
    }
    RE::Actor* player = PlayerChar;
    float value = 0.0F;
    RE::GetPlayerVehicleValue(&player, 0, 0, &value);
    return value;
}

bool IsMenuOpenNamed(const char* name)
{
    if (UISingleton == nullptr) {
        return false;
    }
    const RE::ScopedGameString menuName(name);
    return RE::IsMenuOpen(UISingleton, menuName.get());
}

bool IsFloraRef(const RE::TESObjectREFR* reference)
{
    const auto* base = reference != nullptr ? RE::BaseObject(reference) : nullptr;
    return base != nullptr && RE::FormType(base) == RE::layout::kFormTypeFlora;
}

bool IsHarvestedFloraRef(const RE::TESObjectREFR* reference)
{
    return IsFloraRef(reference) && (RE::ReferenceFlags(reference) & RE::layout::kReferenceHarvestedFlag) != 0;
}

bool IsNotActivatableRef(const RE::TESObjectREFR* reference)
{
    const auto* base = reference != nullptr ? RE::BaseObject(reference) : nullptr;
    return base != nullptr && RE::FormType(base) == RE::layout::kFormTypeNotActivatable;
}

namespace {

// The virtual tables of a list, resolved once: they are fixed addresses in the
// game, and this test may run on every pass that reaches it.
template <std::size_t Count>
std::array<std::uintptr_t, Count> Resolve(const std::array<std::uint64_t, Count>& ids)
{
    std::array<std::uintptr_t, Count> addresses{};
    std::transform(ids.begin(), ids.end(), addresses.begin(), RE::AddressOf);
    return addresses;
}

template <std::size_t Count>
bool Contains(const std::array<std::uintptr_t, Count>& addresses, std::uintptr_t vtable)
{
    return std::find(addresses.begin(), addresses.end(), vtable) != addresses.end();
}

}  // namespace

bool IsAcceptedTargetRef(const RE::TESObjectREFR* reference)
{
    static const auto listA = Resolve(RE::ID::kTargetVTablesA);
    static const auto listB = Resolve(RE::ID::kTargetVTablesB);
    static const auto listC = Resolve(RE::ID::kTargetVTablesC);
    const std::uintptr_t vtable = RE::VirtualTableAddress(reference);
    // A class of list A counts only when list C holds it too.
    if (!Contains(listA, vtable) && Contains(listB, vtable)) {
        return true;
    }
    return Contains(listC, vtable);
}
