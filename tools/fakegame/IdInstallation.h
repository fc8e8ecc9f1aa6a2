#pragma once

#include <cstdint>
#include <utility>
#include <vector>

// How the game's IDs come to resolve to the fake's functions and objects: each
// part of the fake lists the IDs of what it stands for, and IdInstallation.cpp
// installs them all, with the per-frame function and the target lists'
// virtual tables.
namespace fake::detail {

using IdAddresses = std::vector<std::pair<std::uint64_t, std::uintptr_t>>;

template <class Function>
std::uintptr_t AddressOfFunction(Function* function)
{
    return reinterpret_cast<std::uintptr_t>(function);
}

template <class T>
std::uintptr_t AddressOfObject(T& object)
{
    return reinterpret_cast<std::uintptr_t>(&object);
}

// The game's globals (GameGlobals.cpp).
[[nodiscard]] IdAddresses GlobalAddresses();
// The game's functions (GameFunctions.cpp).
[[nodiscard]] IdAddresses FunctionAddresses();
// The sink registration and the event sources' functions (GameEvents.cpp).
[[nodiscard]] IdAddresses EventAddresses();

// Makes every ID of the game's facts resolve in this process.
void InstallAddresses();

}  // namespace fake::detail
