#pragma once

#include "Zorvik/Interfaces.h"
#include "Zorvik/Logger.h"

namespace Zorvik {

// Sets up the log and the game executable's description, and keeps the
// plugin's handle and the loader's interfaces; once per process. A null load
// interface is a fatal report.
void Init(const LoadInterface* loadInterface, bool setUpLog = true) noexcept;

// What Init kept: the handle (kInvalidPluginHandle before Init) and the
// interfaces, each null when the loader has none.
[[nodiscard]] PluginHandle GetPluginHandle() noexcept;
[[nodiscard]] const MessagingInterface* GetMessagingInterface() noexcept;
[[nodiscard]] const TrampolineInterface* GetTrampolineInterface() noexcept;
[[nodiscard]] const MenuInterface* GetMenuInterface() noexcept;
[[nodiscard]] const TaskInterface* GetTaskInterface() noexcept;

namespace detail {

// Asks the loader for an interface; one newer than this plugin knows is used
// as if it had the known layout, with a warning.
template <class Interface>
[[nodiscard]] const Interface* QueryInterface(const LoadInterface* loadInterface, std::uint32_t id)
{
    const auto* found = static_cast<const Interface*>(loadInterface->QueryInterface(id));
    if (found != nullptr && found->version > Interface::kVersion) {
        log::warn("interface definition is out of date");
    }
    return found;
}

}  // namespace detail

}  // namespace Zorvik
