#include "FakeLoader.h"

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string_view>

// The records' layout is the loader's, not the compiler's choice.
struct LoaderLayout {
    static_assert(offsetof(FakeLoader::LoadRecord, QueryInterface) == loader_facts::kLoadQueryInterfaceOffset);
    static_assert(offsetof(FakeLoader::LoadRecord, GetHandle) == loader_facts::kLoadGetHandleOffset);
    static_assert(offsetof(FakeLoader::MessagingRecord, version) == loader_facts::kInterfaceVersionOffset);
    static_assert(offsetof(FakeLoader::MessagingRecord, RegisterListener) == loader_facts::kRegisterListenerOffset);
    static_assert(offsetof(FakeLoader::TrampolineRecord, version) == loader_facts::kInterfaceVersionOffset);
    static_assert(offsetof(FakeLoader::TrampolineRecord, AllocateBranchSpace) ==
                  loader_facts::kAllocateBranchSpaceOffset);
    static_assert(offsetof(FakeLoader::VersionOnlyRecord, version) == loader_facts::kInterfaceVersionOffset);
    static_assert(offsetof(FakeLoader::Message, sender) == loader_facts::kMessageSenderOffset);
    static_assert(offsetof(FakeLoader::Message, type) == loader_facts::kMessageTypeOffset);
};

namespace {

constexpr FakeLoader::PluginHandle kPluginHandle = 7;
constexpr std::string_view kLoaderSender = loader_facts::kLoaderSender;

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
    messaging_.version = loader_facts::kMessagingVersion;
    messaging_.RegisterListener = &FakeLoader::RegisterListener;
    trampoline_.version = loader_facts::kTrampolineVersion;
    trampoline_.AllocateBranchSpace = &FakeLoader::AllocateBranchSpace;
    menu_.version = loader_facts::kMenuVersion;
    task_.version = loader_facts::kTaskVersion;
}

const Zorvik::LoadInterface* FakeLoader::loadInterface() const noexcept
{
    return reinterpret_cast<const Zorvik::LoadInterface*>(&load_);
}

FakeLoader::~FakeLoader()
{
    current = nullptr;
}

bool FakeLoader::Deliver(std::uint32_t type)
{
    if (listener_ == nullptr) {
        return false;
    }
    Message message{};
    message.sender = kLoaderSender.data();
    message.type = type;
    listener_(&message);
    return true;
}

bool FakeLoader::SendDataLoaded()
{
    return Deliver(loader_facts::kDataLoadedMessage);
}

void* FakeLoader::QueryInterface(std::uint32_t id)
{
    auto& loader = Current();
    loader.calls_.push_back("QueryInterface(" + std::to_string(id) + ")");
    switch (id) {
        case loader_facts::kMessagingID:
            return loader.options_.serveMessaging ? &loader.messaging_ : nullptr;
        case loader_facts::kTrampolineID:
            return loader.options_.serveTrampoline ? &loader.trampoline_ : nullptr;
        case loader_facts::kMenuID:
            return &loader.menu_;
        case loader_facts::kTaskID:
            return &loader.task_;
        default:
            return nullptr;
    }
}

FakeLoader::PluginHandle FakeLoader::GetHandle()
{
    Current().calls_.emplace_back("GetHandle");
    return kPluginHandle;
}

bool FakeLoader::RegisterListener(PluginHandle handle, const char* sender, Listener listener)
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

void* FakeLoader::AllocateBranchSpace(PluginHandle handle, std::uint64_t size)
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
