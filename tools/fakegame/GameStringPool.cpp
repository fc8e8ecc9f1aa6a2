#include "FakeGame.h"

#include <algorithm>
#include <string_view>

// The game keeps its strings in its own memory: a fixed pool here, so that a
// pass allocates nothing on the plugin's heap for them. With threads at once
// each thread has a pool of its own: a string is made, read and released on
// one thread, and no pool is shared that would order the threads.
std::array<FakeGame::GameStringEntry, 16>& FakeGame::StringPool()
{
    if (RecordsEachCall()) {
        return strings_;
    }
    thread_local std::array<GameStringEntry, 16> threadStrings{};
    return threadStrings;
}

FakeGame::GameStringEntry* FakeGame::FreeStringEntry()
{
    for (auto& entry : StringPool()) {
        if (!entry.live) {
            entry.bytes = {};
            return &entry;
        }
    }
    Fault("more live game strings than the fake game holds: strings are not released");
    return nullptr;
}

const void* FakeGame::MakeString(const char* text)
{
    const std::string_view view(text);
    if (view.size() >= sizeof(GameStringEntry::bytes) - kStringCharacters) {
        Fault("MakeGameString with a text too long for the fake game");
        return nullptr;
    }
    GameStringEntry* entry = FreeStringEntry();
    if (entry == nullptr) {
        return nullptr;
    }
    view.copy(static_cast<char*>(entry->bytes.data()) + kStringCharacters, view.size());
    entry->live = true;
    ++stringsMade_;
    if (!RecordsEachCall()) {
        ++liveThreadStrings_;
    }
    return entry->bytes.data();
}

const void* FakeGame::MakeReferringString(const char* text)
{
    const void* target = MakeString(text);
    GameStringEntry* entry = target == nullptr ? nullptr : FreeStringEntry();
    if (entry == nullptr) {
        ReleaseString(target);
        return nullptr;
    }
    entry->bytes.write(game_facts::kEntryFlagsOffset, game_facts::kEntryRefersOn);
    entry->bytes.write(game_facts::kEntryNextOffset, target);
    entry->live = true;
    ++stringsMade_;
    if (!RecordsEachCall()) {
        ++liveThreadStrings_;
    }
    return entry->bytes.data();
}

FakeGame::GameStringEntry* FakeGame::LiveStringEntry(const void* entry)
{
    for (auto& slot : StringPool()) {
        if (slot.bytes.data() == entry && slot.live) {
            return &slot;
        }
    }
    return nullptr;
}

const FakeGame::GameStringEntry* FakeGame::LiveStringEntry(const void* entry) const
{
    return const_cast<FakeGame*>(this)->LiveStringEntry(entry);
}

bool FakeGame::ReleaseString(const void* entry)
{
    GameStringEntry* slot = LiveStringEntry(entry);
    if (slot == nullptr) {
        return false;
    }
    slot->live = false;
    ++stringsReleased_;
    if (!RecordsEachCall()) {
        --liveThreadStrings_;
    }
    if ((slot->bytes.read<std::uint8_t>(game_facts::kEntryFlagsOffset) & game_facts::kEntryRefersOn) != 0) {
        ReleaseString(slot->bytes.read<const void*>(game_facts::kEntryNextOffset));
    }
    return true;
}

const char* FakeGame::LiveString(const void* entry) const
{
    const GameStringEntry* slot = LiveStringEntry(entry);
    while (slot != nullptr &&
           (slot->bytes.read<std::uint8_t>(game_facts::kEntryFlagsOffset) & game_facts::kEntryRefersOn) != 0) {
        slot = LiveStringEntry(slot->bytes.read<const void*>(game_facts::kEntryNextOffset));
    }
    return slot == nullptr ? nullptr : static_cast<const char*>(slot->bytes.data()) + kStringCharacters;
}

int FakeGame::LiveGameStrings() const noexcept
{
    return liveThreadStrings_ +
           static_cast<int>(std::count_if(strings_.begin(), strings_.end(), [](const auto& s) { return s.live; }));
}
