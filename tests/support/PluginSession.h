#pragma once

#include "FakeGame.h"
#include "FakeLoader.h"
#include "support/PluginInGameFolder.h"

// The built DLL in a game folder, installed, a save loaded and its grace
// period over, on the fake game's clock: its import of the performance
// counter is pointed at the game's, so a second passes without waiting for
// one. Where the plugin does not install, the child records so and ends.
class PluginSession {
public:
    PluginSession(FakeGame& game, const PluginDll& dll, FakeLoader& loader);

    void LoadSave();
    // Frames of the game for `milliseconds`, each past the 15 ms gate.
    void Play(int milliseconds);

private:
    FakeGame& game_;
};
