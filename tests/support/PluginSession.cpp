#include "support/PluginSession.h"

#include "GameFacts.h"
#include "support/ChildRecord.h"
#include "support/ImportReplacement.h"

#include <windows.h>

#include <cstdlib>

namespace {

BOOL WINAPI GameCounterFrequency(LARGE_INTEGER* frequency)
{
    frequency->QuadPart = 1'000'000'000;
    return TRUE;
}

BOOL WINAPI GameCounter(LARGE_INTEGER* counter)
{
    counter->QuadPart = Clock::Now();
    return TRUE;
}

}  // namespace

PluginSession::PluginSession(FakeGame& game, const PluginDll& dll, FakeLoader& loader) : game_(game)
{
    const bool replaced = ReplaceImport(dll.module, "kernel32.dll", "QueryPerformanceFrequency",
                                        reinterpret_cast<void*>(&GameCounterFrequency)) != nullptr &&
                          ReplaceImport(dll.module, "kernel32.dll", "QueryPerformanceCounter",
                                        reinterpret_cast<void*>(&GameCounter)) != nullptr;
    if (!replaced || !dll.load(loader.loadInterface()) || !loader.SendDataLoaded()) {
        ChildRecord::Add("the plugin did not install");
        std::exit(0);
    }
    LoadSave();
    Play(10'000);
}

void PluginSession::LoadSave()
{
    game_.RaiseEvent(game_facts::kSaveLoadSourceID);
}

void PluginSession::Play(int milliseconds)
{
    for (int played = 0; played < milliseconds; played += 15) {
        game_.AdvanceMs(15);
        FakeGame::RunFrame(0);
    }
}
