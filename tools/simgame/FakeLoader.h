#pragma once

#include "LoaderFacts.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The plugin's load function takes the loader's load interface by this name;
// to the loader it is only the address of its record.
namespace Zorvik {
struct LoadInterface;
}  // namespace Zorvik

// The loader's side of the load protocol, as the simulated game serves it:
// the load interface and the interfaces it hands out, laid out as the
// loader's records (LoaderFacts.h), with every call the plugin makes recorded
// in order. One loader per process: the loader's functions are plain C
// functions called without an object.
class FakeLoader {
public:
    struct Options {
        bool serveMessaging = true;
        bool acceptListener = true;
        bool serveTrampoline = true;
    };

    using PluginHandle = std::uint32_t;
    // The loader's message as the plugin's listener receives it.
    struct Message {
        const char* sender;
        std::uint32_t type;
        std::uint32_t dataLength;
        void* data;
    };
    using Listener = void (*)(Message* message);

    explicit FakeLoader(Options options);
    ~FakeLoader();
    FakeLoader(const FakeLoader&) = delete;
    FakeLoader& operator=(const FakeLoader&) = delete;

    [[nodiscard]] const Zorvik::LoadInterface* loadInterface() const noexcept;

    // "GetHandle", "QueryInterface(1)", "AllocateBranchSpace(256)",
    // "RegisterListener(Zorvik)", ... in the order the plugin called them.
    [[nodiscard]] const std::vector<std::string>& calls() const noexcept { return calls_; }

    // The branch space handed out, empty when none was asked for.
    [[nodiscard]] std::uintptr_t branchSpace() const noexcept { return branchSpaceGiven_; }
    [[nodiscard]] std::size_t branchSpaceSize() const noexcept { return branchSpaceSizeGiven_; }

    // Sends a message of the loader's to the registered listener; false when
    // there is none.
    bool Deliver(std::uint32_t type);
    bool SendDataLoaded();

private:
    // The loader's records: a u32 version first, the functions at the
    // loader's offsets (checked in FakeLoader.cpp).
    struct LoadRecord {
        std::uint32_t version;
        std::uint32_t unused04;
        void* unused08;
        void* (*QueryInterface)(std::uint32_t id);
        PluginHandle (*GetHandle)();
    };
    struct MessagingRecord {
        std::uint32_t version;
        std::uint32_t unused04;
        bool (*RegisterListener)(PluginHandle handle, const char* sender, Listener listener);
    };
    struct TrampolineRecord {
        std::uint32_t version;
        std::uint32_t unused04;
        void* (*AllocateBranchSpace)(PluginHandle handle, std::uint64_t size);
    };
    struct VersionOnlyRecord {
        std::uint32_t version;
    };
    friend struct LoaderLayout;

    static void* QueryInterface(std::uint32_t id);
    static PluginHandle GetHandle();
    static bool RegisterListener(PluginHandle handle, const char* sender, Listener listener);
    static void* AllocateBranchSpace(PluginHandle handle, std::uint64_t size);

    Options options_;
    LoadRecord load_{};
    MessagingRecord messaging_{};
    TrampolineRecord trampoline_{};
    VersionOnlyRecord menu_{};
    VersionOnlyRecord task_{};
    std::vector<std::string> calls_;
    Listener listener_ = nullptr;
    std::uintptr_t branchSpaceGiven_ = 0;
    std::size_t branchSpaceSizeGiven_ = 0;
};
