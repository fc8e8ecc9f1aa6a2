#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// What the simulated loader knows about the loader it stands for: where its
// records keep their functions, its interface ids and versions, and its
// message. Written from the loader's documentation and deliberately not taken
// from the plugin's headers, so that a plugin that reads a record at another
// offset meets a loader that disagrees with it.
namespace loader_facts {

// The load interface handed to the plugin's load function.
inline constexpr std::size_t kLoadQueryInterfaceOffset = 0x10;  // void* (u32 id)
inline constexpr std::size_t kLoadGetHandleOffset = 0x18;       // u32 ()

// Every interface record begins with its u32 version.
inline constexpr std::size_t kInterfaceVersionOffset = 0;

inline constexpr std::uint32_t kMessagingID = 1;
inline constexpr std::uint32_t kTrampolineID = 2;
inline constexpr std::uint32_t kMenuID = 3;
inline constexpr std::uint32_t kTaskID = 4;

inline constexpr std::uint32_t kMessagingVersion = 1;
inline constexpr std::uint32_t kTrampolineVersion = 1;
inline constexpr std::uint32_t kMenuVersion = 2;
inline constexpr std::uint32_t kTaskVersion = 1;

// Messaging: bool RegisterListener(u32 handle, const char* sender, void (*)(Message*)).
inline constexpr std::size_t kRegisterListenerOffset = 8;
// Trampoline: void* AllocateBranchSpace(u32 handle, u64 size).
inline constexpr std::size_t kAllocateBranchSpaceOffset = 8;

// A message: the sender's name first, the u32 type at offset 8.
inline constexpr std::size_t kMessageSenderOffset = 0;
inline constexpr std::size_t kMessageTypeOffset = 8;
// The loader's own messages come from this sender; type 2 says the game's
// data has been loaded.
inline constexpr std::string_view kLoaderSender = "Zorvik";
inline constexpr std::uint32_t kDataLoadedMessage = 2;

}  // namespace loader_facts
