#pragma once

#include "FakeGame.h"
#include "Session.h"
#include "SessionFiles.h"

#include <filesystem>
#include <string>

namespace sim {

struct PlaySettings {
    std::filesystem::path iniSource;  // the INI the session's settings come from
    std::filesystem::path iniTarget;  // the game folder's plugin INI
};

// What --fast writes over the shipped settings for the test session: logging
// on for the plugin's reasons, short delays, F1 as the toggle key.
[[nodiscard]] IniOverrides FastSessionOverrides();

// Times the per-frame call as the game pays for it once patched (the call
// site, the stub, the thunk, the plugin's pass held back by its gate, the
// tail jump) against a direct call of the function behind it, with logging
// off and the grace period over. Returns the calls it made, which are not
// session frames.
std::uint64_t MeasureHookedCall(FakeGame& game, Session& session, Timeline& timeline, const PlaySettings& settings);

}  // namespace sim
