#include "Zorvik/Logger.h"
#include "events/Events.h"
#include "game/Functions.h"
#include "game/IDs.h"

#include <array>
#include <string_view>

namespace Events {

namespace {

// A sink and where its events come from: a function that finds the source,
// null when the game has none (the menu source lies inside the UI object,
// which may not exist yet).
struct SinkRegistration {
    std::string_view events;  // as the sink's own log lines name them
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
    {"MenuOpenCloseEvent", &menuOpenCloseSink, &MenuOpenCloseSourceOfTheUI},
    {"SaveLoadEvent", &saveLoadSink, &SourceGivenBy<RE::ID::SaveLoadEventSource>},
    {"HideSubtitleEvent", &hideSubtitleSink, &SourceGivenBy<RE::ID::SubtitleHiddenEventSource>},
    {"ShowSubtitleEvent", &showSubtitleSink, &SourceGivenBy<RE::ID::SubtitleShownEventSource>},
    {"LocationTextEvent", &locationTextSink, &SourceGivenBy<RE::ID::LocationTextEventSource>},
    {"TraitDiscoveryTextEvent", &traitDiscoveryTextSink, &SourceGivenBy<RE::ID::TraitDiscoveryTextEventSource>},
    {"HUDNotification_MissionActiveWidgetUpdate", &missionActiveWidgetSink,
     &SourceGivenBy<RE::ID::MissionActiveWidgetEventSource>},
    {"LevelUp_OnWidgetShown", &levelUpSink, &SourceGivenBy<RE::ID::LevelUpWidgetEventSource>},
}};

}  // namespace

void RegisterSinks()
{
    for (const auto& [events, sink, source] : kSinkRegistrations) {
        // The game's registration reads the source: never hand it a null one.
        if (void* found = source(); found != nullptr) {
            RE::RegisterSink(found, sink);
        } else {
            // Whatever bLogging says: otherwise "installation complete" would
            // follow as if the HUD would answer these events.
            Zorvik::log::error(
                "the sink of {} was not registered: the game gave no source of these events; the HUD "
                "will not answer them",
                events);
        }
    }
}

}  // namespace Events
