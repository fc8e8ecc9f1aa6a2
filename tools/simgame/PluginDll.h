#pragma once

#include <filesystem>
#include <optional>

namespace Zorvik {
struct LoadInterface;
}  // namespace Zorvik

namespace sim {

using LoadFunction = bool (*)(const Zorvik::LoadInterface*);

// Loads the plugin DLL as the loader does, prints the name and version its
// record gives and returns its load function; nothing, after a message on
// standard error, when it does not load or lacks the loader's exports.
[[nodiscard]] std::optional<LoadFunction> LoadPluginDll(const std::filesystem::path& dll);

}  // namespace sim
