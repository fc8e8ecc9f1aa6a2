#pragma once

#include "FakeGame.h"
#include "FakeLoader.h"
#include "support/ScratchDirectory.h"
#include "support/TestExecutable.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>

using LoadFunction = bool (*)(const Zorvik::LoadInterface*);

// The built DLL, loaded as the loader loads it: from beside the tests, or
// from a copy elsewhere.
struct PluginDll {
    PluginDll() = default;
    explicit PluginDll(const std::filesystem::path& file) : module(LoadLibraryW(file.c_str())) {}

    HMODULE module = LoadLibraryW((TestExecutable::directory() / "LumenveilHUD.dll").c_str());
    LoadFunction load =
        reinterpret_cast<LoadFunction>(reinterpret_cast<void*>(GetProcAddress(module, "ZorvikPlugin_Load")));
};

// In a child: the game folder with the game's address library (with the
// per-frame function moved, when asked), the game, the built DLL and a loader
// with `options`. A process loads the plugin once: each case ends its child.
template <class Case>
[[noreturn]] void InGameFolder(FakeLoader::Options options, Case inside,
                               std::optional<std::uint64_t> perFrameFunctionOffset = std::nullopt)
{
    const ScratchDirectory gameFolder;
    FakeGame::WriteAddressLibrary(gameFolder.path(), perFrameFunctionOffset);
    FakeGame game(FakeGame::Addresses::LeftToThePluginDll);
    const PluginDll dll;
    FakeLoader loader(options);
    inside(game, dll, loader);
    std::exit(0);
}
