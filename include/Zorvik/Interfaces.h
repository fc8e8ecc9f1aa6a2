#pragma once

#include <cstddef>
#include <cstdint>

// The loader's records, as far as the plugin uses them. Their layout is the
// loader's: the offsets are checked below. The function pointers are plain C
// functions of the loader, called without an object.
namespace Zorvik {

using PluginHandle = std::uint32_t;
inline constexpr PluginHandle kInvalidPluginHandle = 0xFFFFFFFF;

struct LoadInterface {
    std::uint32_t version;
    std::uint32_t reserved04;
    void* reserved08;
    void* (*QueryInterface)(std::uint32_t id);
    PluginHandle (*GetHandle)();
};
static_assert(offsetof(LoadInterface, QueryInterface) == 0x10);
static_assert(offsetof(LoadInterface, GetHandle) == 0x18);

struct MessagingInterface {
    static constexpr std::uint32_t kID = 1;
    static constexpr std::uint32_t kVersion = 1;
    // Sent by the loader once the game's data has been loaded.
    static constexpr std::uint32_t kPostDataLoad = 2;

    struct Message {
        const char* sender;
        std::uint32_t type;
        std::uint32_t dataLength;
        void* data;
    };

    using Listener = void (*)(Message* message);

    std::uint32_t version;
    std::uint32_t reserved04;
    bool (*RegisterListener)(PluginHandle handle, const char* sender, Listener listener);
};
static_assert(offsetof(MessagingInterface::Message, type) == 8);
static_assert(offsetof(MessagingInterface, RegisterListener) == 8);

struct TrampolineInterface {
    static constexpr std::uint32_t kID = 2;
    static constexpr std::uint32_t kVersion = 1;

    std::uint32_t version;
    std::uint32_t reserved04;
    // Executable memory within 32-bit branch reach of the game, or null.
    void* (*AllocateBranchSpace)(PluginHandle handle, std::uint64_t size);
};
static_assert(offsetof(TrampolineInterface, AllocateBranchSpace) == 8);

// Queried and kept, never called.
struct MenuInterface {
    static constexpr std::uint32_t kID = 3;
    static constexpr std::uint32_t kVersion = 2;
    std::uint32_t version;
};

struct TaskInterface {
    static constexpr std::uint32_t kID = 4;
    static constexpr std::uint32_t kVersion = 1;
    std::uint32_t version;
};

}  // namespace Zorvik
