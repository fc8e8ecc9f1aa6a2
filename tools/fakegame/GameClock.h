#pragma once

namespace fake::detail {

// The clock the plugin reads becomes the fake's, at FakeGame::kStartTime and
// not stepping; RestoreClock puts back the one it replaced.
void InstallClock();
void RestoreClock();

}  // namespace fake::detail
