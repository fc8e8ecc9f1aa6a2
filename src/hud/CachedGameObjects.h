#pragma once

#include "SharedValue.h"
#include "game/Objects.h"

#include <string_view>

// The game objects the decision cannot do without, looked up by
// LoadStaticVariables at installation and on some events. Null until then;
// UnityInProcess keeps the decision away while any is null. Written by the
// installation and by the save/load and menu sinks on their threads, read by
// every pass.
inline constinit SharedValue<RE::UI*> UISingleton = nullptr;
inline constinit SharedValue<RE::Actor*> PlayerChar = nullptr;
inline constinit SharedValue<RE::TESQuest*> MQ305 = nullptr;
inline constinit SharedValue<RE::TESQuest*> MQ301 = nullptr;
inline constinit SharedValue<RE::ActorValueInfo*> HealthAV = nullptr;
inline constinit SharedValue<RE::ActorValueInfo*> OxygenAV = nullptr;
inline constinit SharedValue<RE::ActorValueInfo*> BoostPackAV = nullptr;
inline constinit SharedValue<RE::AutoAim*> autoAimData = nullptr;

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
