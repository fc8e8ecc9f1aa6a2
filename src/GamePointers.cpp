#include "GamePointers.h"

#include "PluginLog.h"
#include "game/Functions.h"

#include <cstdlib>

namespace {

// Form IDs of the game's own forms.
constexpr std::uint32_t kQuestMQ305 = 0x24EF9C;
constexpr std::uint32_t kQuestMQ301 = 0x3448;
constexpr std::uint32_t kHealth = 0x2D4;
constexpr std::uint32_t kOxygen = 0x2D5;
constexpr std::uint32_t kBoostPack = 0x24021;

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
        pointer = lookup;                                     \
        if (pointer == nullptr) {                             \
            LOG_ERROR(#pointer " is nullptr, shutting down"); \
            std::exit(0);                                     \
        }                                                     \
    } while (false)

bool LoadStaticVariables()
{
    STORE_OR_EXIT(UISingleton, RE::GetUISingleton());
    STORE_OR_EXIT(PlayerChar, RE::GetPlayerCharacter());
    STORE_OR_EXIT(MQ305, LookupForm<RE::TESQuest>(kQuestMQ305));
    STORE_OR_EXIT(MQ301, LookupForm<RE::TESQuest>(kQuestMQ301));
    STORE_OR_EXIT(HealthAV, LookupForm<RE::ActorValueInfo>(kHealth));
    STORE_OR_EXIT(OxygenAV, LookupForm<RE::ActorValueInfo>(kOxygen));
    STORE_OR_EXIT(BoostPackAV, LookupForm<RE::ActorValueInfo>(kBoostPack));
    STORE_OR_EXIT(autoAimData, RE::GetAutoAimSingleton());
    return true;
}
