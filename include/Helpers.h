#pragma once

#include "game/Functions.h"
#include "game/Objects.h"

#include <cstdint>

// True when the quest's stage is done; false without a quest.
inline bool IsStageDone(RE::TESQuest* quest, std::uint16_t stage)
{
    return quest != nullptr && RE::IsStageDone(quest, stage);
}

// Weapon states 1 to 3 are drawn; 0 and 4 to 7 are not.
inline bool IsWeaponDrawn(RE::Actor* actor)
{
    return actor != nullptr && (RE::WeaponState(actor) & 7U) - 1U <= 2U;
}
