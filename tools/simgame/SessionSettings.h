#pragma once

#include "PlaySession.h"
#include "SimOptions.h"

#include <filesystem>
#include <optional>

namespace sim {

// Puts the session's settings file where the plugin reads it in the game
// folder and prints which file it is: a player's byte for byte, the shipped
// one as it is or with --fast written over it. Nothing, after a message on
// standard error, when the file cannot be read.
[[nodiscard]] std::optional<PlaySettings> PutSessionSettings(const Options& options, bool playersIni,
                                                             const std::filesystem::path& gameFolder);

}  // namespace sim
