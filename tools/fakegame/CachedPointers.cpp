#include "FakeGame.h"
#include "GamePointers.h"

void FakeGame::ClearCachedPointers() noexcept
{
    UISingleton = nullptr;
    PlayerChar = nullptr;
    ::MQ305 = nullptr;
    ::MQ301 = nullptr;
    ::HealthAV = nullptr;
    ::OxygenAV = nullptr;
    ::BoostPackAV = nullptr;
    autoAimData = nullptr;
}

void FakeGame::SetCachedPointers() noexcept
{
    UISingleton = ui.get();
    PlayerChar = player.get();
    ::MQ305 = MQ305();
    ::MQ301 = MQ301();
    ::HealthAV = HealthAV();
    ::OxygenAV = OxygenAV();
    ::BoostPackAV = BoostPackAV();
    autoAimData = AutoAim();
}
