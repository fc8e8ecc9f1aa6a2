#pragma once

#include "FakeGame.h"
#include "Session.h"
#include "SessionFiles.h"

#include <filesystem>
#include <string>

namespace sim {

struct PlaySettings {
    std::filesystem::path iniSource;  // the INI the session's settings start from
    std::filesystem::path iniTarget;  // the game folder's plugin INI
    int keepShownMs = 2000;
    int keepShownLongMs = 7500;
    int toggleKey = 0x70;  // F1
};

// Key codes are hexadecimal in the settings file.
[[nodiscard]] std::string HexKey(int virtualKey);

// The keys the session sets in its INI: logging on (for the reasons in the
// timeline), its delays and its toggle key.
[[nodiscard]] IniOverrides SessionIniOverrides(const PlaySettings& settings);

// The scripted play after the data-loaded message: the grace period, then a
// weapon, a menu, a subtitle, a discovery, the toggle key tapped and held, and
// a save loaded after the settings file changed. Each step checks what the
// HUD did.
void PlayScriptedSession(FakeGame& game, Session& session, Timeline& timeline, const PlaySettings& settings);

// Times the per-frame call as the game pays for it once patched (the call
// site, the stub, the thunk, the plugin's pass held back by its gate, the
// tail jump) against a direct call of the function behind it, with logging
// off and the grace period over. Returns the calls it made, which are not
// session frames.
std::uint64_t MeasureHookedCall(FakeGame& game, Session& session, Timeline& timeline, const PlaySettings& settings);

}  // namespace sim
