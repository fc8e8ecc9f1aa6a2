#include "hud/CachedGameObjects.h"

#include "PluginLog.h"
#include "game/Functions.h"
#include "game/IDs.h"

#include <cstdint>
#include <cstdlib>
#include <tuple>

namespace {

// One cached object: the name its log lines give it, where it is kept, and
// how the game is asked for it.
template <class Object>
struct CachedGameObject {
    std::string_view name;
    SharedValue<Object*>* pointer;
    Object* (*lookUp)();
};

// A form by its form ID, stored without a type check as the game gives it.
template <class Object, std::uint32_t FormID>
Object* LookUpForm()
{
    return reinterpret_cast<Object*>(RE::LookupFormByID(FormID));
}

// In look-up order, which is also the order in which the gating names the
// first missing one. A tuple of constants, so that the check of every pass
// compiles to eight loads.
constexpr std::tuple kCachedGameObjects{
    CachedGameObject<RE::UI>{"UISingleton", &UISingleton, [] { return RE::GetUISingleton(); }},
    CachedGameObject<RE::Actor>{"PlayerChar", &PlayerChar, [] { return RE::GetPlayerCharacter(); }},
    CachedGameObject<RE::TESQuest>{"MQ305", &MQ305, &LookUpForm<RE::TESQuest, RE::FormID::MQ305>},
    CachedGameObject<RE::TESQuest>{"MQ301", &MQ301, &LookUpForm<RE::TESQuest, RE::FormID::MQ301>},
    CachedGameObject<RE::ActorValueInfo>{"HealthAV", &HealthAV, &LookUpForm<RE::ActorValueInfo, RE::FormID::Health>},
    CachedGameObject<RE::ActorValueInfo>{"OxygenAV", &OxygenAV, &LookUpForm<RE::ActorValueInfo, RE::FormID::Oxygen>},
    CachedGameObject<RE::ActorValueInfo>{"BoostPackAV", &BoostPackAV,
                                         &LookUpForm<RE::ActorValueInfo, RE::FormID::BoostPack>},
    CachedGameObject<RE::AutoAim>{"autoAimData", &autoAimData, [] { return RE::GetAutoAimSingleton(); }},
};

// Visits the objects in order until `visit` returns true.
template <class Visit>
void ForEachUntil(Visit&& visit)
{
    std::apply([&](const auto&... object) { (visit(object) || ...); }, kCachedGameObjects);
}

}  // namespace

bool LoadStaticVariables()
{
    // Each is stored and checked at once: a missing one stops the look-ups
    // that follow it.
    ForEachUntil([](const auto& object) {
        *object.pointer = object.lookUp();
        if (*object.pointer == nullptr) {
            PLUGIN_LOG_FOR("LoadStaticVariables", err, "{} is nullptr, shutting down", object.name);
            std::exit(0);
        }
        return false;
    });
    return true;
}

std::string_view FirstMissingGameObject()
{
    std::string_view missing;
    ForEachUntil([&](const auto& object) {
        if (*object.pointer == nullptr) {
            missing = object.name;
        }
        return !missing.empty();
    });
    return missing;
}

void ForgetGameObjects()
{
    ForEachUntil([](const auto& object) {
        *object.pointer = nullptr;
        return false;
    });
}
