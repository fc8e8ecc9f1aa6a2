#pragma once

#include "Zorvik/Interfaces.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The loader's side of the load protocol, as the simulated game serves it:
// the load interface and the interfaces it hands out, with every call the
// plugin makes recorded in order. One loader per process: the loader's
// functions are plain C functions called without an object.
class FakeLoader {
public:
    struct Options {
        bool serveMessaging = true;
        bool acceptListener = true;
        bool serveTrampoline = true;
    };

    explicit FakeLoader(Options options);
    ~FakeLoader();
    FakeLoader(const FakeLoader&) = delete;
    FakeLoader& operator=(const FakeLoader&) = delete;

    [[nodiscard]] const Zorvik::LoadInterface* loadInterface() const noexcept { return &load_; }

    // "GetHandle", "QueryInterface(1)", "AllocateBranchSpace(256)",
    // "RegisterListener(Zorvik)", ... in the order the plugin called them.
    [[nodiscard]] const std::vector<std::string>& calls() const noexcept { return calls_; }
    [[nodiscard]] Zorvik::MessagingInterface::Listener listener() const noexcept { return listener_; }

    // The branch space handed out, empty when none was asked for.
    [[nodiscard]] std::uintptr_t branchSpace() const noexcept { return branchSpaceGiven_; }
    [[nodiscard]] std::size_t branchSpaceSize() const noexcept { return branchSpaceSizeGiven_; }

    // Sends the data-loaded message to the registered listener; false when
    // there is none.
    bool SendDataLoaded();

private:
    static void* QueryInterface(std::uint32_t id);
    static Zorvik::PluginHandle GetHandle();
    static bool RegisterListener(Zorvik::PluginHandle handle, const char* sender,
                                 Zorvik::MessagingInterface::Listener listener);
    static void* AllocateBranchSpace(Zorvik::PluginHandle handle, std::uint64_t size);

    Options options_;
    Zorvik::LoadInterface load_{};
    Zorvik::MessagingInterface messaging_{};
    Zorvik::TrampolineInterface trampoline_{};
    Zorvik::MenuInterface menu_{};
    Zorvik::TaskInterface task_{};
    std::vector<std::string> calls_;
    Zorvik::MessagingInterface::Listener listener_ = nullptr;
    std::uintptr_t branchSpaceGiven_ = 0;
    std::size_t branchSpaceSizeGiven_ = 0;
};
