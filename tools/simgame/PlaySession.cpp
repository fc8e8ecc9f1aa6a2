#include "PlaySession.h"

#include "GameFacts.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <utility>

namespace sim {

namespace {

// The plugin's grace period after the data is loaded.
constexpr int kGraceMs = 10'000;

}  // namespace

IniOverrides FastSessionOverrides()
{
    return {{"bLogging", "1"}, {"iKeepHUDShownMS", "300"}, {"iKeepHUDShownLongMS", "1000"}, {"iHUDToggle", "70"}};
}

std::uint64_t MeasureHookedCall(FakeGame& game, Session& session, Timeline& timeline, const PlaySettings& settings)
{
    timeline.Step("measuring the hooked call: logging off, a save loaded, the grace period waited out");
    WriteIni(settings.iniSource, settings.iniTarget, {{"bLogging", "0"}});
    game.RaiseEvent(game_facts::kSaveLoadSourceID);
    session.Play(kGraceMs + 200);

    constexpr std::uint64_t kCalls = 500'000;
    const auto perCall = [](std::uint64_t (*call)(std::uint64_t)) {
        std::uint64_t wrong = 0;
        const auto start = std::chrono::steady_clock::now();
        for (std::uint64_t i = 0; i < kCalls; ++i) {
            wrong += call(i) != FakeGame::FrameAnswer(i) ? 1U : 0U;
        }
        const std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
        return std::pair{elapsed.count() / static_cast<double>(kCalls), wrong};
    };
    const auto [direct, directWrong] = perCall(&FakeGame::RunFrameTargetDirectly);
    const auto [hooked, hookedWrong] = perCall(&FakeGame::RunFrame);
    char figures[160];
    std::snprintf(figures, sizeof(figures), "hooked call %.1f ns, direct call of the former target %.1f ns, ratio %.1f",
                  hooked, direct, hooked / direct);
    timeline.Event("measure", figures);
    timeline.Check(directWrong == 0 && hookedWrong == 0, "every measured call returned the former target's answer");
    return 2 * kCalls;
}

}  // namespace sim
