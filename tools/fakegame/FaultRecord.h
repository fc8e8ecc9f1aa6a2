#pragma once

class FakeGame;

namespace fake::detail {

// Arranges, once per process, that a process ending while the installed game
// holds faults fails (FaultRecord.cpp).
void ReportFaultsAtExitOnce();
// The installed game, or null (FakeGame.cpp): the exit guard runs whether a
// game is installed or not, where FakeGame::Current would abort.
[[nodiscard]] FakeGame* InstalledGame() noexcept;

}  // namespace fake::detail
