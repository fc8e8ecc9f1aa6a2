#include "events/Events.h"
#include "game/Functions.h"
#include "game/IDs.h"

#include <array>

namespace Events {

namespace {

// A sink and where its events come from: a function that finds the source,
// null when the game has none (the menu source lies inside the UI object,
// which may not exist yet).
struct SinkRegistration {
    RE::BSTEventDetail::SinkBase* sink;
    void* (*source)();
};

template <std::uint64_t SourceFunctionID>
void* SourceGivenBy()
{
    return RE::EventSourceGivenBy<SourceFunctionID>();
}

void* MenuOpenCloseSourceOfTheUI()
{
    RE::UI* ui = RE::GetUISingleton();
    return ui != nullptr ? RE::MenuOpenCloseSource(ui) : nullptr;
}

// Every sink once, in registration order.
const std::array<SinkRegistration, 8> kSinkRegistrations{{
    {&menuOpenCloseSink, &MenuOpenCloseSourceOfTheUI},
    {&saveLoadSink, &SourceGivenBy<RE::ID::SaveLoadEventSource>},
    {&hideSubtitleSink, &SourceGivenBy<RE::ID::SubtitleHiddenEventSource>},
    {&showSubtitleSink, &SourceGivenBy<RE::ID::SubtitleShownEventSource>},
    {&locationTextSink, &SourceGivenBy<RE::ID::LocationTextEventSource>},
    {&traitDiscoveryTextSink, &SourceGivenBy<RE::ID::TraitDiscoveryTextEventSource>},
    {&missionActiveWidgetSink, &SourceGivenBy<RE::ID::MissionActiveWidgetEventSource>},
    {&levelUpSink, &SourceGivenBy<RE::ID::LevelUpWidgetEventSource>},
}};

}  // namespace

void RegisterSinks()
{
    for (const auto& [sink, source] : kSinkRegistrations) {
        // The game's registration reads the source: never hand it a null one.
        if (void* found = source(); found != nullptr) {
            RE::RegisterSink(found, sink);
        }
    }
}

}  // namespace Events
