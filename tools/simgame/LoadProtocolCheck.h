#pragma once

#include "FakeLoader.h"
#include "PluginDll.h"
#include "Session.h"

#include <cstdint>

namespace sim {

// Where the game's per-frame call goes: before the load, the target that the
// patched call must no longer reach.
[[nodiscard]] std::uintptr_t PerFrameCallTarget();

// The loader calls the plugin's load function: it returns true, calls the
// loader in order for what the loader serves, and leaves the per-frame call
// patched through the branch space it was given.
void CheckLoadProtocol(Timeline& timeline, FakeLoader& loader, LoadFunction load, const FakeLoader::Options& served,
                       std::uintptr_t originalTarget);

// The loader reports the game's data loaded: the message reaches a listener
// exactly when the plugin could register one and so installs.
void CheckDataLoadedMessage(Timeline& timeline, FakeLoader& loader, bool installs);

}  // namespace sim
