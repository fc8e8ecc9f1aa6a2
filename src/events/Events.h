#pragma once

#include "game/Events.h"

// The game events the plugin listens to, and the sinks that turn them into
// HUD requests. The event types other than the menu event are only named:
// no sink reads their contents.
namespace Events {

struct SaveLoadEvent {};
namespace HideSubtitleEvent {
struct Event {};
}  // namespace HideSubtitleEvent
namespace ShowSubtitleEvent {
struct Event {};
}  // namespace ShowSubtitleEvent
namespace LocationTextEvent {
struct Event {};
}  // namespace LocationTextEvent
namespace TraitDiscoveryTextEvent {
struct Event {};
}  // namespace TraitDiscoveryTextEvent
struct HUDNotification_MissionActiveWidgetUpdate {};
struct LevelUp_OnWidgetShown {};

#define LUMENVEIL_SINK(ClassName, EventType)                                                                           \
    class ClassName final : public RE::BSTEventSink<EventType> {                                                       \
    public:                                                                                                            \
        RE::BSEventNotifyControl ProcessEvent(const EventType* event, RE::BSTEventSource<EventType>* source) override; \
    }

LUMENVEIL_SINK(LumenveilMenusMenuOpenCloseEventClass, RE::MenuOpenCloseEvent);
LUMENVEIL_SINK(LumenveilMenusSaveLoadEventClass, SaveLoadEvent);
LUMENVEIL_SINK(LumenveilMenusHideSubtitleEventClass, HideSubtitleEvent::Event);
LUMENVEIL_SINK(LumenveilMenusShowSubtitleEventClass, ShowSubtitleEvent::Event);
LUMENVEIL_SINK(LumenveilMenusLocationTextEventClass, LocationTextEvent::Event);
LUMENVEIL_SINK(LumenveilMenusTraitDiscoveryTextEventClass, TraitDiscoveryTextEvent::Event);
LUMENVEIL_SINK(LumenveilMenusMissionActiveWidgetUpdateEventClass, HUDNotification_MissionActiveWidgetUpdate);
LUMENVEIL_SINK(LumenveilMenusLevelUpOnWidgetShownEventClass, LevelUp_OnWidgetShown);

#undef LUMENVEIL_SINK

// The one instance of each sink, alive for the whole process.
inline LumenveilMenusMenuOpenCloseEventClass menuOpenCloseSink;
inline LumenveilMenusSaveLoadEventClass saveLoadSink;
inline LumenveilMenusHideSubtitleEventClass hideSubtitleSink;
inline LumenveilMenusShowSubtitleEventClass showSubtitleSink;
inline LumenveilMenusLocationTextEventClass locationTextSink;
inline LumenveilMenusTraitDiscoveryTextEventClass traitDiscoveryTextSink;
inline LumenveilMenusMissionActiveWidgetUpdateEventClass missionActiveWidgetSink;
inline LumenveilMenusLevelUpOnWidgetShownEventClass levelUpSink;

// Registers the eight sinks with the game's event sources, in a fixed order
// (SinkRegistration.cpp); the menu sink only when the game's UI object exists.
void RegisterSinks();

}  // namespace Events
