#include "FakeLoader.h"

#include <windows.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

constexpr Zorvik::PluginHandle kPluginHandle = 7;
constexpr std::string_view kLoaderSender = "Zorvik";

FakeLoader* current = nullptr;

// Branch space must lie within 32-bit reach of the game's code: a page of
// this executable's own image is, wherever the system loads it.
constexpr std::size_t kBranchSpaceSize = 4096;
alignas(4096) std::array<std::byte, kBranchSpaceSize> loaderBranchSpace{};

FakeLoader& Current()
{
    if (current == nullptr) {
        std::fprintf(stderr, "FakeLoader: the plugin called the loader with no loader installed\n");
        std::abort();
    }
    return *current;
}

}  // namespace

FakeLoader::FakeLoader(Options options) : options_(options)
{
    if (current != nullptr) {
        std::fprintf(stderr, "FakeLoader: only one loader at a time\n");
        std::abort();
    }
    current = this;
    load_.version = 1;
    load_.QueryInterface = &FakeLoader::QueryInterface;
    load_.GetHandle = &FakeLoader::GetHandle;
    messaging_.version = Zorvik::MessagingInterface::kVersion;
    messaging_.RegisterListener = &FakeLoader::RegisterListener;
    trampoline_.version = Zorvik::TrampolineInterface::kVersion;
    trampoline_.AllocateBranchSpace = &FakeLoader::AllocateBranchSpace;
    menu_.version = Zorvik::MenuInterface::kVersion;
    task_.version = Zorvik::TaskInterface::kVersion;
}

FakeLoader::~FakeLoader()
{
    current = nullptr;
}

bool FakeLoader::SendDataLoaded()
{
    if (listener_ == nullptr) {
        return false;
    }
    Zorvik::MessagingInterface::Message message{};
    message.sender = kLoaderSender.data();
    message.type = Zorvik::MessagingInterface::kPostDataLoad;
    listener_(&message);
    return true;
}

void* FakeLoader::QueryInterface(std::uint32_t id)
{
    auto& loader = Current();
    loader.calls_.push_back("QueryInterface(" + std::to_string(id) + ")");
    switch (id) {
        case Zorvik::MessagingInterface::kID:
            return loader.options_.serveMessaging ? &loader.messaging_ : nullptr;
        case Zorvik::TrampolineInterface::kID:
            return loader.options_.serveTrampoline ? &loader.trampoline_ : nullptr;
        case Zorvik::MenuInterface::kID:
            return &loader.menu_;
        case Zorvik::TaskInterface::kID:
            return &loader.task_;
        default:
            return nullptr;
    }
}

Zorvik::PluginHandle FakeLoader::GetHandle()
{
    Current().calls_.emplace_back("GetHandle");
    return kPluginHandle;
}

bool FakeLoader::RegisterListener(Zorvik::PluginHandle handle, const char* sender,
                                  Zorvik::MessagingInterface::Listener listener)
{
    auto& loader = Current();
    const std::string_view from = sender == nullptr ? std::string_view("<null>") : std::string_view(sender);
    loader.calls_.push_back("RegisterListener(" + std::string(from) + ")");
    if (handle != kPluginHandle || from != kLoaderSender || listener == nullptr || !loader.options_.acceptListener) {
        return false;
    }
    loader.listener_ = listener;
    return true;
}

void* FakeLoader::AllocateBranchSpace(Zorvik::PluginHandle handle, std::uint64_t size)
{
    auto& loader = Current();
    loader.calls_.push_back("AllocateBranchSpace(" + std::to_string(size) + ")");
    if (handle != kPluginHandle || size > kBranchSpaceSize || loader.branchSpaceGiven_ != 0) {
        return nullptr;
    }
    DWORD previous = 0;
    if (VirtualProtect(loaderBranchSpace.data(), loaderBranchSpace.size(), PAGE_EXECUTE_READWRITE, &previous) == 0) {
        return nullptr;
    }
    loader.branchSpaceGiven_ = reinterpret_cast<std::uintptr_t>(loaderBranchSpace.data());
    loader.branchSpaceSizeGiven_ = static_cast<std::size_t>(size);
    return loaderBranchSpace.data();
}
