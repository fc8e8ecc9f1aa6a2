#pragma once

#include "game/Objects.h"

#include <cstdint>
#include <string_view>

namespace RE {

enum class BSEventNotifyControl : std::uint32_t {
    kContinue = 0,
    kStop = 1,
};

template <class Event>
struct BSTEventSource;

namespace BSTEventDetail {

// The game calls a sink through its virtual table: slot 0 is the (single)
// destructor of the game's ABI, slot 1 ProcessEvent. A C++ virtual destructor
// would take two slots here and move ProcessEvent, so the base declares a
// destructor-shaped first slot instead and no virtual destructor; sinks are
// static objects that the game never deletes.
class SinkBase {
public:
    virtual void* DestructorSlot(std::uint32_t flags) { return flags != 0 ? nullptr : this; }

protected:
    SinkBase() = default;
    ~SinkBase() = default;
    SinkBase(const SinkBase&) = default;
    SinkBase& operator=(const SinkBase&) = default;
};

}  // namespace BSTEventDetail

// The game passes the event by reference, which its calling convention passes
// as the event's address: taken here as a pointer, so that a sink can see a
// null one instead of the compiler assuming it away.
template <class Event>
class BSTEventSink : public BSTEventDetail::SinkBase {
public:
    virtual BSEventNotifyControl ProcessEvent(const Event* event, BSTEventSource<Event>* source) = 0;

protected:
    BSTEventSink() = default;
    ~BSTEventSink() = default;
};

inline constexpr std::size_t kSinkProcessEventSlot = 1;

// A menu opening or closing, as the game raises it: the menu's name as a
// game string handle, then a byte that is non-zero while the menu opens. A
// byte, not a bool: the game may write any non-zero value, and a bool holding
// one other than 1 is undefined behaviour.
struct MenuOpenCloseEvent {
    GameString menuName;
    std::uint8_t opening = 0;
};
static_assert(sizeof(void*) == 8 && offsetof(MenuOpenCloseEvent, opening) == 8);

// The text of a game string handle: the handle points to a string-pool
// entry, which may refer on to another; the characters follow the last one.
// A null handle or a null link reads as empty.
[[nodiscard]] inline std::string_view GameStringText(const GameString& handle) noexcept
{
    constexpr std::size_t kFlags = 0x14;
    constexpr std::uint8_t kRefersOn = 0x2;
    constexpr std::size_t kNext = 0x08;
    constexpr std::size_t kCharacters = 0x18;
    const void* entry = handle.entry;
    while (entry != nullptr && (detail::read<std::uint8_t>(entry, kFlags) & kRefersOn) != 0) {
        entry = detail::read<const void*>(entry, kNext);
    }
    if (entry == nullptr) {
        return {};
    }
    return std::string_view(static_cast<const char*>(entry) + kCharacters);
}

}  // namespace RE
