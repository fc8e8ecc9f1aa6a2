#pragma once

namespace fake::detail {

// Arranges, once per process, that a process ending while the installed game
// holds faults fails (FaultRecord.cpp).
void ReportFaultsAtExitOnce();

}  // namespace fake::detail
