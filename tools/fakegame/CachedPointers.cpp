#include "FakeGame.h"
#include "hud/CachedGameObjects.h"

// The plugin's cached pointers are set by its own look-up, asking this game:
// the fake never names them one by one. What the look-up asked is no part of
// a test's record.

void FakeGame::ClearCachedPointers() noexcept
{
    ForgetGameObjects();
}

void FakeGame::SetCachedPointers()
{
    const int lookupCalls = calls.lookupForm;
    const std::size_t lookups = formLookups.size();
    LoadStaticVariables();
    calls.lookupForm = lookupCalls;
    formLookups.resize(lookups);
}
