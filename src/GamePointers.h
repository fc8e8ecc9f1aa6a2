#pragma once

#include "game/Objects.h"

// The game objects the decision cannot do without, looked up by
// LoadStaticVariables at installation and on some events. Null until then;
// UnityInProcess keeps the decision away while any is null.
inline RE::UI* UISingleton = nullptr;
inline RE::Actor* PlayerChar = nullptr;
inline RE::TESQuest* MQ305 = nullptr;
inline RE::TESQuest* MQ301 = nullptr;
inline RE::ActorValueInfo* HealthAV = nullptr;
inline RE::ActorValueInfo* OxygenAV = nullptr;
inline RE::ActorValueInfo* BoostPackAV = nullptr;
inline RE::AutoAim* autoAimData = nullptr;

// Looks the eight objects up, in that order. A missing one is logged and ends
// the game process with exit status 0; otherwise returns true.
bool LoadStaticVariables();
