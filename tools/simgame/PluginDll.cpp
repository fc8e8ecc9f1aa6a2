#include "PluginDll.h"

#include "Zorvik/PluginVersionData.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace sim {

std::optional<LoadFunction> LoadPluginDll(const std::filesystem::path& dll)
{
    HMODULE plugin = LoadLibraryW(dll.wstring().c_str());
    if (plugin == nullptr) {
        std::fprintf(stderr, "cannot load %s (error %lu)\n", dll.filename().string().c_str(), GetLastError());
        return std::nullopt;
    }
    const auto* record = reinterpret_cast<const Zorvik::PluginVersionData*>(
        reinterpret_cast<void*>(GetProcAddress(plugin, "ZorvikPlugin_Version")));
    const auto load =
        reinterpret_cast<LoadFunction>(reinterpret_cast<void*>(GetProcAddress(plugin, "ZorvikPlugin_Load")));
    if (record == nullptr || load == nullptr) {
        std::fprintf(stderr, "the DLL exports no ZorvikPlugin_Version or ZorvikPlugin_Load\n");
        return std::nullopt;
    }
    const auto version = Zorvik::PackedVersion::unpack(record->pluginVersion);
    std::printf("plugin: %.*s, version %u.%u.%u.%u\n", static_cast<int>(strnlen(record->name.data(), 256)),
                record->name.data(), version.major, version.minor, version.patch, version.build);
    return load;
}

}  // namespace sim
