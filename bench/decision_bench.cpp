// What the HUD decision costs on the game's thread, against the fake game of
// the tests: a call that the 15 ms gate holds back, and a full pass through
// all 25 rules in which none fires. Heap allocations in the measured loop are
// counted through a replaced global operator new and reported per call. A
// held-back call is measured with logging off and with it on, beside a naive
// log writer that puts its line in the OS as the plugin's log does.

#include "FakeGame.h"
#include "NaiveLogWriter.h"
#include "PluginLogInUse.h"
#include "game/IDs.h"
#include "hud/HUDState.h"
#include "hud/UpdateHUD.h"
#include "settings/Settings.h"

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdlib>
#include <new>

namespace {

std::size_t allocations = 0;

void* Allocate(std::size_t size)
{
    ++allocations;
    return std::malloc(size == 0 ? 1 : size);
}

// Out of line: inlined, GCC would see free() take what operator new returned
// and warn of a mismatch that the replacement makes intended.
[[gnu::noinline]] void Release(void* block) noexcept
{
    std::free(block);
}

}  // namespace

// Every form the runtime may pair with another is replaced, so that no block
// is freed by an allocator other than the one that made it (ASan checks that).
void* operator new(std::size_t size)
{
    if (void* block = Allocate(size)) {
        return block;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}
void operator delete(void* block) noexcept
{
    Release(block);
}
void operator delete[](void* block) noexcept
{
    Release(block);
}
void operator delete(void* block, std::size_t) noexcept
{
    Release(block);
}
void operator delete[](void* block, std::size_t) noexcept
{
    Release(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept
{
    Release(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept
{
    Release(block);
}

namespace {

void ReportAllocations(benchmark::State& state, std::size_t before)
{
    state.counters["allocs_per_call"] =
        benchmark::Counter(static_cast<double>(allocations - before), benchmark::Counter::kAvgIterations);

    // A zero means something only if the replacement above is the operator
    // new in use (a static runtime could bring its own).
    const std::size_t counted = allocations;
    void* probe = ::operator new(1);
    benchmark::DoNotOptimize(probe);
    ::operator delete(probe);
    if (allocations != counted + 1) {
        state.SkipWithError("heap allocations are not counted");
    }
}

// With logging on, each held-back call writes its line
// "[UpdateHUD] result = [exit] | RecentLastUpdate" to the plugin's log file.
void CheckTheLogWasInUse(benchmark::State& state, const PluginLogInUse& log)
{
    Settings.bLogging = false;
    if (log.wanted() && !log.in_use()) {
        state.SkipWithError("the plugin's log was not set up");
    }
}

// Flying with the scanner up: five menus on the stack, which the check for a
// mandatory menu walks before the gate.
void BM_CallHeldBackByTheGate(benchmark::State& state)
{
    FakeGame game;
    const PluginLogInUse log(state.range(0) != 0);
    Settings.bLogging = log.wanted();
    game.ui.SetMenus({"HUDMenu", "HUDMessagesMenu", "CursorMenu", "SpaceshipHudMenu", "MonocleMenu"});
    HUDState.LastUpdateTime = game.Now();

    const std::size_t before = allocations;
    for (auto _ : state) {
        UpdateHUD();
    }
    ReportAllocations(state, before);
    CheckTheLogWasInUse(state, log);
    if (HUDState.LastUpdateTime != game.Now()) {
        state.SkipWithError("a call got past the gate");
    }
}
BENCHMARK(BM_CallHeldBackByTheGate)->ArgName("logging")->Arg(0)->Arg(1);

// The same with the platform's steady clock instead of the test clock: what
// the game pays, one clock reading included. A last pass stamped far ahead
// keeps every call at the gate.
void BM_CallHeldBackByTheGate_RealClock(benchmark::State& state)
{
    FakeGame game;
    const PluginLogInUse log(state.range(0) != 0);
    Settings.bLogging = log.wanted();
    game.ui.SetMenus({"HUDMenu", "HUDMessagesMenu", "CursorMenu", "SpaceshipHudMenu", "MonocleMenu"});
    const Clock::Source testClock = Clock::source;
    Clock::source = &Clock::SteadyNow;
    HUDState.UnityGraceStartTime = 0;
    HUDState.LastUpdateTime = Clock::SteadyNow() + Clock::FromMilliseconds(3'600'000);
    const Clock::Nanoseconds stamp = HUDState.LastUpdateTime;

    const std::size_t before = allocations;
    for (auto _ : state) {
        UpdateHUD();
    }
    ReportAllocations(state, before);
    CheckTheLogWasInUse(state, log);
    Clock::source = testClock;
    if (HUDState.LastUpdateTime != stamp) {
        state.SkipWithError("a call got past the gate");
    }
}
BENCHMARK(BM_CallHeldBackByTheGate_RealClock)->ArgName("logging")->Arg(0)->Arg(1);

// The yardstick: the same line through a mutex, the local time, fprintf and
// fflush.
void BM_NaiveLogWriter(benchmark::State& state)
{
    NaiveLogWriter writer("naive-log-writer.log");
    if (!writer.is_open()) {
        state.SkipWithError("the naive writer's file cannot be opened");
        return;
    }
    for (auto _ : state) {
        writer.info("UpdateHUD.cpp", 208, "UpdateHUD", "result = [exit] | RecentLastUpdate");
    }
}
BENCHMARK(BM_NaiveLogWriter);

// Every rule switched on and asking the game, none firing: the auto-aim target
// is a reference of no accepted class, so its test walks all three lists.
// With keys 0 the toggle and vehicle-aim keys are not polled: under Wine each
// key-state query is a round trip to the Wine server.
void BM_FullPassWithNoRuleFiring(benchmark::State& state)
{
    FakeGame game;
    const bool pollKeys = state.range(0) != 0;
    Settings.bLogging = false;
    Settings.PublishWith(&SettingsRecord::iHUDToggle, pollKeys ? 0x70 : 0);
    Settings.PublishWith(&SettingsRecord::iVehicleAimKeyDown, pollKeys ? 0x02 : 0);
    Settings.PublishWith(&SettingsRecord::bShowInLandVehicle, true);
    Settings.PublishWith(&SettingsRecord::fShowBelowHealthPercent, 10.0F);
    Settings.PublishWith(&SettingsRecord::fShowBelowOxygenPercent, 10.0F);
    Settings.PublishWith(&SettingsRecord::fShowBelowBoostPackPercent, 10.0F);
    Settings.PublishWith(&SettingsRecord::bShowIfOverencumbered, true);
    Settings.PublishWith(&SettingsRecord::bShowIfJumping, true);
    Settings.PublishWith(&SettingsRecord::bShowWhenHostilesAreNearby, true);

    fake::Reference target;
    target.SetBaseFormType(30);
    game.SetAutoAimTarget(target.get());

    const std::size_t before = allocations;
    for (auto _ : state) {
        game.AdvanceMs(15);
        HUDState.HUDRequest = kHUDRequestNone;
        UpdateHUD();
    }
    ReportAllocations(state, before);

    const auto passes = static_cast<int>(state.iterations());
    if (HUDState.HUDRequest == kHUDRequestEnable || game.calls.isStageDone != 2 * passes ||
        game.calls.vehicleValue != 2 * passes) {
        state.SkipWithError("the pass did not walk every rule without firing");
    }
}
BENCHMARK(BM_FullPassWithNoRuleFiring)->ArgName("keys")->Arg(1)->Arg(0);

}  // namespace
