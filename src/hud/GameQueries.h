#pragma once

#include "game/Objects.h"

// The decision's questions about the player and the world, over the cached
// game pointers. None fails: without a player they give false, 0.0 or -1.0.
bool IsSneaking();
bool IsJumping();
bool IsOverencumbered();
bool HostileActorsNear();
float GetActorValuePercent(RE::ActorValueInfo* actorValue);
float GetPlayerVehicleValue();

// Whether the game's UI has the named menu open; a game string is made for
// the question and released. False without a UI object.
bool IsMenuOpenNamed(const char* name);

// Predicates on an auto-aim target; `reference` is never null.
bool IsFloraRef(const RE::TESObjectREFR* reference);
bool IsHarvestedFloraRef(const RE::TESObjectREFR* reference);
bool IsNotActivatableRef(const RE::TESObjectREFR* reference);
bool IsAcceptedTargetRef(const RE::TESObjectREFR* reference);
