#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>

// The game's objects, declared only as far as the plugin reads them. They are
// opaque: fields are read at the game's offsets, and virtual functions are
// called by their slot in the game's virtual table, never through a C++ class
// hierarchy whose layout our compiler would choose.
namespace RE {

struct TESForm;
struct TESQuest;
struct ActorValueInfo;
struct Actor;
struct TESObjectREFR;
struct IMenu;
struct UI;
struct AutoAim;
struct AutoAimData;

// A game string handle: one pointer-sized value the game fills.
struct GameString {
    const void* entry = nullptr;
};
static_assert(sizeof(GameString) == 8);

namespace detail {

template <class T>
[[nodiscard]] T read(const void* object, std::size_t offset) noexcept
{
    T value;
    std::memcpy(&value, static_cast<const std::byte*>(object) + offset, sizeof(value));
    return value;
}

// A virtual function of the game, called by its slot: the object pointer is
// the first argument, as the game's calling convention passes it.
template <class Result, class... Args>
Result call_virtual(void* object, std::size_t slot, Args... args)
{
    const auto* table = read<void* const*>(object, 0);
    return reinterpret_cast<Result (*)(void*, Args...)>(table[slot])(object, args...);
}

}  // namespace detail

// Offsets and slots of the game's objects.
namespace layout {
inline constexpr std::size_t kActorWeaponState = 0xFC;
inline constexpr std::size_t kActorParentCell = 0xB0;
inline constexpr std::size_t kActorIsInCombatSlot = 364;
inline constexpr std::size_t kUIMenuOpenCloseSource = 0x10;
inline constexpr std::size_t kUIMenuStackSize = 0x3F0;
inline constexpr std::size_t kUIMenuStackData = 0x3F8;
inline constexpr std::size_t kUIHUDMenusShown = 0x4FA;
inline constexpr std::size_t kMenuNameSlot = 3;
inline constexpr std::size_t kReferenceFlags = 0x20;
inline constexpr std::size_t kReferenceBaseObject = 0x98;
inline constexpr std::size_t kFormType = 0x2E;
inline constexpr std::size_t kAutoAimData = 0x00;
inline constexpr std::size_t kAutoAimDataTarget = 0xD0;
inline constexpr std::uint32_t kReferenceHarvestedFlag = 0x2000;
inline constexpr std::uint8_t kFormTypeFlora = 46;
inline constexpr std::uint8_t kFormTypeNotActivatable = 44;
}  // namespace layout

inline std::uint32_t WeaponState(const Actor* actor) noexcept
{
    return detail::read<std::uint32_t>(actor, layout::kActorWeaponState);
}
inline const void* ParentCell(const Actor* actor) noexcept
{
    return detail::read<const void*>(actor, layout::kActorParentCell);
}
inline bool IsInCombat(Actor* actor)
{
    return detail::call_virtual<bool>(actor, layout::kActorIsInCombatSlot);
}

inline std::uint32_t MenuStackSize(const UI* ui) noexcept
{
    return detail::read<std::uint32_t>(ui, layout::kUIMenuStackSize);
}
inline IMenu* const* MenuStack(const UI* ui) noexcept
{
    return detail::read<IMenu* const*>(ui, layout::kUIMenuStackData);
}
// The game sets the flag on whichever of its threads shows or hides the HUD,
// while the decision and the menu sink read it on theirs: one byte, loaded
// whole, never a stale copy the compiler kept.
inline bool HUDMenusShown(const UI* ui) noexcept
{
    auto* flag = const_cast<std::uint8_t*>(reinterpret_cast<const std::uint8_t*>(ui) + layout::kUIHUDMenusShown);
    return std::atomic_ref(*flag).load(std::memory_order_relaxed) != 0;
}
inline void* MenuOpenCloseSource(UI* ui) noexcept
{
    return reinterpret_cast<std::byte*>(ui) + layout::kUIMenuOpenCloseSource;
}
// The menu's name, as the game's virtual function gives it (may be null).
inline const char* MenuName(IMenu* menu)
{
    return detail::call_virtual<const char*>(menu, layout::kMenuNameSlot);
}

inline std::uint32_t ReferenceFlags(const TESObjectREFR* reference) noexcept
{
    return detail::read<std::uint32_t>(reference, layout::kReferenceFlags);
}
inline const TESForm* BaseObject(const TESObjectREFR* reference) noexcept
{
    return detail::read<const TESForm*>(reference, layout::kReferenceBaseObject);
}
inline std::uint8_t FormType(const TESForm* form) noexcept
{
    return detail::read<std::uint8_t>(form, layout::kFormType);
}
inline std::uintptr_t VirtualTableAddress(const void* object) noexcept
{
    return detail::read<std::uintptr_t>(object, 0);
}

inline AutoAimData* Data(const AutoAim* autoAim) noexcept
{
    return detail::read<AutoAimData*>(autoAim, layout::kAutoAimData);
}
inline TESObjectREFR* Target(const AutoAimData* data) noexcept
{
    return detail::read<TESObjectREFR*>(data, layout::kAutoAimDataTarget);
}

}  // namespace RE
