#include "GamePointers.h"

#include "PluginLog.h"
#include "game/Functions.h"
#include "game/IDs.h"

#include <cstdlib>

namespace {

template <class Object>
Object* LookupForm(std::uint32_t formID)
{
    return reinterpret_cast<Object*>(RE::LookupFormByID(formID));
}

}  // namespace

// Each object is stored and checked at once, in this order: a missing one
// stops the look-ups that follow it.
#define STORE_OR_EXIT(pointer, lookup)                        \
    do {                                                      \
        (pointer) = (lookup);                                 \
        if ((pointer) == nullptr) {                           \
            LOG_ERROR(#pointer " is nullptr, shutting down"); \
            std::exit(0);                                     \
        }                                                     \
    } while (false)

bool LoadStaticVariables()
{
    STORE_OR_EXIT(UISingleton, RE::GetUISingleton());
    STORE_OR_EXIT(PlayerChar, RE::GetPlayerCharacter());
    STORE_OR_EXIT(MQ305, LookupForm<RE::TESQuest>(RE::FormID::MQ305));
    STORE_OR_EXIT(MQ301, LookupForm<RE::TESQuest>(RE::FormID::MQ301));
    STORE_OR_EXIT(HealthAV, LookupForm<RE::ActorValueInfo>(RE::FormID::Health));
    STORE_OR_EXIT(OxygenAV, LookupForm<RE::ActorValueInfo>(RE::FormID::Oxygen));
    STORE_OR_EXIT(BoostPackAV, LookupForm<RE::ActorValueInfo>(RE::FormID::BoostPack));
    STORE_OR_EXIT(autoAimData, RE::GetAutoAimSingleton());
    return true;
}
