#pragma once

#include "game/Objects.h"

#include <string_view>

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

// Looks the eight objects up, in the order above, storing each. A missing one
// is logged ("<name> is nullptr, shutting down") and ends the game process
// with exit status 0, leaving the ones after it as they were. Returns true
// when all eight were found: it never returns otherwise.
bool LoadStaticVariables();

// The name of the first cached object that is null, in the order above;
// empty when all are set.
[[nodiscard]] std::string_view FirstMissingGameObject();

// All eight back to null, as before the first look-up.
void ForgetGameObjects();
