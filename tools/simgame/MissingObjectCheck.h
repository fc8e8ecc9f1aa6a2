#pragma once

#include "FakeGame.h"
#include "Session.h"
#include "SessionFiles.h"

#include <string>

namespace sim {

// Takes `object` ("ui", "player" or "form") out of the game before its data
// is loaded, and checks as the process exits that the plugin ended the game
// with the line naming it.
void ExpectShutdownWithout(const std::string& object, FakeGame& game, Timeline& timeline, LogTail& log);

// The game went on without the object: the plugin never noticed.
void ReportGameNotEnded(Timeline& timeline);

}  // namespace sim
