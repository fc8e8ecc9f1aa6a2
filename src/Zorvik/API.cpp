#include "Zorvik/API.h"

#include "REL/Module.h"

#include <mutex>

namespace Zorvik {

namespace {

// The loader's gifts to this plugin, kept for the life of the process; the
// interfaces belong to the loader.
struct ApiStorage {
    PluginHandle pluginHandle = kInvalidPluginHandle;
    const TrampolineInterface* trampolineInterface = nullptr;
    const MessagingInterface* messagingInterface = nullptr;
    const MenuInterface* menuInterface = nullptr;
    const TaskInterface* taskInterface = nullptr;
    std::mutex lock;
    bool initialised = false;
};

ApiStorage& Storage()
{
    static ApiStorage storage;
    return storage;
}

}  // namespace

void Init(const LoadInterface* loadInterface, bool setUpLog) noexcept
{
    if (loadInterface == nullptr) {
        report_fatal("interface is null");
    }
    if (setUpLog) {
        log::init();
    }
    (void)REL::Module::get();

    auto& storage = Storage();
    const std::scoped_lock guard(storage.lock);
    if (storage.initialised) {
        return;
    }
    storage.pluginHandle = loadInterface->GetHandle();
    storage.messagingInterface = detail::QueryInterface<MessagingInterface>(loadInterface, MessagingInterface::kID);
    storage.trampolineInterface = detail::QueryInterface<TrampolineInterface>(loadInterface, TrampolineInterface::kID);
    storage.menuInterface = detail::QueryInterface<MenuInterface>(loadInterface, MenuInterface::kID);
    storage.taskInterface = detail::QueryInterface<TaskInterface>(loadInterface, TaskInterface::kID);
    storage.initialised = true;
}

PluginHandle GetPluginHandle() noexcept
{
    return Storage().pluginHandle;
}
const MessagingInterface* GetMessagingInterface() noexcept
{
    return Storage().messagingInterface;
}
const TrampolineInterface* GetTrampolineInterface() noexcept
{
    return Storage().trampolineInterface;
}
const MenuInterface* GetMenuInterface() noexcept
{
    return Storage().menuInterface;
}
const TaskInterface* GetTaskInterface() noexcept
{
    return Storage().taskInterface;
}

}  // namespace Zorvik
