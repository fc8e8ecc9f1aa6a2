#include "FaultRecord.h"

#include "FakeGame.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <utility>

namespace {

constexpr int kExitAfterFaults = 3;

// A plugin that ends the process (as it does with std::exit(0) when it finds
// a game object missing) must not take the game's faults with it: a process
// that ends while the game has seen a call it would not survive fails.
void ReportFaultsAtExit()
{
    const FakeGame* game = FakeGame::Installed();
    if (game == nullptr || game->faults().empty()) {
        return;
    }
    std::fprintf(stderr, "FakeGame: the process ends after calls the game would not survive:\n");
    for (const std::string& fault : game->faults()) {
        std::fprintf(stderr, "  %s\n", fault.c_str());
    }
    std::fflush(stderr);
    std::_Exit(kExitAfterFaults);
}

}  // namespace

void fake::detail::ReportFaultsAtExitOnce()
{
    static const bool reportsFaultsAtExit = std::atexit(&ReportFaultsAtExit) == 0;
    (void)reportsFaultsAtExit;
}

void FakeGame::Fault(std::string message)
{
    // Rare, and the one record kept with threads at once: a lock of its own.
    static std::mutex faultsLock;
    const std::lock_guard lock(faultsLock);
    faults_.push_back(std::move(message));
}
