#include "hud/CachedGameObjects.h"

#include "PluginLog.h"
#include "game/Functions.h"
#include "game/IDs.h"

#include <array>
#include <cstdint>
#include <cstdlib>

namespace {

// One cached object: the name its log lines give it, and its look-up.
struct CachedGameObject {
    std::string_view name;
    bool (*present)();  // whether the cached pointer is set
    void (*lookUp)();   // asks the game and stores its answer, null or not
    void (*forget)();

    // `Pointer` is where the object is kept; `LookUp` a lambda that asks the
    // game for it.
    template <auto& Pointer, class LookUp>
    static constexpr CachedGameObject Of(std::string_view name, LookUp /*unused*/)
    {
        return {name, [] { return Pointer != nullptr; }, [] { Pointer = LookUp{}(); }, [] { Pointer = nullptr; }};
    }
};

// A form by its form ID, stored without a type check as the game gives it.
template <class Object>
Object* LookUpForm(std::uint32_t formID)
{
    return reinterpret_cast<Object*>(RE::LookupFormByID(formID));
}

// In look-up order, which is also the order in which the gating names the
// first missing one.
const std::array kCachedGameObjects{
    CachedGameObject::Of<UISingleton>("UISingleton", [] { return RE::GetUISingleton(); }),
    CachedGameObject::Of<PlayerChar>("PlayerChar", [] { return RE::GetPlayerCharacter(); }),
    CachedGameObject::Of<MQ305>("MQ305", [] { return LookUpForm<RE::TESQuest>(RE::FormID::MQ305); }),
    CachedGameObject::Of<MQ301>("MQ301", [] { return LookUpForm<RE::TESQuest>(RE::FormID::MQ301); }),
    CachedGameObject::Of<HealthAV>("HealthAV", [] { return LookUpForm<RE::ActorValueInfo>(RE::FormID::Health); }),
    CachedGameObject::Of<OxygenAV>("OxygenAV", [] { return LookUpForm<RE::ActorValueInfo>(RE::FormID::Oxygen); }),
    CachedGameObject::Of<BoostPackAV>("BoostPackAV",
                                      [] { return LookUpForm<RE::ActorValueInfo>(RE::FormID::BoostPack); }),
    CachedGameObject::Of<autoAimData>("autoAimData", [] { return RE::GetAutoAimSingleton(); }),
};

}  // namespace

bool LoadStaticVariables()
{
    // Each is stored and checked at once: a missing one stops the look-ups
    // that follow it.
    for (const CachedGameObject& object : kCachedGameObjects) {
        object.lookUp();
        if (!object.present()) {
            LOG_ERROR("{} is nullptr, shutting down", object.name);
            std::exit(0);
        }
    }
    return true;
}

std::string_view FirstMissingGameObject()
{
    for (const CachedGameObject& object : kCachedGameObjects) {
        if (!object.present()) {
            return object.name;
        }
    }
    return {};
}

void ForgetGameObjects()
{
    for (const CachedGameObject& object : kCachedGameObjects) {
        object.forget();
    }
}
