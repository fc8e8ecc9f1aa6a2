#include "FakeGame.h"

#include "FaultRecord.h"
#include "GameClock.h"
#include "GameGlobals.h"
#include "GameKeys.h"
#include "IdInstallation.h"
#include "hud/GamepadChord.h"
#include "hud/HUDState.h"
#include "settings/Settings.h"
#include "settings/SettingsFileWatch.h"

#include <cstdio>
#include <cstdlib>

namespace {

using fake::detail::gameAutoAimPointer;
using fake::detail::gamePlayerPointer;
using fake::detail::gameUIPointer;

}  // namespace

FakeGame::FakeGame(Addresses addresses)
{
    if (installed_ != nullptr) {
        std::fprintf(stderr, "FakeGame: only one game at a time\n");
        std::abort();
    }
    installed_ = this;
    fake::detail::ReportFaultsAtExitOnce();
    if (*reinterpret_cast<const std::uint8_t*>(PerFrameCallSite()) != game_facts::kCallRel32Opcode) {
        std::fprintf(stderr, "FakeGame: the per-frame function has no call at its hooked offset\n");
        std::abort();
    }
    if (addresses == Addresses::InThisProcess) {
        fake::detail::InstallAddresses();
    }

    fake::detail::InstallClock();
    fake::detail::ReleaseAllKeys();

    Settings.RestoreInitialValues();
    HUDState = HUDStateRecord{};
    SettingsFileWatch = SettingsFileWatchRecord{};
    GamepadPolls = GamepadPollRecord{};

    ui.SetMenus({"HUDMenu"});
    ui.SetHUDShown(true);
    player.SetInCell(true);
    SetStageDone(MQ301(), 0, true);
    for (auto* actorValue : {HealthAV(), OxygenAV(), BoostPackAV()}) {
        SetActorValuePercent(actorValue, 100.0F);
    }
    SetAutoAimData(true);
    SetAutoAimTarget(nullptr);

    gameUIPointer = ui.get();
    gamePlayerPointer = player.get();
    gameAutoAimPointer = AutoAim();

    // Room for what a test records, so that recording allocates nothing in a
    // measured loop.
    hudVisibleCalls.reserve(64);
    formLookups.reserve(64);
    // A plugin DLL keeps its own pointers, set when it installs itself.
    if (addresses == Addresses::InThisProcess) {
        SetCachedPointers();
    }
}

FakeGame::~FakeGame()
{
    ClearCachedPointers();
    fake::CallCount::SetThreadsCountAtOnce(false);
    gameUIPointer = nullptr;
    gamePlayerPointer = nullptr;
    gameAutoAimPointer = nullptr;
    Settings.RestoreInitialValues();
    HUDState = HUDStateRecord{};
    SettingsFileWatch = SettingsFileWatchRecord{};
    GamepadPolls = GamepadPollRecord{};
    fake::detail::ReleaseAllKeys();
    fake::detail::RestoreClock();
    installed_ = nullptr;
}

void FakeGame::NoGameInstalled()
{
    std::fprintf(stderr, "FakeGame: a game function was called with no game installed\n");
    std::abort();
}
