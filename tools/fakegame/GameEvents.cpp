#include "FakeGame.h"
#include "IdInstallation.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>

// The game's event sources, the sinks registered with them, and events raised
// through those sinks as the game raises them.

namespace {

using fake::detail::LiveUIs;

// Stand-ins for the game's event sources.
std::array<std::array<std::byte, 16>, 7> eventSources{};

constexpr auto& kEventSourceIDs = game_facts::kEventSourceIDs;

bool IsEventSource(const void* source)
{
    for (const auto& eventSource : eventSources) {
        if (source == eventSource.data()) {
            return true;
        }
    }
    return std::any_of(LiveUIs().begin(), LiveUIs().end(),
                       [source](fake::UI* ui) { return source == ui->MenuOpenCloseSource(); });
}

void FakeRegisterSink(void* source, void* sink)
{
    auto& game = FakeGame::Current();
    if (!IsEventSource(source)) {
        game.Fault("RegisterSink with a source that is no event source of the game");
    }
    if (sink == nullptr) {
        game.Fault("RegisterSink without a sink");
    }
    game.registeredSinks.emplace_back(source, sink);
}

template <std::size_t Index>
void* FakeEventSource()
{
    return eventSources[Index].data();
}

}  // namespace

fake::detail::IdAddresses fake::detail::EventAddresses()
{
    namespace id = game_facts;
    return {
        {id::kRegisterSinkID, AddressOfFunction(&FakeRegisterSink)},
        {kEventSourceIDs[0], AddressOfFunction(&FakeEventSource<0>)},
        {kEventSourceIDs[1], AddressOfFunction(&FakeEventSource<1>)},
        {kEventSourceIDs[2], AddressOfFunction(&FakeEventSource<2>)},
        {kEventSourceIDs[3], AddressOfFunction(&FakeEventSource<3>)},
        {kEventSourceIDs[4], AddressOfFunction(&FakeEventSource<4>)},
        {kEventSourceIDs[5], AddressOfFunction(&FakeEventSource<5>)},
        {kEventSourceIDs[6], AddressOfFunction(&FakeEventSource<6>)},
    };
}

const void* FakeGame::EventSource(std::uint64_t id)
{
    const auto found = std::find(kEventSourceIDs.begin(), kEventSourceIDs.end(), id);
    return found == kEventSourceIDs.end()
               ? nullptr
               : eventSources[static_cast<std::size_t>(found - kEventSourceIDs.begin())].data();
}

const void* FakeGame::MenuOpenCloseSource() noexcept
{
    return ui.MenuOpenCloseSource();
}

int FakeGame::RaiseEvent(std::uint64_t sourceID)
{
    const void* source = EventSource(sourceID);
    if (source == nullptr) {
        Fault("RaiseEvent: " + std::to_string(sourceID) + " is no event source ID");
        return 0;
    }
    // The plugin reads none of these events: any readable bytes will do.
    static const std::array<std::byte, 16> event{};
    return RaiseEventAt(source, event.data());
}

int FakeGame::RaiseMenuEvent(const char* menu, bool opening)
{
    return RaiseMenuEventWithOpeningByte(menu, static_cast<std::uint8_t>(opening ? 1 : 0));
}

int FakeGame::RaiseMenuEventWithOpeningByte(const char* menu, std::uint8_t opening)
{
    if (opening != 0) {
        ui.OpenMenu(menu);
    } else {
        ui.CloseMenu(menu);
    }
    return DeliverMenuEventWithOpeningByte(menu, opening);
}

int FakeGame::DeliverMenuEvent(const char* menu, bool opening)
{
    return DeliverMenuEventWithOpeningByte(menu, static_cast<std::uint8_t>(opening ? 1 : 0));
}

int FakeGame::DeliverMenuEventWithOpeningByte(const char* menu, std::uint8_t opening)
{
    // Every second menu event names its menu through a pool entry that refers
    // on to the one holding the characters, as the game's entries may. (With
    // threads at once, one thread delivers the menu events, as the UI's does.)
    const bool refersOn = menuEventsRaised_++ % 2 == 1;
    const void* name = refersOn ? MakeReferringString(menu) : MakeString(menu);
    fake::ObjectBytes<game_facts::kMenuEventSize> event;
    event.write(game_facts::kMenuEventNameOffset, name);
    event.write(game_facts::kMenuEventOpeningOffset, opening);
    const int called = RaiseEventAt(MenuOpenCloseSource(), event.data());
    ReleaseString(name);
    return called;
}

int FakeGame::RaiseEventAt(const void* source, const void* event)
{
    using ProcessEvent = std::uint32_t (*)(void* sink, const void* event, const void* source);
    // A copy: a sink may register another while the event is delivered.
    const auto sinks = registeredSinks;
    int called = 0;
    for (const auto& [registeredSource, sink] : sinks) {
        if (registeredSource != source) {
            continue;
        }
        const auto* vtable = *static_cast<const std::uintptr_t* const*>(sink);
        const auto process = reinterpret_cast<ProcessEvent>(vtable[game_facts::kSinkProcessEventSlot]);
        if (process(const_cast<void*>(sink), event, source) != game_facts::kSinkContinue) {
            Fault("a sink asked the game to stop delivering an event");
        }
        ++called;
    }
    return called;
}
